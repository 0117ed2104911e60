#include "startup/demodata.h"
#include "startup/startup.h"
#include "model/statefiles.h"
#include "testenv.h"

#include <QLockFile>
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
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
