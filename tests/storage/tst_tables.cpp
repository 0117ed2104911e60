#include "storage/numeric.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestTables : public QObject {
    Q_OBJECT
private slots:
    void partnerTextsLeaveOutABlankAddress() {
        AppState s;
        s.partners = {Partner{u"Cég"_s, u"Győr"_s, u"   "_s}, Partner{u"Bolt"_s, u"Pápa"_s, u"Fő u. 2."_s}};
        QCOMPARE(PartnerAddress(s, 1), u"Győr"_s);
        QCOMPARE(PartnerLabel(s, 1), u"Cég - Győr"_s);
        QCOMPARE(PartnerLabel(s, 2), u"Bolt - Pápa, Fő u. 2."_s);
    }

    void holidaysAndMonthLengths() {
        for (const QDate d : {QDate(2002, 1, 1), QDate(2002, 3, 15), QDate(2002, 5, 1), QDate(2002, 8, 20),
                              QDate(2002, 10, 23), QDate(2002, 12, 25), QDate(2002, 12, 31)})
            QVERIFY2(IsHoliday(d), qPrintable(d.toString()));
        QVERIFY(!IsHoliday(QDate(2002, 12, 26)));
        QVERIFY(!IsHoliday(QDate(2002, 4, 1))); // Easter Monday 2002
        QCOMPARE(MonthDays[1], 28);
        QCOMPARE(daysInMonth(2004, 2), 29);
        QCOMPARE(daysInMonth(1900, 2), 28);
        QCOMPARE(daysInMonth(2002, 4), 30);
    }

    void numericTexts() {
        for (const QString& t : {u"10"_s, u"-1.5"_s, u"1,5"_s, u"1e3"_s, u" 010 "_s})
            QVERIFY2(isNumeric(t), qPrintable(t));
        for (const QString& t : {u""_s, u"11a"_s, u"-"_s})
            QVERIFY2(!isNumeric(t), qPrintable(t));
        QCOMPARE(*toNumber(u"1,5"_s), 1.5);
        QCOMPARE(leadingNumber(u"12abc"_s), 12.0);
        QCOMPARE(leadingNumber(u"abc"_s), 0.0);
        QCOMPARE(leadingNumber(u"1.20"_s), 1.2);
        QCOMPARE(roundHalfEven(2.5), 2);
    }

    void settingDefaultsAndStoredTexts() {
        TestEnv env;
        Settings& st = *env.settings;
        QVERIFY(st.confirmExit());
        QCOMPARE(st.tolerance(), 10.0);
        QCOMPARE(st.tries(), 100);
        st.setText(keys::ConfirmExit, u"0"_s);
        st.setText(keys::Tolerance, QString());
        st.setText(keys::Tries, u"010"_s);
        st.sync();
        auto again = Settings::openFile(env.dir.filePath(u"settings.ini"_s));
        QVERIFY(!again->confirmExit());
        QCOMPARE(again->tolerance(), 0.0);
        QCOMPARE(again->text(keys::Tries), u"010"_s);
        QCOMPARE(again->tries(), 10);
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
