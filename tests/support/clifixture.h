#pragma once

#include "cli/cli.h"
#include "model/cost.h"
#include "model/logbookfile.h"
#include "months/openmonth.h"
#include "months/progress.h"
#include "model/statefiles.h"
#include "testenv.h"
#include "writefault.h"

#include <QMap>
#include <QProcess>

namespace rv {

// The words of a PDF file; empty when pdftotext (poppler-utils) is missing.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// A member of a zip file, or nothing when unzip is missing.
inline QString unzipped(const QString& zip, const QString& member) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The data directory tests/data/cli: three cars (two share a user name), the first with partners
// 1 "Saját cég" (Budapest), 2 "Alfa Bt." (Győr), 3 "Béta; Zrt." (Szeged, no address), 4 "Gamma Kft."
// (Pécs), distances (i -> j is 10 (i + j) + i km on route type (i + j) % 6 + 1, except 2 -> 3 of 0 km),
// prices from 2024-01-01 (600) and 2024-03-15 (620), multipliers 1, 1.1, 1.25, 1.2, 1.3, 1.4, 1.05,
// 1.03, and logbooks of February (day 29 1-4-1) and March 2024 (from 12000 km):
// day 4 1-2-1; 5 1-3-4-1; 6 1-2-3-1 (a minor fault); 7 1-4-4-1 (a severe fault);
// 20 1-"Alfa Bt. at another address"-2-1 (a stop the database lacks); 473 km, stored as 500.
// With more, folders of tests/data laid over it in turn. tests/data/cli-year and year-seasons
// make a year of seasons after a month without a price (figures worked out in Python with
// fractions.Fraction, each leg's fuel and general cost floored on its own, 7.5 l/100 km and
// 12.5 Ft/km, legs 1 -> 2 of 40 km and 2 -> 1 of 80 km):
//   January (days 2, 3) lies before the first price, 2024-02-01 600 Ft: no cost, so no year total;
//   February with air conditioning (x 1.05), day 5: 1890 + 500 + 3780 + 1000 = 7170 Ft;
//   March in winter (x 1.03), the 14th at 600 Ft: 1854 + 500 + 3708 + 1000 = 7062, the 15th at
//   620 Ft: 1915 + 500 + 3831 + 1000 = 7246; 14308 Ft. (Seasons swapped: 7062 and 14529 Ft.)
struct CliFixture : TestEnv {
    QString data = dir.filePath(QStringLiteral("adat")); // outputs go beside it

    explicit CliFixture(const QStringList& over = {}) {
        state.programDir = data + u'/';
        copyData(QStringLiteral("cli"));
        for (const QString& folder : over)
            copyData(folder);
        for (const char* car : {"XYZ-789", "QQQ-111"})
            QDir().mkpath(path(QStringLiteral("Users/") + QLatin1StringView(car)));
    }

    static QString car1(const QString& file) { return QStringLiteral("Users/ABC-123/") + file; }
    // A logbook of the data directory as the program reads it; year 0 when it does not read.
    StoredLogbook stored(const QString& file) const {
        StoredLogbook l;
        return readLogbookFile(path(file), l) ? l : StoredLogbook{};
    }

    // Every file and folder under the data directory with its bytes.
    QMap<QString, QByteArray> snapshot() const { return filesUnder(data); }

    struct Run {
        int code = -1;
        QString out;
        QString err;
    };
    Run run(QStringList args, bool withDataDir = true) const {
        if (withDataDir)
            args = QStringList{QStringLiteral("--data-dir"), data} + args;
        Run r;
        QTextStream out(&r.out), err(&r.err);
        cli::CliEnvironment env;
        env.executableDir = data;
        env.settings = settings.get();
        r.code = cli::runCli(args, out, err, env);
        out.flush();
        err.flush();
        return r;
    }

    // The program's view of the first car in state: its own loads, then (with a file) the months
    // window's opening answering No and the editor's kilometres.
    bool load(const QString& file = {}) {
        state.currentCar = 1;
        if (!LoadCars(state) || !LoadMultipliers(state))
            return false;
        state.carDir = carDirOf(state.car(1));
        if (!LoadDatabase(state, true) || !LoadFuelPrices(state))
            return false;
        if (file.isEmpty())
            return true;
        NoProgress progress;
        prompter.answer(No);
        const bool opened = openStoredMonth(state, file, progress) == OpenOutcome::Opened;
        refreshKilometres(state, state.month);
        return opened;
    }
};

} // namespace rv
