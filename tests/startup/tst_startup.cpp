#include "startup/carops.h"
#include "startup/conversion.h"
#include "startup/demodata.h"
#include "startup/dialogvalues.h"
#include "startup/startoptions.h"
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

// The cars: a form as the car dialog fills it.
CarForm form(const QString& user, const QString& plate) {
    return CarForm{user, u"Opel Astra"_s, plate, 3, u"7,5"_s, u"12"_s, u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s};
}

// A new car answering No to the import and the published-prices questions.
int addCar(TestEnv& env, const QString& user, const QString& plate) {
    if (env.state.carCount() > 0)
        env.prompter.answer(No);
    env.prompter.answer(No);
    return createCar(env.state, form(user, plate), {});
}

} // namespace

// The start-up, the older layout converted, and the cars and settings of the main window.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // The program's options; every fault told in Hungarian, Qt's own options left to Qt.
    void startOptions() {
        const auto run = [](const QStringList& words) { return parseStartOptions(QStringList{u"rovanta"_s} + words); };
        const StartOptions plain = run({u"-platform"_s, u"offscreen"_s, u"--data-dir=/a b"_s});
        QCOMPARE(std::tuple(int(plain.action), plain.dataDir, plain.demo), std::tuple(int(StartOptions::Action::Run), u"/a b"_s, false));
        QCOMPARE(run({u"--data-dir"_s, u"x"_s}).dataDir, u"x"_s);
        QVERIFY(run({u"--demo"_s}).demo && run({u"-v"_s}).action == StartOptions::Action::Version);
        const QString tail = u"\nA kapcsolók leírása: rovanta --help\n"_s;
        const std::pair<QStringList, QString> faults[] = {
            {{u"--bogus"_s}, u"Hibás parancssor. Ismeretlen kapcsoló: --bogus"_s},
            {{u"-demo"_s}, u"Hibás parancssor. Ismeretlen kapcsoló: -demo"_s},
            {{u"--data-dir"_s}, u"Hibás parancssor. A --data-dir kapcsoló után hiányzik a könyvtár."_s},
            {{u"--demo=1"_s}, u"Hibás parancssor. A --demo kapcsoló után nem állhat érték: --demo=1"_s},
            {{u"szó"_s}, u"Hibás parancssor. Fölösleges szó a parancssorban: szó"_s},
            {{u"--demo"_s, u"--data-dir"_s, u"x"_s}, u"A --demo és a --data-dir kapcsoló együtt nem adható meg.\n"_s}};
        for (const auto& [words, text] : faults) {
            const StartOptions o = run(words);
            QCOMPARE(std::pair(int(o.action), o.text), std::pair(int(StartOptions::Action::Error),
                                                                 text.endsWith(u'\n') ? text : text + tail));
        }
    }

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
                 (std::tuple{u"A program betöltötte a NAV által közzétett üzemanyagárakat (206 új havi ár)."_s, u"2.2"_s, env.state.programDir}));
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
        QCOMPARE(status, u"A program betöltötte a NAV által közzétett üzemanyagárakat (162 új havi ár)."_s);

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
                 u"(Adatbázis ablak, Üzemanyagárak lap):\r\n  ABC-123 (Kovács)\r\n  XYZ-999 (Nagy)\r\n\r\n"
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

    // ---- the cars and the settings

    void validationStopsAtTheFirstProblem() {
        CarForm f = form(u"a"_s, u"b"_s);
        f.companyAddress = u"  "_s;
        QCOMPARE(validateCarForm(f)->message, u"A cég címe nincs megadva."_s);
        f.carType.clear();
        QCOMPARE(validateCarForm(f)->field, CarField::CarType);
        // Only what the car file may hold, at the ends of the ranges.
        const std::tuple<QString, QString, std::optional<CarField>> numbers[] = {
            {u"100"_s, u"1000"_s, std::nullopt},
            {u"0"_s, u"0"_s, std::nullopt},
            {u"100,01"_s, u"12"_s, CarField::Consumption},
            {u"-1"_s, u"12"_s, CarField::Consumption},
            {u"7"_s, u"1000.5"_s, CarField::GeneralCost},
        };
        for (const auto& [consumption, cost, field] : numbers) {
            f = form(u"a"_s, u"b"_s);
            f.consumption = consumption;
            f.generalCost = cost;
            const auto problem = validateCarForm(f);
            QVERIFY2((problem ? std::optional(problem->field) : std::nullopt) == field, qPrintable(consumption + u' ' + cost));
        }
    }

    // A text the car file cannot hold is refused, naming each such character once; "?" is a
    // letter like any other, so a car file holding it from an earlier version still reads.
    void textsOutsideTheCodePageAreRefused() {
        CarForm f = form(u"a"_s, u"ЖК-Ж7"_s);
        QVERIFY2(validateCarForm(f)->field == CarField::Plate &&
                     validateCarForm(f)->message.startsWith(u"Az „Ж”, „К” karakterek nem tárolhatók"_s),
                 qPrintable(validateCarForm(f)->message));
        f = form(u"a"_s, u"b"_s);
        f.companyName = u"Kft. 🚗"_s;
        QVERIFY(validateCarForm(f)->message.startsWith(u"Az „🚗” karakter nem tárolható"_s));
        f.companyName = u"Árvíztűrő tükörfúrógép Kft. – „Ő” € ?"_s;
        QVERIFY(!validateCarForm(f));
        QVector<CarRecord> cars;
        QVERIFY(parseCars("1\r\n\"a\"\r\n\"b\"\r\n\"?\?-7\"\r\n1\r\n7\r\n3\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"?\?-7\"\r\n",
                          u"user.rvd"_s, cars));
        QCOMPARE(cars.value(0).dirName, u"?\?-7"_s);
    }

    // Reserved device names and dots at the ends are refused, their look-alikes not; a Cyrillic
    // plate's folder would not be the car file's "?\?-7".
    void plateMustBeOneDirectoryName() {
        for (const auto& [plate, ok] : {std::pair{u"ABC-123"_s, true}, {u"AB.12"_s, true}, {u"ŐŰ-áé1"_s, true},
                                        {u"COM10"_s, true}, {u"CONA"_s, true}, {u"AB/12"_s, false}, {u"A\tB"_s, false},
                                        {u".abc"_s, false}, {u"abc."_s, false}, {u"con"_s, false}, {u"NUL.txt"_s, false},
                                        {u"COM1"_s, false}, {u"ЖК-7"_s, false}})
            QVERIFY2(plateDirectoryProblem(plate).isEmpty() == ok, qPrintable(plate));
    }

    void firstCarGetsOnePartnerDatabaseAndPublishedPrices() {
        TestEnv env;
        env.write(u"Users/bdiz.rvd"_s, "1\r\n#2024-01-01#\r\n612\r\n");
        env.prompter.answer(Yes); // the published prices
        // A pasted line break must not split the record in the car file.
        QCOMPARE(createCar(env.state, form(u" Kovács\r\nJános "_s, u" ABC-123 "_s), [] { return 0; }), 1);
        QCOMPARE(env.prompter.asked.size(), 1); // no import question
        const CarRecord saved = storedCars(env).value(0);
        QCOMPARE((std::tuple{saved.userName, saved.dirName, saved.consumption}), (std::tuple{u"Kovács János"_s, u"ABC-123"_s, 7.5f}));
        const PartnerDatabase db = storedDatabase(env, u"Users/ABC-123/data.rvd"_s);
        QCOMPARE(std::pair(db.partners, env.read(u"Users/ABC-123/benzin.rvd"_s)),
                 std::pair(QVector<Partner>{{u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s}}, env.read(u"Users/bdiz.rvd"_s)));
    }

    void damagedImportSourceFallsBackToOwnDatabase() {
        TestEnv env;
        QVERIFY(addCar(env, u"első"_s, u"AAA111"_s));
        env.write(u"Users/AAA111/data.rvd"_s, "3\r\n\"csak egy\"\r\n");
        env.prompter.answer(Yes); // import
        env.prompter.answer(Ok);  // the failure
        env.prompter.answer(No);  // no published prices
        QCOMPARE(createCar(env.state, form(u"második"_s, u"BBB222"_s), [] { return 1; }), 2);
        QCOMPARE(storedDatabase(env, u"Users/BBB222/data.rvd"_s).partners.size(), 1);
    }

    void refusedCarsWriteNothing() {
        TestEnv env;
        QVERIFY(addCar(env, u"Kovács"_s, u"ABC123"_s) && addCar(env, u"b"_s, u"P2"_s));
        const QByteArray carFile = env.read(u"user.rvd"_s);
        // Letter case and blanks do not make another car.
        for (const auto& [user, plate, told] : {std::tuple{u"Más"_s, u" abc123"_s, u"Ez a rendszám már foglalt."_s},
                                                {u"KOVÁCS "_s, u"XYZ"_s, u"Ez a felhasználónév már foglalt."_s},
                                                {u"c"_s, u"../kint"_s, u"könyvtárnév"_s}})
            QVERIFY2(createCar(env.state, form(user, plate), {}) == 0 && env.prompter.last().contains(told), qPrintable(plate));
        // A changed car is checked against the other cars only.
        QVERIFY(modifyCar(env.state, 2, form(u"b"_s, u"P2"_s), {}) && !modifyCar(env.state, 2, form(u"b"_s, u"abc123"_s), {}));
        QCOMPARE((std::tuple{env.state.car(2).plateNumber, env.state.carCount(), env.read(u"user.rvd"_s),
                             QFileInfo::exists(env.path(u"Users/XYZ"_s))}),
                 (std::tuple{u"P2"_s, 2, carFile, false}));
    }

    void newCarNeverSharesADirectory() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"OLD1"_s) && modifyCar(env.state, 1, form(u"a"_s, u"NEW1"_s), {}));
        QCOMPARE(addCar(env, u"b"_s, u"old1"_s), 2);
        QCOMPARE((std::tuple{env.state.car(1).dirName, env.state.car(2).dirName, freeDirName(env.state, u"OLD1"_s)}),
                 (std::tuple{u"OLD1"_s, u"old1_2"_s, u"OLD1_3"_s}));
    }

    void fuelTypeChangeOffersPublishedThenOtherCar() {
        TestEnv env;
        env.write(u"Users/b98.rvd"_s, "1\r\n#2024-03-01#\r\n700\r\n");
        QVERIFY(addCar(env, u"a"_s, u"P1"_s) && addCar(env, u"b"_s, u"P2"_s) && loginCar(env.state, 2));
        env.prompter.clear();
        CarForm f = formFromCar(env.state.car(2));
        f.fuelType = 2;
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, {}));
        // The logged-in car sees its new prices at once.
        QCOMPARE(std::pair(env.read(u"Users/P2/benzin.rvd"_s), env.state.fuelPrices.size()), std::pair(env.read(u"Users/b98.rvd"_s), qsizetype(1)));

        env.write(u"Users/P1/benzin.rvd"_s, "1\r\n#2024-04-01#\r\n555\r\n");
        f.fuelType = 4;
        env.prompter.clear();
        env.prompter.answer(No);
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, [] { return 1; }) &&
                env.prompter.last().endsWith(u"Kívánja egy másik gépkocsi üzemanyagadatbázisát importálni?"_s));
        QCOMPARE(env.read(u"Users/P2/benzin.rvd"_s), env.read(u"Users/P1/benzin.rvd"_s));
        env.prompter.clear();
        QVERIFY(modifyCar(env.state, 2, f, {}) && env.prompter.asked.isEmpty()); // same fuel type: no question
    }

    void deleteKeepsOtherDirectoriesAndTheLoggedInCar() {
        TestEnv env;
        for (const QString& p : {u"P1"_s, u"P2"_s, u"P3"_s})
            QVERIFY(addCar(env, p.toLower(), p));
        env.write(u"Users/P2/2024jan.rvn"_s, "x");
        env.write(u"Users/P2/2024FEB.RVN"_s, "x");
        env.write(u"Users/P2/benzin.rvd.hibas.2"_s, "x");
        QVERIFY(loginCar(env.state, 3));
        env.prompter.answer(No);
        QVERIFY(!deleteCar(env.state, 2).removed && QFileInfo::exists(env.path(u"Users/P2"_s)));
        QCOMPARE(std::pair(env.prompter.last(), env.prompter.asked.last().buttons),
                 std::pair(u"Biztos, hogy törli a(z) p2 nevű felhasználót?\r\n\r\nVele együtt törlődik 2 havi "
                           u"nyilvántartása, a partnerei, a távolságai és az üzemanyagárai."_s, Yes | No | DefaultNo));
        env.prompter.answer(Yes);
        QVERIFY(!deleteCar(env.state, 2).wasLoggedIn && !QFileInfo::exists(env.path(u"Users/P2"_s)));
        QCOMPARE(env.state.currentCar, 2); // moved up one place with its record
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 2).wasLoggedIn && env.state.currentCar == 0 && env.state.partners.isEmpty());
    }

    // Only what the program made goes; a file or folder of the user's keeps the directory.
    void deleteLeavesForeignFilesAndSaysWhat() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s));
        for (const char* f : {"2024jan.rvn", "temp.tmp", "evszak.rvd", "data.rvd.hibas", "jegyzet.txt", "data.rvd.hibas.x",
                              "2024jan.rvn.hibas.2", "benzin.rvd.XyZabc", "levelek.hibas", "mentes/2024jan.rvn"})
            env.write(u"Users/P1/"_s + QLatin1String(f), "x");
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 1).removed);
        QCOMPARE(QDir(env.path(u"Users/P1"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({u"data.rvd.hibas.x"_s, u"jegyzet.txt"_s, u"levelek.hibas"_s, u"mentes"_s}));
        QVERIFY(env.read(u"Users/P1/mentes/2024jan.rvn"_s) == "x" && env.prompter.last().contains(u"jegyzet.txt"_s) &&
                env.prompter.last().contains(u"mentes/"_s));

        // An unsafe directory name, or one another car shares: the record goes, the files stay.
        TestEnv shared;
        shared.write(u"Users/keep.txt"_s, "x");
        shared.write(u"Users/SHARED/data.rvd"_s, "x");
        auto car = [](const QString& user, const QString& dir) { return CarRecord{user, {}, {}, 1, 1, 1, {}, {}, {}, dir}; };
        shared.state.cars = {car(u"üres"_s, u"  "_s), car(u"egyik"_s, u"SHARED"_s), car(u"másik"_s, u"SHARED"_s)};
        QVERIFY(deleteCar(shared.state, 1).removed && shared.prompter.last().contains(u"nem biztonságos"_s));
        QVERIFY(deleteCar(shared.state, 1).removed && shared.prompter.last().contains(u"másik"_s));
        QVERIFY(QFile::exists(shared.path(u"Users/keep.txt"_s)) && QFile::exists(shared.path(u"Users/SHARED/data.rvd"_s)) &&
                shared.state.carCount() == 1);
    }

    // A car list lost to damage: the car created again may take its old directory over.
    void anUnregisteredDirectoryIsOfferedForTakeOver() {
        TestEnv env;
        const QByteArray db = "1\r\n\"R\xe9gi\"\r\n\"P\xe9" "cs\"\r\n\"\"\r\n0,1\r\n";
        env.write(u"Users/ABC/data.rvd"_s, db);
        env.write(u"Users/ABC/2002jan.rvn"_s, "x");
        env.write(u"Users/ABC/2002feb.rvn"_s, "x");
        env.prompter.answer(Yes);
        QVERIFY(createCar(env.state, form(u"a"_s, u"ABC"_s), {}) == 1 && env.prompter.asked[0].text.contains(u"2 havi nyilvántartás"_s));
        QCOMPARE((std::tuple{env.state.car(1).dirName, env.read(u"Users/ABC/data.rvd"_s), env.read(u"Users/ABC/benzin.rvd"_s)}),
                 (std::tuple{u"ABC"_s, db, QByteArray("0\r\n")}));

        // Declined, or a directory without the program's files: a directory of its own.
        env.write(u"Users/XYZ/data.rvd"_s, db);
        env.write(u"Users/QQQ/jegyzet.txt"_s, "x");
        env.prompter.clear();
        env.prompter.answer(No);
        QVERIFY(addCar(env, u"b"_s, u"XYZ"_s) == 2 && addCar(env, u"c"_s, u"QQQ"_s) == 3);
        QCOMPARE((std::tuple{env.state.car(2).dirName, env.state.car(3).dirName}), (std::tuple{u"XYZ_2"_s, u"QQQ_2"_s}));
        QVERIFY(!env.prompter.texts().join(u'|').contains(u"QQQ könyvtár"_s));
    }

    // A damaged data.rvd: what was read before the damage opens, or the login is cancelled.
    void aDamagedDatabaseOpensItsReadablePart() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s));
        // Three partners; row 2 is damaged in its second cell, so rows 2 and 3 are lost.
        const QByteArray damaged = "3\r\n\"A\"\r\n\"V\"\r\n\"\"\r\n\"B\"\r\n\"V\"\r\n\"\"\r\n\"C\"\r\n\"V\"\r\n\"\"\r\n"
                                   "0,1\r\n12,2\r\n13,3\r\n21,1\r\nx,1\r\n";
        env.write(u"Users/P1/data.rvd"_s, damaged);
        env.prompter.clear();
        env.prompter.answer(Cancel);
        QVERIFY(!loginCar(env.state, 1) && env.read(u"Users/P1/data.rvd"_s) == damaged);
        QVERIFY(env.prompter.asked[0].text.contains(u"(15. sor)"_s) &&
                env.prompter.asked[0].text.contains(u"A fájl 3 partnert ír; ebből 3 partner és 1 távolságsor olvasható, "
                                                    u"0 partner és 2 távolságsor elvész."_s));

        env.prompter.clear();
        env.prompter.answer(Yes);
        QVERIFY(loginCar(env.state, 1));
        QCOMPARE(std::pair(env.read(u"Users/P1/data.rvd.hibas"_s), env.state.partnerCount()), std::pair(damaged, 3));
        const qint16 km[3][3] = {{0, 12, 13}, {12, 0, 0}, {13, 0, 0}}; // lost rows from their mirror cells
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j)
                QCOMPARE(env.state.distances.at(i, j).distance, km[i - 1][j - 1]);
        QCOMPARE(storedPartners(env.state).distances.at(3, 1).distance, qint16(13));

        // Nothing readable: the car's own base is the one partner.
        env.write(u"Users/P1/data.rvd"_s, "x\r\n");
        env.prompter.answer(Yes);
        QVERIFY(loginCar(env.state, 1));
        QCOMPARE(std::pair(env.state.partnerCount(), env.state.partner(1).name), std::pair(1, u"Cég Kft."_s));
    }

    void loginRepairsMissingPricesButRefusesAMissingDatabase() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s) && addCar(env, u"b"_s, u"P2"_s));
        QFile::remove(env.path(u"Users/P1/benzin.rvd"_s));
        QVERIFY(loginCar(env.state, 1) && env.prompter.last().startsWith(u"A benzinárakat tartalmazó adatbázis nem található."_s));
        QCOMPARE(std::pair(env.read(u"Users/P1/benzin.rvd"_s), env.state.errorLocation), std::pair(QByteArray("0\r\n"), u"frmUjuser - Form"_s));

        QFile::remove(env.path(u"Users/P2/data.rvd"_s));
        const Result r = loginCar(env.state, 2);
        QVERIFY(!r && r.message().contains(u"data.rvd"_s));
        QCOMPARE((std::tuple{env.state.currentCar, env.state.carDir, env.state.partnerCount()}),
                 (std::tuple{1, u"Users/P1/"_s, 1}));
    }

    void setupShowsStoredTextsAsNumbers() {
        TestEnv env;
        env.settings->setText(keys::Tolerance, u"010"_s);
        env.settings->setText(keys::Tries, u"abc"_s);
        SetupValues v = readSetup(*env.settings); // nothing stored: start-up loads the cities, the box is ticked
        QCOMPARE((std::tuple{v.tolerance, v.tries, v.loadCities}), (std::tuple{u"10"_s, u"0"_s, true}));
        env.settings->setText(keys::Tolerance, u"2.5"_s);
        QCOMPARE(readSetup(*env.settings).tolerance, u"2,5"_s);
    }

    // A full disk: the dialog's save is told, naming the store, and the program goes on with
    // what the store still holds.
    void settingsThatCannotBeStoredAreTold() {
        RV_NEEDS_POSIX_FAULTS();
        TestEnv env;
        SetupValues v = readSetup(*env.settings);
        v.tolerance = u"25"_s;
        QVERIFY(writeSetup(*env.settings, v));
        v.tolerance = u"30"_s;
        const Result r = underFileSizeLimit(16, [&] {
            const Result w = writeSetup(*env.settings, v);
            return Result::failure(w.message() + u'|' + env.settings->text(keys::Tolerance));
        });
        QVERIFY2(r.message().startsWith(u"A beállítások nem menthetők (a fájl nem írható):"_s) &&
                     r.message().endsWith(QDir::toNativeSeparators(env.dir.filePath(u"settings.ini"_s)) + u"|25"_s),
                 qPrintable(r.message()));
        QCOMPARE(Settings::openFile(env.dir.filePath(u"settings.ini"_s))->text(keys::Tolerance), u"25"_s);
    }

    void multipliersAreStoredOnlyWhenEveryBoxIsFilled() {
        QCOMPARE(std::pair(multiplierBoxText(1.15f), multiplierBoxText(1.075f)), std::pair(u"115"_s, u"107,5"_s));
        TestEnv env;
        env.state.LoadTables();
        QVERIFY(LoadMultipliers(env.state));
        env.state.multipliers[0].value = 0.95f; // "Közút" has no box and keeps its value
        const QByteArray before = env.read(u"Users/szorzo.rvd"_s);
        MultiplierTexts t = multiplierTexts(env.state);
        t[0] = u"110"_s;
        t[2] = u"  "_s;
        t[6] = u"112,5"_s;
        QCOMPARE(applyMultipliers(env.state, t, 3)->box, 2);
        QCOMPARE((std::tuple{env.state.multipliers[1].value, env.state.defaultRouteType, env.read(u"Users/szorzo.rvd"_s)}),
                 (std::tuple{1.0f, qint16(1), before}));

        // Only what the file may hold: 10 to 1000 per cent.
        for (const auto& [text, refused] : {std::pair{u"9,99"_s, true}, {u"1000,1"_s, true},
                                            {u"10"_s, false}, {u"1000"_s, false}})
            QCOMPARE(bool(applyMultipliers(env.state, (t[2] = text, t), 3)), refused);
        t[2] = u"100"_s;
        QVERIFY(!applyMultipliers(env.state, t, 3));
        QCOMPARE(env.state.multipliers[1].value, 1.1f);
        const AppState stored = storedMultipliers(env.state);
        QCOMPARE((std::tuple{stored.multipliers[0].value, stored.multipliers[1].value, stored.multipliers[7].value,
                             stored.defaultRouteType}),
                 (std::tuple{0.95f, 1.1f, 1.125f, qint16(3)}));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s).split('\n').at(1), QByteArray("1.1\r"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
