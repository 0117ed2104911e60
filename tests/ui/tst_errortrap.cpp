#include "model/errorlog.h"
#include "storage/records.h"
#include "testenv.h"
#include "ui/errortrap.h"
#include "storage/fieldtext.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestErrorTrap : public QObject {
    Q_OBJECT
private slots:
    // A handler that succeeds leaves no trace.
    void anUnexpectedErrorIsLoggedReportedAndEndsTheProgram() {
        TestEnv env;
        bool ran = false;
        QVERIFY(runTrapped(env.state, u"frmX - Y:"_s, [&] { ran = true; }) && ran);
        QVERIFY(env.terminated == -1 && !QFile::exists(env.state.errorLogPath()));
        QVERIFY(!runTrapped(env.state, u"frmHonapok - MintaKeszites:"_s,
                            [] { throw RuntimeError(76, u"Az elérési út nem található."_s); }));
        QCOMPARE((std::tuple{env.terminated, env.prompter.asked.size(), env.prompter.asked.value(0).icon}),
                 (std::tuple{1, qsizetype(1), MsgIcon::Critical}));
        QCOMPARE(env.prompter.last(),
                 u"Ismeretlen hiba!\r\n\r\nHibakód: 76\r\nAz elérési út nem található.\r\n\r\n"
                 u"Kérem küldje el a hibanaplót a számomra (error.log)\r\n"
                 u" e-mailben, hogy a hibát minél előbb elháríthassam."_s);
        const QByteArray log = env.read(u"error.log"_s);
        QVERIFY(log.startsWith('"') && log.endsWith("\"\r\n"));
        const QString line = RecordReader(log, u"error.log"_s).readString();
        QVERIFY2(line.contains(u" 2.2."_s) && line.contains(u" --> frmHonapok - MintaKeszites: : 76"_s), qPrintable(line));
    }

    void locationNarrowedInsideTheHandlerIsLogged() {
        TestEnv env;
        runTrapped(env.state, u"frmMain - cmdLogin:"_s, [&] {
            env.state.errorLocation = u"frmUjuser - Benzin"_s;
            throw std::runtime_error("boom");
        });
        // The library's words go to the log only.
        QVERIFY(env.read(u"error.log"_s).contains("--> frmUjuser - Benzin : ") && env.read(u"error.log"_s).contains("(boom)"));
        QVERIFY(env.prompter.last().contains(u"Hibakód: 51\r\nVáratlan belső programhiba.\r\n"_s));
    }

    void logLinesAreAppended() {
        TestEnv env;
        LogError(env.state, u"első"_s);
        LogError(env.state, u"második \"idézet\""_s);
        RecordReader r(env.read(u"error.log"_s), u"error.log"_s);
        QVERIFY(r.readString().endsWith(u"--> első"_s) && r.readString().endsWith(u"--> második idézet"_s) && r.atEnd());
    }

    // A pasted text on one line, and whole numbers in their range.
    void textsOfTheFields() {
        QCOMPARE(std::pair(oneLine(u"a\r\nb\rc\nd\te"_s), fieldText(u"  Kovács Bt.\r\n"_s)), std::pair(u"a b c d e"_s, u"Kovács Bt."_s));
        for (const QString& good : {QString(), u"  "_s, u"0"_s, u"32767"_s, u"007"_s})
            QVERIFY2(isWholeNumberText(good, 0, 32767), qPrintable(good));
        for (const QString& bad : {u"32768"_s, u"000001"_s, u"99999999999"_s, u"-1"_s, u"+1"_s, u"1.5"_s,
                                   u"1,5"_s, u"1e3"_s, u"x"_s, u"1 2"_s})
            QVERIFY2(!isWholeNumberText(bad, 0, 32767), qPrintable(bad));
        QVERIFY(!isWholeNumberText(u"0"_s, 1, 9999));
    }
    void textForATerminalOrASpreadsheet() {
        QCOMPARE(printableText(u"Kft.\x1b[2J\r\nsor\u009b31m\x7f\tvég\n"_s), u"Kft. [2J\nsor 31m  vég\n"_s);
        const std::pair<QString, QString> cells[] = {
            {u"=HYPERLINK(\"x\")"_s, u"'=HYPERLINK(\"x\")"_s}, {u"+36 1 234"_s, u"'+36 1 234"_s},
            {u"-"_s, u"'-"_s}, {u"-1-2"_s, u"'-1-2"_s}, {u"-5,"_s, u"'-5,"_s}, {u"@SUM(A1)"_s, u"'@SUM(A1)"_s},
            {u"\tx"_s, u"'\tx"_s}, {u"\rx"_s, u"'\rx"_s}, {u"-12"_s, u"-12"_s}, {u"+3,5"_s, u"+3,5"_s},
            {u"a=b"_s, u"a=b"_s}, {QString(), QString()}};
        for (const auto& [in, out] : cells)
            QCOMPARE(guardSpreadsheetText(in), out);
    }
};

QTEST_GUILESS_MAIN(TestErrorTrap)
#include "tst_errortrap.moc"
