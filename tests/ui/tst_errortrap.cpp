#include "storage/errorlog.h"
#include "storage/records.h"
#include "testenv.h"
#include "ui/errortrap.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestErrorTrap : public QObject {
    Q_OBJECT
private slots:
    void aHandlerThatSucceedsLeavesNoTrace() {
        TestEnv env;
        bool ran = false;
        QVERIFY(runTrapped(env.state, u"frmX - Y:"_s, [&] { ran = true; }));
        QVERIFY(ran);
        QCOMPARE(env.terminated, -1);
        QVERIFY(!QFile::exists(env.state.errorLogPath()));
    }

    void anUnexpectedErrorIsLoggedReportedAndEndsTheProgram() {
        TestEnv env;
        QVERIFY(!runTrapped(env.state, u"frmHonapok - MintaKeszites:"_s,
                            [] { throw RuntimeError(76, u"Az elérési út nem található."_s); }));
        QCOMPARE(env.terminated, 1);
        QCOMPARE(env.prompter.asked.size(), 1);
        QCOMPARE(env.prompter.asked[0].icon, MsgIcon::Critical);
        QCOMPARE(env.prompter.last(),
                 u"Ismeretlen hiba!\r\n\r\nHibakód: 76\r\nAz elérési út nem található.\r\n\r\n"
                 u"Kérem küldje el a hibanaplót a számomra (error.log)\r\n"
                 u" e-mailben, hogy a hibát minél előbb elháríthassam."_s);
        const QByteArray log = env.read(u"error.log"_s);
        QVERIFY(log.startsWith('"'));
        QVERIFY(log.endsWith("\"\r\n"));
        RecordReader r(log, u"error.log"_s);
        const QString line = r.readString();
        QVERIFY2(line.contains(u" 2.2."_s), qPrintable(line));
        QVERIFY2(line.contains(u" --> frmHonapok - MintaKeszites: : 76"_s), qPrintable(line));
    }

    void locationNarrowedInsideTheHandlerIsLogged() {
        TestEnv env;
        runTrapped(env.state, u"frmMain - cmdLogin:"_s, [&] {
            env.state.errorLocation = u"frmUjuser - Benzin"_s;
            throw std::runtime_error("boom");
        });
        QVERIFY(env.read(u"error.log"_s).contains("--> frmUjuser - Benzin : "));
        QVERIFY(env.read(u"error.log"_s).contains("(boom)")); // the library's words for the log only
        QVERIFY(env.prompter.last().contains(u"Hibakód: 51\r\nVáratlan belső programhiba.\r\n"_s));
    }

    void logLinesAreAppended() {
        TestEnv env;
        LogError(env.state, u"első"_s);
        LogError(env.state, u"második \"idézet\""_s);
        RecordReader r(env.read(u"error.log"_s), u"error.log"_s);
        QVERIFY(r.readString().endsWith(u"--> első"_s));
        QVERIFY(r.readString().endsWith(u"--> második idézet"_s));
        QVERIFY(r.atEnd());
    }
};

QTEST_GUILESS_MAIN(TestErrorTrap)
#include "tst_errortrap.moc"
