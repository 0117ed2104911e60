#include "ui/fieldtext.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_fieldtext : public QObject {
    Q_OBJECT
private slots:
    void oneLineOfAPastedText() {
        QCOMPARE(oneLine(u"a\r\nb\rc\nd\te"_s), u"a b c d e"_s);
        QCOMPARE(fieldText(u"  Kovács Bt.\r\n"_s), u"Kovács Bt."_s);
    }
    void wholeNumbersInRange() {
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

QTEST_GUILESS_MAIN(tst_fieldtext)
#include "tst_fieldtext.moc"
