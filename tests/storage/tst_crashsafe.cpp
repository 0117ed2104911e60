// A save that fails midway (a full disk: a child that may not grow a file) must leave the previous
// file whole, and a save never writes into the old file.
#include "model/logbookfile.h"
#include "printing/paintercanvas.h"
#include "model/statefiles.h"
#include "storage/fileio.h"
#include "symlink.h"
#include "testenv.h"
#include "writefault.h"

#include <QTest>
#include <QTemporaryDir>


using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

void fillDatabase(AppState& s, int n, int salt) {
    s.partners.resize(n);
    for (int i = 1; i <= n; ++i)
        s.partner(i) = Partner{u"Partner %1/%2"_s.arg(i).arg(salt), u"Győr"_s, u"Fő út %1."_s.arg(i)};
    s.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            s.distances.at(i, j) = DistanceCell{qint16((i + j + salt) % 300), qint16(1 + (i % 6))};
}

void fillMonth(AppState& s, int salt) {
    s.month = MonthLog{};
    s.month.year = 2002;
    s.month.month = 1;
    s.month.stopWidth = 3;
    s.month.stops.reset(3);
    for (int d = 1; d <= 31; ++d) {
        s.month.stops.at(d, 1) = 1;
        s.month.stops.at(d, 2) = qint16(2 + (d + salt) % (s.partnerCount() - 1));
        s.month.stops.at(d, 3) = 1;
        s.month.comments[size_t(d - 1)] = u"Megjegyzés %1 "_s.arg(salt).repeated(2);
    }
    s.month.fileName = u"2002jan.rvn"_s;
}

} // namespace

class TestCrashSafe : public QObject {
    Q_OBJECT

private slots:
    // A full disk on every save path: the save is told as failed with the path and the reason,
    // and every file stays byte for byte with no temporary left beside it.
    void aFailedWriteLeavesEveryFileAsItWas_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<std::function<Result(AppState&)>>("save");
        const auto row = [](const char* file, std::function<Result(AppState&)> save) {
            QTest::newRow(file) << QString::fromLatin1(file) << save;
        };
        row("Users/CAR/data.rvd", [](AppState& s) { fillDatabase(s, 40, 7); return SaveDatabase(s); });
        row("Users/CAR/benzin.rvd", [](AppState& s) {
            s.fuelPrices.append({QDate(2002, 2, 1), 320});
            return SaveFuelPrices(s);
        });
        row("user.rvd", [](AppState& s) {
            s.cars.append(s.cars.first());
            return SaveCars(s);
        });
        row("Users/szorzo.rvd", [](AppState& s) {
            s.multipliers[0].value = 2.0f;
            return SaveMultipliers(s);
        });
        row("Users/CAR/2002jan.rvn", [](AppState& s) {
            fillMonth(s, 7);
            auto* prompter = static_cast<ScriptedPrompter*>(s.prompter);
            return SaveLogbook(s) ? Result::success() : Result::failure(prompter->last());
        });
        row("Users/CAR/temp.tmp", [](AppState& s) { // as the months are rewritten after a partner changed
            return writeThroughScratch(s.programDir, s.carPath({}), u"2002jan.rvn"_s, QByteArray(100, ';'));
        });
        row("ki.csv", [](AppState& s) { return saveExportFile(s.programDir, s.path(u"ki.csv"_s), QByteArray(100, ';')); });
        row("ki.pdf", [](AppState& s) { return printToPdf(s, s.month, Printout::Logbook, Season{}, s.path(u"ki.pdf"_s)); });
    }
    void aFailedWriteLeavesEveryFileAsItWas() {
        RV_NEEDS_POSIX_FAULTS();
        QFETCH(QString, file);
        QFETCH(std::function<Result(AppState&)>, save);
        TestEnv env;
        env.loginCar(u"CAR"_s);
        fillDatabase(env.state, 40, 0);
        fillMonth(env.state, 0);
        env.state.fuelPrices = {{QDate(2002, 1, 1), 300}};
        QVERIFY(SaveDatabase(env.state) && SaveLogbook(env.state) && SaveFuelPrices(env.state) &&
                SaveCars(env.state) && SaveMultipliers(env.state));
        env.write(u"ki.csv"_s, "régi");
        env.write(u"ki.pdf"_s, "régi");
        const auto before = filesUnder(env.dir.path());
        const Result r = underFileSizeLimit(16, [&] { return save(env.state); });
        QVERIFY2(!r && r.message().contains(QDir::toNativeSeparators(env.path(file))) &&
                     r.message().contains(u"nagyobb lenne, mint amekkorát a rendszer megenged"_s),
                 qPrintable(r.message()));
        QCOMPARE(filesUnder(env.dir.path()), before);
    }

    // A save never writes into the old file: a reader holding it open keeps the old bytes.
    // Leftovers of an interrupted save go with the next write in that folder; a user's copy
    // stays, and so does a temporary young enough to be another save's, still running.
    void aSaveReplacesTheFileAndSweepsLeftovers() {
        TestEnv env;
        env.loginCar(u"CAR"_s);
        for (const char* name : {"2002jan.rvn", "temp.tmp", "data.rvd.QxWbTe", "data.rvd.backup", "levél.txt"}) {
            env.write(u"Users/CAR/"_s + QString::fromUtf8(name), "régi");
            QFile f(env.path(u"Users/CAR/"_s + QString::fromUtf8(name)));
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-25 * 3600), QFileDevice::FileModificationTime));
        }
        env.write(u"Users/CAR/benzin.rvd.AbCdEf"_s, "most írják");
        QFile held(env.path(u"Users/CAR/2002jan.rvn"_s));
        QVERIFY(held.open(QIODevice::ReadOnly));
#ifdef Q_OS_WIN
        // Windows replaces no file another program holds open: the save is refused, the file
        // keeps its bytes, and the next save after the holder let go goes through.
        QVERIFY(!writeThroughScratch(env.state.programDir, env.state.carPath({}), u"2002jan.rvn"_s, "új"));
        QCOMPARE(std::pair(held.readAll(), env.read(u"Users/CAR/2002jan.rvn"_s)), std::pair(QByteArray("régi"), QByteArray("régi")));
        held.close();
        QVERIFY(writeThroughScratch(env.state.programDir, env.state.carPath({}), u"2002jan.rvn"_s, "új"));
        QCOMPARE(env.read(u"Users/CAR/2002jan.rvn"_s), QByteArray("új"));
#else
        QVERIFY(writeThroughScratch(env.state.programDir, env.state.carPath({}), u"2002jan.rvn"_s, "új"));
        QCOMPARE(std::pair(held.readAll(), env.read(u"Users/CAR/2002jan.rvn"_s)), std::pair(QByteArray("régi"), QByteArray("új")));
#endif
        QCOMPARE(QDir(env.state.carPath({})).entryList(QDir::Files),
                 (QStringList{u"2002jan.rvn"_s, u"benzin.rvd.AbCdEf"_s, u"data.rvd.backup"_s, u"levél.txt"_s}));
        QVERIFY(!writeThroughScratch(env.state.programDir, env.path(u"nincs/"_s), u"x.rvd"_s, "új"));
        // The whole-file writer too: an open handle keeps reading the replaced file.
        QFile heldWhole(env.path(u"Users/CAR/2002jan.rvn"_s));
        QVERIFY(heldWhole.open(QIODevice::ReadOnly));
#ifdef Q_OS_WIN
        QVERIFY(!saveWholeFile(env.state.programDir, heldWhole.fileName(), "harmadik"));
        QCOMPARE(std::pair(heldWhole.readAll(), env.read(u"Users/CAR/2002jan.rvn"_s)), std::pair(QByteArray("új"), QByteArray("új")));
#else
        QVERIFY(saveWholeFile(env.state.programDir, heldWhole.fileName(), "harmadik"));
        QCOMPARE(heldWhole.readAll(), QByteArray("új"));
#endif
    }

    // A car folder that is a link out of the data directory: its partners are not read. (A file
    // that is such a link: tst_filesafety.)
    void aLinkOutOfTheDataDirectoryIsRefused() {
        TestEnv env;
        QTemporaryDir outside;
        env.loginCar(u"CAR"_s);
        fillDatabase(env.state, 4, 0);
        QVERIFY(QDir().rename(env.state.carPath({}), outside.filePath(u"CAR"_s)));
        RV_SYMLINK(outside.filePath(u"CAR"_s), env.path(u"Users/CAR"_s));
        const Result r = LoadDatabase(env.state, true);
        QVERIFY(!r && r.message().contains(QDir::toNativeSeparators(env.path(u"Users/CAR"_s)) + u" szimbolikus link"_s));
        // A link that stays inside is never written through: it could make one own file another.
        QVERIFY(QFile::remove(env.path(u"Users/CAR"_s)) && QDir().mkpath(env.path(u"Users/IGAZI"_s)));
        RV_SYMLINK(env.path(u"Users/IGAZI"_s), env.path(u"Users/CAR"_s));
        env.write(u"Users/IGAZI/data.rvd"_s, "régi");
        const QByteArray stored = env.read(u"Users/IGAZI/data.rvd"_s);
        const Result refused = SaveDatabase(env.state);
        QVERIFY(!refused && refused.message().contains(u"szimbolikus link"_s) &&
                env.read(u"Users/IGAZI/data.rvd"_s) == stored);
    }
};

QTEST_MAIN(TestCrashSafe) // a GUI application: the PDF's fonts
#include "tst_crashsafe.moc"
