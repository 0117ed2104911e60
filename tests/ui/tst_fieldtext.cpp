#include "ui/fieldtext.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_fieldtext : public QObject {
    Q_OBJECT
private slots:
    void oneLineOfAPastedText() {
        QCOMPARE(oneLine(u"Fő u. 1.\r\n2. emelet"_s), u"Fő u. 1. 2. emelet"_s);
        QCOMPARE(oneLine(u"a\rb\nc\td"_s), u"a b c d"_s);
        QCOMPARE(fieldText(u"  Kovács Bt.\r\n"_s), u"Kovács Bt."_s);
        QCOMPARE(oneLine(u"Ősz, Győr"_s), u"Ősz, Győr"_s);
    }
    void wholeNumbersInRange() {
        QVERIFY(isWholeNumberText(QString(), 1, 9999));
        QVERIFY(isWholeNumberText(u"  "_s, 1, 9999));
        QVERIFY(isWholeNumberText(u"0"_s, 0, 32767));
        QVERIFY(isWholeNumberText(u"32767"_s, 0, 32767));
        QVERIFY(isWholeNumberText(u"007"_s, 0, 32767));
        QVERIFY(!isWholeNumberText(u"0"_s, 1, 9999));
        QVERIFY(!isWholeNumberText(u"32768"_s, 0, 32767));
        QVERIFY(!isWholeNumberText(u"000001"_s, 0, 32767)); // more digits than the box holds
        QVERIFY(!isWholeNumberText(u"99999999999"_s, 0, 32767));
        for (const QString& bad : {u"-1"_s, u"+1"_s, u"1.5"_s, u"1,5"_s, u"1e3"_s, u"x"_s, u"1 2"_s})
            QVERIFY2(!isWholeNumberText(bad, 0, 32767), qPrintable(bad));
    }
};

QTEST_GUILESS_MAIN(tst_fieldtext)
#include "tst_fieldtext.moc"
