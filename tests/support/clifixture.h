#pragma once

#include "cli/cli.h"
#include "editor/cost.h"
#include "editor/logbookfile.h"
#include "months/openmonth.h"
#include "months/progress.h"
#include "storage/datafiles.h"
#include "testenv.h"
#include "writefault.h"

#include <QMap>
#include <QProcess>

namespace rv {

inline const Partner kCliPartners[] = {
    {QStringLiteral("Saját cég"), QStringLiteral("Budapest"), QStringLiteral("Fő utca 1.")},
    {QStringLiteral("Alfa Bt."), QStringLiteral("Győr"), QStringLiteral("Ipar út 2.")},
    {QStringLiteral("Béta; Zrt."), QStringLiteral("Szeged"), QString()},
    {QStringLiteral("Gamma Kft."), QStringLiteral("Pécs"), QStringLiteral("Tér 3.")},
};

// The words of a PDF file; empty when pdftotext (poppler-utils) is missing.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// A data directory as the program leaves it: three cars (two share a user name), the first with
// partners, distances (i -> j is 10 (i + j) + i km, except 2 -> 3 of 0 km), prices from
// 2024-01-01 (600) and 2024-03-15 (620), multipliers and logbooks of February and March 2024.
// March: day 4 1-2-1; 5 1-3-4-1; 6 1-2-3-1 (a minor fault); 7 1-4-4-1 (a severe fault);
// 20 1-"Alfa Bt. at another address"-2-1 (a stop the database lacks); 473 km.
struct CliFixture : TestEnv {
    QString data = dir.filePath(QStringLiteral("adat")); // outputs go beside it

    CliFixture() {
        state.programDir = data + u'/';
        QVector<CarRecord> cars(3);
        const std::tuple<QString, QString, int, float, float> rows[] = {
            {QStringLiteral("Kovács Péter"), QStringLiteral("ABC-123"), 1, 7.5f, 12.5f},
            {QStringLiteral("Nagy Anna"), QStringLiteral("XYZ-789"), 3, 6.0f, 10.0f},
            {QStringLiteral("Nagy Anna"), QStringLiteral("QQQ-111"), 2, 5.5f, 9.0f}};
        for (int i = 0; i < 3; ++i) {
            std::tie(cars[i].userName, cars[i].plateNumber, cars[i].fuelType, cars[i].consumption,
                     cars[i].generalCost) = rows[i];
            cars[i].dirName = cars[i].plateNumber;
            cars[i].carType = QStringLiteral("Opel Astra");
            QDir().mkpath(path(QStringLiteral("Users/") + cars[i].dirName));
        }
        write(QStringLiteral("user.rvd"), serializeCars(cars));
        write(QStringLiteral("Users/szorzo.rvd"), serializeMultipliers({{1.0f, 1.1f, 1.25f, 1.2f, 1.3f, 1.4f, 1.05f, 1.03f}, 2}));

        PartnerDatabase db;
        db.partners = {std::begin(kCliPartners), std::end(kCliPartners)};
        db.distances.reset(4);
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j)
                if (i != j)
                    db.distances.at(i, j) = DistanceCell{qint16(10 * (i + j) + i), qint16((i + j) % 6 + 1)};
        db.distances.at(2, 3).distance = 0;
        write(car1(QStringLiteral("data.rvd")), serializeDatabase(db, 2));
        write(car1(QStringLiteral("benzin.rvd")),
              serializeFuelPrices({{QDate(2024, 1, 1), 600}, {QDate(2024, 3, 15), 620}}));

        StoredLogbook march = logbook(2024, 3, {{4, {1, 2, 1}}, {5, {1, 3, 4, 1}}, {6, {1, 2, 3, 1}}, {7, {1, 4, 4, 1}}});
        march.stops[19] = {kCliPartners[0], {QStringLiteral("Alfa Bt."), QStringLiteral("Győr"), QStringLiteral("Ipar út 2/A.")},
                           kCliPartners[1], kCliPartners[0]};
        march.startOdometer = 12000;
        march.monthKm = 500; // as stored
        write(car1(QStringLiteral("2024mar.rvn")), serializeLogbook(march));
        StoredLogbook february = logbook(2024, 2, {{29, {1, 4, 1}}});
        february.monthKm = 104;
        write(car1(QStringLiteral("2024feb.rvn")), serializeLogbook(february));
    }

    // Days with the partners (1-based) of their stops.
    static StoredLogbook logbook(int year, int month, const QMap<int, QList<int>>& days) {
        StoredLogbook l;
        l.year = year;
        l.month = month;
        for (auto d = days.begin(); d != days.end(); ++d) {
            for (int p : *d)
                l.stops[size_t(d.key() - 1)].append(kCliPartners[p - 1]);
            l.stopWidth = std::max(l.stopWidth, int(d->size()));
        }
        return l;
    }
    static QString car1(const QString& file) { return QStringLiteral("Users/ABC-123/") + file; }

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
        QTextStream out(&r.out);
        QTextStream err(&r.err);
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
