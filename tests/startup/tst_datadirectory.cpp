#include "startup/startup.h"
#include "testenv.h"

#include <QLockFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
struct SilentView : StartupView {
    void setTask(const QString&) override {}
    void setTitles(const QString&, const QString&) override {}
    int progressMaximum() const override { return 100; }
    void setProgressMaximum(int) override {}
    int progressValue() const override { return 0; }
    void setProgressValue(int) override {}
    void keepResponsive() override {}
};
} // namespace

class tst_datadirectory : public QObject {
    Q_OBJECT
private slots:
    // A directory that cannot be made is not "a copy already running".
    void unusableDirectoryIsNamedNotTakenForARunningCopy() {
        TestEnv env;
        env.write(u"plain-file"_s, "x");
        const QString dir = env.path(u"plain-file/data"_s);
        SilentView view;
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(env.state, dir, view, {}, lock), StartupOutcome::NoDataDirectory);
        QVERIFY(!lock);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().contains(QDir::toNativeSeparators(dir)));
        QVERIFY(!env.prompter.last().contains(u"már fut"_s));
        QCOMPARE(env.prompter.asked.last().icon, MsgIcon::Critical);
    }
    void aSecondCopyIsStillRecognised() {
        TestEnv env;
        const QString dir = env.path(u"data"_s);
        SilentView view;
        std::unique_ptr<QLockFile> first;
        QCOMPARE(runStartup(env.state, dir, view, {}, first), StartupOutcome::Ready);
        AppState second;
        second.prompter = &env.prompter;
        second.settings = env.settings.get();
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(runStartup(second, dir, view, {}, lock), StartupOutcome::AlreadyRunning);
        QCOMPARE(env.prompter.last(), u"A program már fut."_s);
    }
};

QTEST_GUILESS_MAIN(tst_datadirectory)
#include "tst_datadirectory.moc"
