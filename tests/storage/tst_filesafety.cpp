// What the writers and readers refuse: links out of the data directory, FIFOs and other files
// that are not regular, outputs over the program's own files, read-only files.
#include "model/logbookfile.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "model/statefiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "symlink.h"
#include "testenv.h"
#include "writefault.h"

#include <QTest>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

using Action = std::function<Result(AppState&)>;

void fillState(TestEnv& env) {
    env.loginCar(u"CAR"_s);
    env.state.partners = {Partner{u"Saját"_s, u"Pápa"_s, {}}, Partner{u"Bolt"_s, u"Győr"_s, {}}};
    env.state.distances.reset(2);
    env.state.fuelPrices = {{QDate(2002, 1, 1), 300}};
    env.state.month = MonthLog{};
    env.state.month.year = 2002;
    env.state.month.month = 1;
    env.state.month.stopWidth = 1;
    env.state.month.stops.at(1, 1) = 2;
    env.state.month.season = SeasonBox::Winter;
    env.state.month.fileName = u"2002jan.rvn"_s;
}

// Owner, group and others; not the flags of the user running the test.
QFile::Permissions modeOf(const QString& path) { return QFileInfo(path).permissions() & QFile::Permissions(0x7077); }

Result saveMonth(AppState& s) {
    auto* prompter = static_cast<ScriptedPrompter*>(s.prompter);
    return SaveLogbook(s) ? Result::success() : Result::failure(prompter->last());
}

QString native(const TestEnv& env, const QString& relative) { return QDir::toNativeSeparators(env.path(relative)); }

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT

private slots:
    // Every writer of the program, with its file a link to a file outside: the outside file
    // stays as it was.
    void noWriterFollowsALinkOut_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Action>("write");
        const auto row = [](const char* file, Action write) { QTest::newRow(file) << QString::fromLatin1(file) << write; };
        row("user.rvd", [](AppState& s) { return SaveCars(s); });
        row("Users/szorzo.rvd", [](AppState& s) { return SaveMultipliers(s); });
        row("Users/CAR/data.rvd", [](AppState& s) { return SaveDatabase(s); });
        row("Users/CAR/benzin.rvd", [](AppState& s) { return SaveFuelPrices(s); });
        row("Users/CAR/2002jan.rvn", saveMonth);
        row("Users/CAR/honapok.rvd", [](AppState& s) {
            return saveMonthFacts(s.carGate(), s.carPath({}), MonthFacts{2002, 1, SeasonBox::None, 0, 12000});
        });
        row("Users/CAR/data.rvd.hibas", [](AppState& s) { // the rescue copy goes beside the link
            SaveDatabase(s);
            return Result::failure(keepAside(s.programDir, s.carPath(u"data.rvd"_s)));
        });
        row("error.log", [](AppState& s) {
            LogError(s, u"hiba"_s);
            return Result::failure({});
        });
    }
    void noWriterFollowsALinkOut() {
        QFETCH(QString, file);
        QFETCH(Action, write);
        TestEnv env;
        fillState(env);
        QTemporaryDir outside;
        const QString foreign = outside.filePath(u"idegen"_s);
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("idegen") == 6 && f.flush());
        RV_SYMLINK(foreign, env.path(file));
        const Result r = write(env.state);
        QVERIFY2(!r && QFileInfo(foreign).size() == 6, qPrintable(file));
        if (file == u"Users/CAR/data.rvd.hibas"_s)
            QCOMPARE(r.message(), env.path(u"Users/CAR/data.rvd.hibas.2"_s));
        else if (!file.endsWith(u"error.log"_s))
            QVERIFY2(r.message().contains(native(env, file)), qPrintable(r.message()));
    }

    // The writer has no way round its checks: no data directory, or a path outside it.
    void theWriterNeedsTheDataDirectory() {
        TestEnv env;
        QTemporaryDir outside;
        QVERIFY(!saveWholeFile(QString(), env.path(u"user.rvd"_s), "x"));
        QVERIFY(!saveWholeFile(env.state.programDir, outside.filePath(u"user.rvd"_s), "x"));
        QVERIFY(!writeThroughScratch(env.state.programDir, outside.path() + u'/', u"data.rvd"_s, "x"));
        QVERIFY(!QFile::exists(env.path(u"user.rvd"_s)) && QDir(outside.path()).isEmpty());
    }

    // A price file that cannot be read, or whose damaged bytes cannot be replaced, is never
    // reported as "Új adatbázis létrehozva", and the prices in memory stay.
    void aRefusedPriceFileIsNotReportedAsNew() {
        TestEnv env;
        fillState(env);
        QTemporaryDir outside;
        const QByteArray valid = serializeFuelPrices({{QDate(2002, 2, 1), 350}});
        QFile f(outside.filePath(u"benzin.rvd"_s));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(valid) == valid.size() && f.flush());
        RV_SYMLINK(f.fileName(), env.path(u"Users/CAR/benzin.rvd"_s));
        Result r = LoadFuelPrices(env.state);
        QVERIFY2(!r && r.message().contains(u"szimbolikus link"_s), qPrintable(r.message()));
        QVERIFY(env.state.fuelPrices.value(0).price == 300 && env.prompter.asked.isEmpty() &&
                !QFile::exists(env.path(u"Users/CAR/benzin.rvd.hibas"_s)));

        QVERIFY(QFile::remove(env.path(u"Users/CAR/benzin.rvd"_s)));
        env.write(u"Users/CAR/benzin.rvd"_s, "sérült");
        QVERIFY(QFile::setPermissions(env.path(u"Users/CAR/benzin.rvd"_s), QFile::ReadOwner));
        r = LoadFuelPrices(env.state);
        QVERIFY2(!r && r.message().contains(u"írásvédett"_s), qPrintable(r.message()));
        QCOMPARE(std::tuple(env.state.fuelPrices.value(0).price, env.read(u"Users/CAR/benzin.rvd"_s), env.prompter.asked.size()),
                 std::tuple(qint16(300), QByteArray("sérült"), qsizetype(0)));
    }

    // A FIFO in place of a data file is refused at once, named; a folder likewise.
    void readersRefuseWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Action>("read");
        const auto row = [](const char* file, Action read) { QTest::newRow(file) << QString::fromLatin1(file) << read; };
        row("user.rvd", [](AppState& s) { return LoadCars(s); });
        row("Users/szorzo.rvd", [](AppState& s) { return LoadMultipliers(s); });
        row("cities.rvd", [](AppState& s) { return LoadCities(s); });
        row("Users/CAR/data.rvd", [](AppState& s) { return LoadDatabase(s, true); });
        row("Users/CAR/benzin.rvd", [](AppState& s) { return LoadFuelPrices(s); });
        row("Users/CAR/2002jan.rvn", [](AppState& s) {
            StoredLogbook log;
            return readLogbookFile(s.carPath(u"2002jan.rvn"_s), log, s.programDir);
        });
        row("Users/CAR/2003jan.rvn", [](AppState& s) { // the months list reads only the head
            const QStringList w = listLogbooks(s).warnings;
            return Result::failure(w.join(u'\n'));
        });
        row("Users/CAR/evszak.rvd", [](AppState& s) { return readMonthFacts(s.carGate(), s.carPath({})).problem; });
        row("Users/CAR/honapok.rvd", [](AppState& s) {
            readMonthFacts(s.carGate(), s.carPath({}));
            return saveMonthFacts(s.carGate(), s.carPath({}), MonthFacts{2002, 1, SeasonBox::None, 40, 0});
        });
        row("error.log", [](AppState& s) {
            LogError(s, u"hiba"_s);
            return Result::failure(QDir::toNativeSeparators(s.errorLogPath()));
        });
    }
    void readersRefuseWhatIsNotARegularFile() {
        RV_NEEDS_POSIX_FAULTS();
        QFETCH(QString, file);
        QFETCH(Action, read);
        TestEnv env;
        fillState(env);
        QVERIFY(makeFifo(env.path(file)));
        const Result r = finishesWithin(5000, [&] { return read(env.state); });
        QVERIFY2(r.message() != u"hung"_s, qPrintable(file));
        QVERIFY2(!r && r.message().contains(native(env, file)), qPrintable(r.message()));
        if (!file.endsWith(u"error.log"_s))
            QVERIFY2(r.message().contains(u"csővezeték (FIFO)"_s), qPrintable(r.message()));
        QVERIFY(QFileInfo(env.path(file)).exists() && !QFileInfo(env.path(file)).isFile()); // nothing put in its place
        QVERIFY(!QFile::exists(env.path(file) + u".hibas"_s));
        // A folder of that name is refused as plainly.
        QVERIFY(QFile::remove(env.path(file)) && QDir().mkpath(env.path(file)));
        const Result dir = finishesWithin(5000, [&] { return read(env.state); });
        QVERIFY2(!dir && dir.message().contains(native(env, file)), qPrintable(dir.message()));
    }

    // An output never takes the place of a file named as one of the program's own, wherever it
    // is; a read-only file is refused also for an administrator, and a replaced file keeps its
    // permissions.
    void outputsNeverReplaceOwnOrReadOnlyFiles() {
        TestEnv env;
        QTemporaryDir other;
        for (const char* name : {"user.rvd", "b95.rvd", "Users/X/evszak.rvd", "Users/X/2025jan.rvn", "Users/X/MINTA.RVN",
                                 "Users/X/data.rvd.hibas.2", "Users/X/HONAPOK.rvd", "Users/X/gepkocsi.rvd"}) {
            const QString path = other.filePath(QString::fromLatin1(name));
            QVERIFY2(!saveExportFile(env.state.programDir, path, "csv"), name);
            QVERIFY(!QFile::exists(path));
        }
        RV_SYMLINK(other.filePath(u"user.rvd"_s), other.filePath(u"ki.csv"_s));
        QVERIFY(!saveExportFile(env.state.programDir, other.filePath(u"ki.csv"_s), "csv"));
        QVERIFY(saveExportFile(env.state.programDir, other.filePath(u"lista.hibas"_s), "csv")); // the user's name

        const QString shared = other.filePath(u"közös.csv"_s);
        QVERIFY(saveExportFile(env.state.programDir, shared, "régi"));
        QVERIFY(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
        QVERIFY(saveExportFile(env.state.programDir, shared, "új"));
        QCOMPARE(modeOf(shared), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(shared, readOnly));
        QVERIFY(!saveExportFile(env.state.programDir, shared, "harmadik"));

        fillState(env);
        QVERIFY(SaveLogbook(env.state));
        const QString month = env.path(u"Users/CAR/2002jan.rvn"_s);
        const QByteArray before = env.read(u"Users/CAR/2002jan.rvn"_s);
        QVERIFY(QFile::setPermissions(month, readOnly));
        env.state.month.stops.at(2, 1) = 2;
        const Result r = saveMonth(env.state);
        QVERIFY2(!r && r.message().contains(u"írásvédett"_s), qPrintable(r.message()));
        QCOMPARE(std::pair(env.read(u"Users/CAR/2002jan.rvn"_s), modeOf(month)), std::pair(before, readOnly));
    }
};

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
