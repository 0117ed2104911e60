#pragma once

#include "cli/cli.h"
#include "editor/cost.h"
#include "editor/logbookfile.h"
#include "months/openmonth.h"
#include "months/progress.h"
#include "storage/datafiles.h"
#include "storage/settings.h"
#include "scriptedprompter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace rv {

inline const Partner kCliPartners[] = {
    {QStringLiteral("Saját cég"), QStringLiteral("Budapest"), QStringLiteral("Fő utca 1.")},
    {QStringLiteral("Alfa Bt."), QStringLiteral("Győr"), QStringLiteral("Ipar út 2.")},
    {QStringLiteral("Béta; Zrt."), QStringLiteral("Szeged"), QString()},
    {QStringLiteral("Gamma Kft."), QStringLiteral("Pécs"), QStringLiteral("Tér 3.")},
};

// A data directory as the program leaves it: three cars (two share a user name), the first with
// partners, distances (i -> j is 10 (i + j) + i km, except 2 -> 3 of 0 km), prices from
// 2024-01-01 (600) and 2024-03-15 (620), multipliers and logbooks of February and March 2024.
// March: day 4 1-2-1; 5 1-3-4-1; 6 1-2-3-1 (a minor fault); 7 1-4-4-1 (a severe fault);
// 20 1-"Alfa Bt. at another address"-2-1 (a stop the database lacks); 473 km.
struct CliFixture {
    QTemporaryDir dir;
    QString data = dir.filePath(QStringLiteral("adat"));
    std::unique_ptr<Settings> settings = Settings::openFile(dir.filePath(QStringLiteral("settings.ini")));

    CliFixture() {
        const QVector<CarRecord> cars = {car(QStringLiteral("Kovács Péter"), QStringLiteral("ABC-123"), 1, 7.5f, 12.5f),
                                         car(QStringLiteral("Nagy Anna"), QStringLiteral("XYZ-789"), 3, 6.0f, 10.0f),
                                         car(QStringLiteral("Nagy Anna"), QStringLiteral("QQQ-111"), 2, 5.5f, 9.0f)};
        for (const CarRecord& c : cars)
            QDir().mkpath(path(QStringLiteral("Users/") + c.dirName));
        write(QStringLiteral("user.rvd"), serializeCars(cars));

        MultiplierFile m;
        m.values = {1.0f, 1.1f, 1.25f, 1.2f, 1.3f, 1.4f, 1.05f, 1.03f};
        m.defaultRouteType = 2;
        write(QStringLiteral("Users/szorzo.rvd"), serializeMultipliers(m));

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
        march.monthKm = 500; // as stored; the stops give 473
        write(car1(QStringLiteral("2024mar.rvn")), serializeLogbook(march));
        StoredLogbook february = logbook(2024, 2, {{29, {1, 4, 1}}});
        february.monthKm = 104;
        write(car1(QStringLiteral("2024feb.rvn")), serializeLogbook(february));
    }

    static CarRecord car(const QString& user, const QString& plate, int fuel, float consumption, float general) {
        CarRecord c;
        c.userName = user;
        c.carType = QStringLiteral("Opel Astra");
        c.plateNumber = c.dirName = plate;
        c.fuelType = fuel;
        c.consumption = consumption;
        c.generalCost = general;
        c.city = QStringLiteral("Budapest");
        c.companyName = QStringLiteral("Próba Kft.");
        return c;
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
    QString path(const QString& relative) const { return data + u'/' + relative; }
    void write(const QString& relative, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile f(path(relative));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Every file and folder under the data directory with a digest of its bytes.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(data, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            const bool file = QFileInfo(f.fileName()).isFile() && f.open(QIODevice::ReadOnly);
            files.insert(QDir(data).relativeFilePath(f.fileName()),
                         file ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1) : QByteArray("dir"));
        }
        return files;
    }

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
        env.executableDir = dir.path();
        env.settings = settings.get();
        r.code = cli::runCli(args, out, err, env);
        out.flush();
        err.flush();
        return r;
    }

    // The month as the program opens it: its own loads (on a copy, as they may write), the
    // months window's opening answering No, the editor's kilometres.
    struct Program {
        QTemporaryDir copy;
        ScriptedPrompter prompter;
        AppState s;
    };
    std::unique_ptr<Program> program(const QString& file) const {
        auto p = std::make_unique<Program>();
        QDirIterator it(data, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = p->copy.filePath(QDir(data).relativeFilePath(from));
            QDir().mkpath(QFileInfo(to).absolutePath());
            QFile::copy(from, to);
        }
        AppState& s = p->s;
        s.programDir = p->copy.path() + u'/';
        s.prompter = &p->prompter;
        s.settings = settings.get();
        if (!LoadCars(s) || !LoadMultipliers(s))
            return nullptr;
        s.currentCar = 1;
        s.carDir = carDirOf(s.car(1));
        if (!LoadDatabase(s, true) || !LoadFuelPrices(s))
            return nullptr;
        if (!file.isEmpty()) {
            p->prompter.answer(No);
            NoProgress progress;
            if (openStoredMonth(s, file, progress) != OpenOutcome::Opened)
                return nullptr;
            refreshKilometres(s, s.month);
        }
        return p;
    }
};

} // namespace rv
