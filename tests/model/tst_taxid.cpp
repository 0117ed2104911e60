#include "model/taxid.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// Figures worked by hand: 836567000 gives 1·8+2·3+3·6+4·5+5·6+6·7 = 124, 124 mod 11 = 3;
// 836567001 adds 9·1: 133 mod 11 = 1; 836567002 adds 9·2: 142 mod 11 = 10, never issued.
// 36567 days after 1867-01-01 is 1967-02-13.
class TestTaxId : public QObject {
    Q_OBJECT
    const QDate today{2026, 12, 7};

private slots:
    void checkDigitAndBirthDate() {
        QCOMPARE(taxIdCheckDigit(u"836567002"_s), std::nullopt);
        QCOMPARE(taxIdBirthDate(u"8365670003"_s), QDate(1967, 2, 13));
        QCOMPARE(taxIdProblem(u"8365670003"_s, today), QString());
        QCOMPARE(taxIdProblem(u" 8365670011 "_s, today), QString());
    }

    void invalidIdsGiveTheirReason_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("two digits swapped") << u"8635670003"_s << u"ellenőrző száma"_s;
        QTest::newRow("remainder ten") << u"8365670020"_s << u"nem tartozik"_s;
        // 736567000 sums to 123, remainder 2: the check digit fits, the first digit does not.
        QTest::newRow("not 8 first") << u"7365670002"_s << u"8-as"_s;
        QTest::newRow("nine digits") << u"836567000"_s << u"9 számjegyű"_s;
        QTest::newRow("letter") << u"83656700O3"_s << u"csak számjegy"_s;
        // 99999 days is 2140-10-15; 899999000: 8+18+27+36+45+54 = 188, 188 mod 11 = 1.
        QTest::newRow("born in the future") << u"8999990001"_s << u"2140.10.15."_s;
    }
    void invalidIdsGiveTheirReason() {
        QFETCH(QString, id);
        QFETCH(QString, reasonPart);
        const QString problem = taxIdProblem(id, today);
        QVERIFY2(problem.contains(reasonPart), qPrintable(problem));
    }
};

QTEST_APPLESS_MAIN(TestTaxId)
#include "tst_taxid.moc"
