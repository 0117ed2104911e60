#include "startup/startup.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QLockFile>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

struct RecordingView : StartupView {
    QStringList tasks;
    QString product, version;
    int maximum = 100;
    int value = 0;
    int repaints = 0;
    void setTask(const QString& t) override { tasks << t; }
    void setTitles(const QString& p, const QString& v) override {
        product = p;
        version = v;
    }
    int progressMaximum() const override { return maximum; }
    void setProgressMaximum(int m) override { maximum = m; }
    int progressValue() const override { return value; }
    void setProgressValue(int v) override { value = v; }
    void keepResponsive() override { ++repaints; }
};

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
        std::unique_ptr<QLockFile> lock;
        const QString dir = env.dir.path() + u"/data"_s;
        QCOMPARE(runStartup(env.state, dir, view, hooks, lock), StartupOutcome::Ready);
        QVERIFY(lock && lock->isLocked());
        for (const QString& f : {u"b95.rvd"_s, u"b98.rvd"_s, u"bdiz.rvd"_s, u"bkev.rvd"_s})
            QCOMPARE(env.read(u"Users/"_s + f), QByteArray("0\r\n"));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s).count("\r\n"), 9);
        QCOMPARE(env.settings->text(keys::Version), u"2.2"_s);
        QCOMPARE(env.settings->text(keys::Directory), env.state.programDir);
        QVERIFY(env.state.programDir.endsWith(u"/data/"_s));
        QCOMPARE(env.state.carCount(), 0);
        QCOMPARE(view.product, u"Rovanta+"_s);
        QCOMPARE(view.version, u"2.2 verzió"_s);
        QCOMPARE(view.tasks.first(), u"Környezet elemzése..."_s);
        QCOMPARE(view.tasks.last(), u"Majdnem kész..."_s);
        QVERIFY(view.tasks.contains(u"Gékocsik betöltése..."_s));
        QCOMPARE(order, (std::vector<QString>{u"main"_s, u"car"_s, u"partner"_s, u"seed"_s}));
        QCOMPARE(view.value, view.maximum);
    }

    void aLostPublishedPriceFileIsMadeAgainButAKeptOneIsNotTouched() {
        TestEnv env;
        env.write(u"Users/b95.rvd"_s, "1\r\n#2002-01-01#\r\n250\r\n");
        RecordingView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, {}, lock), StartupOutcome::Ready);
        QCOMPARE(env.read(u"Users/b95.rvd"_s), QByteArray("1\r\n#2002-01-01#\r\n250\r\n"));
        QCOMPARE(env.read(u"Users/bkev.rvd"_s), QByteArray("0\r\n"));
    }

    void citiesDriveTheProgressBar() {
        TestEnv env;
        QStringList names;
        for (int i = 0; i < 100; ++i)
            names << u"Város %1"_s.arg(i);
        env.write(u"cities.rvd"_s, serializeCities(u"Települések"_s, names));
        RecordingView view;
        int valueAfterCities = -1;
        StartupHooks hooks;
        hooks.loadMainWindow = [&] { valueAfterCities = view.value; };
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, hooks, lock), StartupOutcome::Ready);
        QVERIFY(env.state.citiesLoaded);
        QCOMPARE(env.state.cities.size(), 100);
        QCOMPARE(view.maximum, 100 + 301);
        QCOMPARE(valueAfterCities, 100);
        QVERIFY(view.repaints > 0);
        QVERIFY(view.tasks.contains(u"Városok betöltése..."_s));
    }

    void citySettingZeroSkipsTheList() {
        TestEnv env;
        env.write(u"cities.rvd"_s, serializeCities(u"T"_s, {u"Aba"_s}));
        env.settings->setText(keys::LoadCities, u"0"_s);
        RecordingView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, {}, lock), StartupOutcome::Ready);
        QVERIFY(!env.state.citiesLoaded);
        QVERIFY(env.state.cities.isEmpty());
        QCOMPARE(view.maximum, 100 + 300);
        QVERIFY(!view.tasks.contains(u"Városok betöltése..."_s));
    }

    void aMissingCityListIsLoggedAndStartUpGoesOn() {
        TestEnv env;
        RecordingView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, {}, lock), StartupOutcome::Ready);
        QVERIFY(!env.state.citiesLoaded);
        QVERIFY(env.read(u"error.log"_s).contains("cities.rvd"));
    }

    void versionOnePointTwoRunsTheConversion_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("converts");
        QTest::newRow("1.2") << u"1.2"_s << true;
        QTest::newRow("1.20") << u"1.20"_s << true;
        QTest::newRow("2.2") << u"2.2"_s << false;
        QTest::newRow("2.0") << u"2.0"_s << false;
        QTest::newRow("missing") << QString() << false;
    }
    void versionOnePointTwoRunsTheConversion() {
        QFETCH(QString, stored);
        QFETCH(bool, converts);
        TestEnv env;
        if (!stored.isNull())
            env.settings->setText(keys::Version, stored);
        bool called = false;
        StartupHooks hooks;
        hooks.convertOlderLayout = [&](AppState&) {
            called = true;
            return true;
        };
        RecordingView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, hooks, lock), StartupOutcome::Ready);
        QCOMPARE(called, converts);
        if (!converts)
            QCOMPARE(env.settings->text(keys::Version), u"2.2"_s);
    }

    void decliningTheConversionEndsTheStart() {
        TestEnv env;
        env.settings->setText(keys::Version, u"1.2"_s);
        StartupHooks hooks;
        hooks.convertOlderLayout = [](AppState&) { return false; };
        bool mainLoaded = false;
        hooks.loadMainWindow = [&] { mainLoaded = true; };
        RecordingView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, hooks, lock), StartupOutcome::Declined);
        QVERIFY(!mainLoaded);
        QCOMPARE(env.settings->text(keys::Version), u"1.2"_s);
    }

    void aSecondCopyIsRefused() {
        TestEnv env;
        RecordingView view;
        std::unique_ptr<QLockFile> first, second;
        QCOMPARE(runStartup(env.state, env.state.programDir, view, {}, first), StartupOutcome::Ready);
        AppState other;
        other.prompter = &env.prompter;
        other.settings = env.settings.get();
        env.prompter.clear();
        QCOMPARE(runStartup(other, env.state.programDir, view, {}, second), StartupOutcome::AlreadyRunning);
        QCOMPARE(env.prompter.texts(), QStringList{u"A program már fut."_s});
        QVERIFY(!second);
        QVERIFY(first->isLocked());
    }

    void dataDirectoryChoice() {
        QTemporaryDir tmp;
        const QString chosen = resolveProgramDir(tmp.filePath(u"sub/dir"_s), u"/nonexistent"_s);
        QCOMPARE(chosen, tmp.filePath(u"sub/dir"_s) + u'/');
        QVERIFY(QFileInfo(chosen).isDir());
        QCOMPARE(resolveProgramDir(QString(), tmp.path()), tmp.path() + u'/');
        QStandardPaths::setTestModeEnabled(true);
        const QString fallback = resolveProgramDir(QString(), u"/proc/1"_s);
        QVERIFY(fallback.endsWith(u'/'));
        QVERIFY(fallback != u"/proc/1/"_s);
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
