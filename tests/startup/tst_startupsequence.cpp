#include "startup/carops.h"
#include "startup/conversion.h"
#include "startup/demodata.h"
#include "startup/startup.h"
#include "model/statefiles.h"
#include "storage/locks.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "testenv.h"
#include "writefault.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

struct RecordingView : StartupView {
    int maximum = 100, value = 0, repaints = 0;
    void setTask(const QString&) override {}
    void setTitles(const QString&, const QString&) override {}
    int progressMaximum() const override { return maximum; }
    void setProgressMaximum(int m) override { maximum = m; }
    int progressValue() const override { return value; }
    void setProgressValue(int v) override { value = v; }
    void keepResponsive() override { ++repaints; }
};

StartupOutcome start(TestEnv& env, RecordingView& view, const StartupHooks& hooks = {}, const QString& dir = {}) {
    std::unique_ptr<QLockFile> lock;
    return runStartup(env.state, dir.isEmpty() ? env.state.programDir : dir, view, hooks, lock);
}

// A data directory of version 1.2.
void copyFixture(TestEnv& env) {
    env.copyData(u"older12"_s);
    env.settings->setText(keys::Version, u"1.2"_s);
}
// The data directory's files but the settings and the error log.
QMap<QString, QByteArray> dataFiles(const TestEnv& env) {
    auto all = filesUnder(env.dir.path());
    all.remove(u"settings.ini"_s);
    all.remove(u"error.log"_s);
    return all;
}

} // namespace

class TestStartupSequence : public QObject {
    Q_OBJECT
private slots:
    void firstStartOnAnEmptyDirectory() {
        TestEnv env;
        QDir(env.state.usersDir()).removeRecursively();
        RecordingView view;
        std::vector<QString> order;
        StartupHooks hooks;
        hooks.loadMainWindow = [&] { order.push_back(u"main"_s); };
        hooks.loadCarDialog = [&] { order.push_back(u"car"_s); };
        hooks.loadPartnerDialog = [&] { order.push_back(u"partner"_s); };
        hooks.seedRandom = [&] { order.push_back(u"seed"_s); };
        QString status;
        hooks.statusLine = [&](const QString& line) { status = line; };
        QCOMPARE(start(env, view, hooks, env.dir.path() + u"/data"_s), StartupOutcome::Ready);
        // The NAV prices, a month an entry on its first day, ascending; none for ESZ-98.
        QVERIFY(env.read(u"Users/bdiz.rvd"_s).startsWith("43\r\n#2020-03-01#\r\n406\r\n#2020-05-01#\r\n342\r\n"));
        QCOMPARE(env.read(u"Users/b98.rvd"_s), QByteArray("0\r\n"));
        QCOMPARE((std::tuple{status, env.settings->text(keys::Version), env.settings->text(keys::Directory)}),
                 (std::tuple{u"A program betöltötte a NAV által közzétett üzemanyagárakat (128 új havi ár)."_s, u"2.2"_s, env.state.programDir}));
        QCOMPARE(std::pair(order, view.value), std::pair(std::vector<QString>{u"main"_s, u"car"_s, u"partner"_s, u"seed"_s}, view.maximum));
    }

    // The top-up adds the months a file lacks and never changes an entry already there.
    void publishedFilesAreToppedUpWithoutChangingAnEntry() {
        TestEnv env;
        const QByteArray ownMarch = "2\r\n#2024-03-15#\r\n700\r\n#2002-01-01#\r\n250\r\n";
        env.write(u"Users/b95.rvd"_s, ownMarch);
        env.write(u"Users/b98.rvd"_s, "1\r\n#2024-01-01#\r\n700\r\n");
        env.write(u"Users/bdiz.rvd"_s, "2\r\nx\r\n"); // damaged: left alone
        RecordingView view;
        QString status;
        StartupHooks hooks;
        hooks.statusLine = [&](const QString& line) { status = line; };
        QCOMPARE(start(env, view, hooks), StartupOutcome::Ready);
        const QByteArray b95 = env.read(u"Users/b95.rvd"_s);
        // March 2024 is the user's 700 from the 15th between NAV's February 566 and April 617, not
        // NAV's 601 from the 1st (figures of the source table).
        QVERIFY2(b95.startsWith("44\r\n#2002-01-01#\r\n250\r\n#2020-03-01#\r\n390\r\n") &&
                     b95.contains("#2024-02-01#\r\n566\r\n#2024-03-15#\r\n700\r\n#2024-04-01#\r\n617\r\n") &&
                     !b95.contains("#2024-03-01#"),
                 b95.constData());
        QCOMPARE(std::pair(env.read(u"Users/b98.rvd"_s), env.read(u"Users/bdiz.rvd"_s)),
                 std::pair(QByteArray("1\r\n#2024-01-01#\r\n700\r\n"), QByteArray("2\r\nx\r\n")));
        QVERIFY(env.read(u"Users/bkev.rvd"_s).startsWith("42\r\n")); // lost since: made again
        QCOMPARE(status, u"A program betöltötte a NAV által közzétett üzemanyagárakat (84 új havi ár)."_s);

        // Nothing left to add: no file is rewritten and the status bar stays quiet.
        const QByteArray kev = env.read(u"Users/bkev.rvd"_s);
        RecordingView again;
        status.clear();
        QCOMPARE(start(env, again, hooks), StartupOutcome::Ready);
        QCOMPARE((std::tuple{env.read(u"Users/b95.rvd"_s), env.read(u"Users/bkev.rvd"_s), status}), (std::tuple{b95, kev, QString()}));
    }

    void cityListAndProgress() {
        TestEnv env;
        env.write(u"cities.rvd"_s, serializeCities(u"T"_s, QStringList(100, u"Város"_s)));
        RecordingView view;
        int valueAfterCities = -1;
        StartupHooks hooks;
        hooks.loadMainWindow = [&] { valueAfterCities = view.value; };
        QCOMPARE(start(env, view, hooks), StartupOutcome::Ready);
        QVERIFY(view.repaints > 0);
        QCOMPARE((std::tuple{env.state.citiesLoaded, view.maximum, valueAfterCities}), (std::tuple{true, 100 + 301, 100}));

        // Switched off: the list is never read and the bar grows by 300 instead.
        TestEnv off;
        off.write(u"cities.rvd"_s, serializeCities(u"T"_s, {u"Aba"_s}));
        off.settings->setText(keys::LoadCities, u"0"_s);
        RecordingView offView;
        QCOMPARE(start(off, offView), StartupOutcome::Ready);
        QCOMPARE(std::pair(off.state.citiesLoaded, offView.maximum), std::pair(false, 100 + 300));

        // Missing: logged, and the start goes on.
        QFile::remove(env.path(u"cities.rvd"_s));
        RecordingView missingView;
        QVERIFY(start(env, missingView) == StartupOutcome::Ready && env.read(u"error.log"_s).contains("cities.rvd"));
    }

    void versionOnePointTwoRunsTheConversion_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<bool>("accepts");
        QTest::newRow("1.2") << u"1.2"_s << true << true;
        QTest::newRow("1.20") << u"1.20"_s << true << true; // the number, not the text
        QTest::newRow("1.2 declined") << u"1.2"_s << true << false;
        QTest::newRow("2.0") << u"2.0"_s << false << true;
        QTest::newRow("missing") << QString() << false << true;
        // The setting is the user's: an older car list without a present one is converted anyway.
        QTest::newRow("2.2 with users.rvd") << u"2.2"_s << true << true;
    }
    void versionOnePointTwoRunsTheConversion() {
        QFETCH(QString, stored);
        QFETCH(bool, converts);
        QFETCH(bool, accepts);
        TestEnv env;
        if (!stored.isNull())
            env.settings->setText(keys::Version, stored);
        if (QByteArray(QTest::currentDataTag()).contains("users.rvd"))
            env.write(u"users.rvd"_s, "0\r\n");
        bool called = false, mainLoaded = false;
        StartupHooks hooks;
        hooks.convertOlderLayout = [&](AppState&) {
            called = true;
            return accepts;
        };
        hooks.loadMainWindow = [&] { mainLoaded = true; };
        RecordingView view;
        QCOMPARE(start(env, view, hooks), accepts ? StartupOutcome::Ready : StartupOutcome::Declined);
        QCOMPARE(std::pair(called, mainLoaded), std::pair(converts, accepts));
        if (!converts)
            QCOMPARE(env.settings->text(keys::Version), u"2.2"_s);
    }

    // Damaged car and multiplier files are told at start-up and kept aside; the start goes on.
    void damagedFilesAreToldAtStartUp() {
        TestEnv env;
        const QByteArray cars = "2\r\n";
        const QByteArray multipliers = "1\r\n1,1\r\n1.2\r\n1\r\n1.5\r\n1.3\r\n1.05\r\n1.03\r\n2\r\n";
        env.write(u"user.rvd"_s, cars);
        env.write(u"Users/szorzo.rvd"_s, multipliers);
        RecordingView view;
        QCOMPARE(start(env, view), StartupOutcome::Ready);
        const QStringList told = env.prompter.texts();
        QVERIFY(told.size() == 2 && env.state.cars.isEmpty());
        QVERIFY2(told[0].contains(u"user.rvd (1. sor)"_s) && told[0].contains(u"user.rvd.hibas"_s), qPrintable(told[0]));
        QVERIFY2(told[1].contains(u"szorzo.rvd (8. sor)"_s) && told[1].contains(u"szorzo.rvd.hibas"_s), qPrintable(told[1]));
    }

    void aSecondCopyIsRefusedButAnUnusableDirectoryIsNamed() {
        TestEnv env;
        RecordingView view;
        std::unique_ptr<QLockFile> first, second;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, {}, first), StartupOutcome::Ready);
        AppState other;
        other.prompter = &env.prompter;
        other.settings = env.settings.get();
        QCOMPARE(runStartup(other, env.state.programDir, view, {}, second), StartupOutcome::AlreadyRunning);
        QVERIFY(env.prompter.asked.size() == 1 && first->isLocked());
        env.write(u"plain-file"_s, "x");
        const QString dir = env.path(u"plain-file/data"_s);
        QCOMPARE(runStartup(other, dir, view, {}, second), StartupOutcome::NoDataDirectory);
        QVERIFY(env.prompter.last().contains(QDir::toNativeSeparators(dir)) && env.prompter.asked.last().icon == MsgIcon::Critical);
    }

    void dataDirectoryChoice() {
        QTemporaryDir tmp;
        QCOMPARE(std::pair(resolveProgramDir(tmp.filePath(u"sub/dir"_s), u"/nonexistent"_s), resolveProgramDir(QString(), tmp.path())),
                 std::pair(tmp.filePath(u"sub/dir"_s) + u'/', tmp.path() + u'/'));
        QVERIFY(QFileInfo(tmp.filePath(u"sub/dir"_s)).isDir());
        QStandardPaths::setTestModeEnabled(true);
        const QString own = resolveProgramDir(QString(), u"/proc/1"_s);
        QVERIFY(own != u"/proc/1/"_s); // not writable: the per-user place
        // Installed (the shipped files under ../share/rovanta), a writable folder holds no data.
        QVERIFY(QDir(tmp.path()).mkpath(u"bin"_s) && QDir(tmp.path()).mkpath(u"share/rovanta"_s));
        QCOMPARE(resolveProgramDir(QString(), tmp.filePath(u"bin"_s)), own);
        // The demo beside it: removing the demo never reaches the real data, nor the reverse.
        const QString demo = demoDirectory();
        QCOMPARE(std::pair(QFileInfo(demo).fileName(), QFileInfo(demo).absolutePath()),
                 std::pair(u"Rovanta-bemutato"_s, QDir::cleanPath(own + u"/.."_s)));
        QVERIFY(!(demo + u'/').startsWith(own) && !own.startsWith(demo + u'/'));
    }

    // ---- the older layout converted

    void convertsCarsDatabasesAndVersion() {
        TestEnv env;
        copyFixture(env);
        const QByteArray olderList = env.read(u"users.rvd"_s);
        QVector<bool> busy;
        env.write(u"Users/XYZ-999/benzin.rvd"_s, "1\r\n#2002-01-01#\r\n250\r\n"); // entered since: kept
        QCOMPARE(convertOlderLayout(env.state, [&](bool b) { busy.append(b); }), ConversionOutcome::Converted);
        QCOMPARE(std::pair(busy, env.prompter.asked.value(0).buttons), std::pair(QVector<bool>{true, false}, Ok | Cancel));
        QCOMPARE(env.prompter.last(),
                 u"A konvertálás sikeresen befejeződött.\r\n\r\nAz átalakított gépkocsiknál még meg kell adni a "
                 u"fogyasztást és az általános költséget (a főablak Módosítás gombjával), valamint az üzemanyagárakat "
                 u"(Adatbázis ablak, Benzinárak lap):\r\n  ABC-123 (Kovács)\r\n  XYZ-999 (Nagy)\r\n\r\n"
                 u"Bővebben: Súgó, „Régebbi adatok átalakítása”."_s);

        const QVector<CarRecord> cars = storedCars(env);
        QCOMPARE((std::tuple{cars.size(), cars[0].generalCost, cars[0].city, cars[0].dirName}),
                 (std::tuple{qsizetype(2), 3.0f, u"Pécs"_s, u"ABC-123"_s}));
        // The fixture's cells are 25 km, true from 1 to 2 and false from 2 to 1; the names are trimmed.
        const PartnerDatabase db = storedDatabase(env, u"Users/ABC-123/data.rvd"_s);
        QCOMPARE((std::tuple{db.partners.size(), db.partners.value(0).name, db.distances.at(1, 2).distance,
                             db.distances.at(1, 2).routeType, db.distances.at(2, 1).routeType}),
                 (std::tuple{qsizetype(2), u"Kovács Bt."_s, qint16(25), qint16(1), qint16(2)}));
        QVERIFY(env.read(u"Users/ABC-123/benzin.rvd"_s) == "0\r\n" && !QFile::exists(env.path(u"Users/ABC-123/temp.tmp"_s)));
        // A car without a database gets its base as the one partner.
        QCOMPARE(std::pair(storedDatabase(env, u"Users/XYZ-999/data.rvd"_s).partners.size(), env.read(u"Users/XYZ-999/benzin.rvd"_s)),
                 std::pair(qsizetype(1), QByteArray("1\r\n#2002-01-01#\r\n250\r\n")));
        for (const QString& f : {u"b95.rvd"_s, u"b98.rvd"_s, u"bdiz.rvd"_s, u"bkev.rvd"_s})
            QCOMPARE(env.read(u"Users/"_s + f), QByteArray("0\r\n"));
        // The older list is left in place.
        QCOMPARE(std::pair(env.settings->text(keys::Version), env.read(u"users.rvd"_s)), std::pair(u"2.2"_s, olderList));
    }

    // Cancelled, or a damaged database found before anything is written: nothing changes.
    void cancelOrADamagedDatabaseChangesNothing() {
        TestEnv cancelled;
        copyFixture(cancelled);
        cancelled.prompter.answer(Cancel);
        QCOMPARE(convertOlderLayout(cancelled.state), ConversionOutcome::Declined);
        QVERIFY(!QFile::exists(cancelled.path(u"user.rvd"_s)) && !QFile::exists(cancelled.path(u"Users/b95.rvd"_s)) &&
                cancelled.settings->text(keys::Version) == u"1.2"_s);
        TestEnv env;
        copyFixture(env);
        env.write(u"Users/ABC-123/data.rvd"_s, "2\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n");
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Failed);
        QVERIFY(env.prompter.asked.last().icon == MsgIcon::Critical &&
                env.prompter.last().contains(u"következő indításkor újra felajánlja"_s));
        QVERIFY(env.read(u"error.log"_s).contains("data.rvd") && !QFile::exists(env.path(u"user.rvd"_s)) &&
                env.settings->text(keys::Version) == u"1.2"_s);
    }

    // Stopped halfway (the second car's folder cannot be made), the conversion is offered again
    // and ends as a single run does; once the car file is there, no car is converted twice.
    void aHalfDoneConversionIsOfferedAgainAndFinishes() {
        TestEnv single;
        copyFixture(single);
        QCOMPARE(convertOlderLayout(single.state), ConversionOutcome::Converted);
        TestEnv env;
        copyFixture(env);
        env.write(u"Users/XYZ-999"_s, "a könyvtár helyén");
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Failed);
        QVERIFY(hasUnconvertedData(env.state) && QFile::exists(env.path(u"Users/ABC-123/benzin.rvd"_s)) &&
                QFile::remove(env.path(u"Users/XYZ-999"_s)));
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QCOMPARE(dataFiles(env), dataFiles(single));

        CarRecord changed = storedCars(env).value(0);
        changed.consumption = 6.5f;
        env.write(u"user.rvd"_s, serializeCars({changed}));
        env.settings->setText(keys::Version, u"1.2"_s); // as when the version could not be stored
        QVERIFY(convertOlderLayout(env.state) == ConversionOutcome::Converted && env.read(u"user.rvd"_s) == serializeCars({changed}));
    }

    // Another program writes the shared folder: the conversion waits for it; when the folder stays
    // held, it refuses with the holder named and writes nothing.
    void waitsForTheFolderAndWritesNothingWhileItIsHeld() {
        TestEnv env;
        copyFixture(env);
        const QString sleep = QFileInfo(QStandardPaths::findExecutable(u"sleep"_s)).canonicalFilePath();
        if (sleep.isEmpty())
            QSKIP("no sleep program");
        const QDateTime now = QDateTime::currentDateTime();
        QProcess holder; // on this computer, for two seconds
        holder.start(sleep, {u"2"_s});
        QVERIFY(holder.waitForStarted());
        env.write(u"rovanta-folder.lock"_s, QByteArray::number(holder.processId()) + '\n' + sleep.toUtf8() + '\n' +
                                                localHostName().toUtf8() + '\n');
        env.write(u"rovanta-folder.lock.info"_s, lockNote({localHostName(), u"kati"_s, now, now, false}));
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QVERIFY2(waited.elapsed() >= 1500, "taken before its holder ended"); // a lower bound: the holder's life
        QVERIFY(QFile::exists(env.path(u"user.rvd"_s)) && !QFile::exists(folderLockPath(env.state.programDir)));

        TestEnv held;
        copyFixture(held);
        const QByteArray lock = "4242\nrovanta\nmasik-gep\n";
        held.write(u"rovanta-folder.lock"_s, lock);
        held.write(u"rovanta-folder.lock.info"_s, lockNote({u"masik-gep"_s, u"kati"_s, now, now, true}));
        const auto before = dataFiles(held); // the refusal is logged
        QCOMPARE(convertOlderLayout(held.state), ConversionOutcome::Failed);
        QVERIFY2(held.prompter.last().startsWith(u"Az adatbázisok konvertálása nem sikerült:\r\nAz adatkönyvtár most "
                                                 u"nem írható: az adatkönyvtárat egy másik gépről írják (masik-gep/kati "
                                                 u"szerkeszti %1 óta)."_s.arg(now.toString(u"HH:mm"_s))),
                 qPrintable(held.prompter.last()));
        QCOMPARE(std::pair(dataFiles(held), held.settings->text(keys::Version)), std::pair(before, u"1.2"_s));
    }

    void withoutAnOlderListThePresentCarFileStays() {
        TestEnv env;
        env.settings->setText(keys::Version, u"1.2"_s);
        CarRecord car = carWithTexts(u"Kovács"_s, u"Opel"_s, u"ABC-123"_s, u"Bt."_s, u"Pécs"_s, {});
        car.dirName = u"ABC-123"_s;
        const QByteArray present = serializeCars({car});
        env.write(u"user.rvd"_s, present);
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QCOMPARE(std::pair(env.read(u"user.rvd"_s), env.settings->text(keys::Version)), std::pair(present, u"2.2"_s));
    }

    // "4": already converted by an interrupted earlier run, kept.
    void cellFlags() {
        for (const auto& [flag, routeType] : {std::pair{"#TRUE#", "1"}, {"#FALSE#", "2"}, {"-1", "1"}, {"0", "2"}, {"4", "4"}}) {
            QByteArray out;
            QVERIFY(convertOlderDatabase("1\r\n\"a\"\r\n\"b\"\r\n\"\"\r\n25," + QByteArray(flag) + "\r\n", u"x"_s, out));
            QCOMPARE(out, "1\r\n\"a\"\r\n\"b\"\r\n\"\"\r\n25," + QByteArray(routeType) + "\r\n");
        }
    }

    void unsafeOlderDirectoryNameRefused() {
        QVector<OlderCar> cars;
        QVERIFY(!parseOlderCars("1\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\"\r\n\"..\\\\x\"\r\n", u"u"_s, cars));
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
