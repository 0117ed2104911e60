#include "storage/numeric.h"
#include "storage/settings.h"
#include "storage/state.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestTables : public QObject {
    Q_OBJECT
private slots:
    void partnerTexts() {
        AppState s;
        s.partners = {Partner{u"Cég"_s, u"Győr"_s, u"   "_s}, Partner{u"Bolt"_s, u"Pápa"_s, u"Fő u. 2."_s}};
        QCOMPARE(PartnerAddress(s, 1), u"Győr"_s);
        QCOMPARE(PartnerLabel(s, 1), u"Cég - Győr"_s);
        QCOMPARE(PartnerAddress(s, 2), u"Pápa, Fő u. 2."_s);
        QCOMPARE(PartnerLabel(s, 2), u"Bolt - Pápa, Fő u. 2."_s);
    }

    void holidaysAreTheFixedDaysOnly() {
        for (const QDate d : {QDate(2002, 1, 1), QDate(2002, 3, 15), QDate(2002, 5, 1), QDate(2002, 8, 20),
                              QDate(2002, 10, 23), QDate(2002, 12, 25), QDate(2002, 12, 31)})
            QVERIFY2(IsHoliday(d), qPrintable(d.toString()));
        QVERIFY(!IsHoliday(QDate(2002, 12, 26)));
        QVERIFY(!IsHoliday(QDate(2002, 4, 1))); // Easter Monday 2002
        QVERIFY(!IsHoliday(QDate(2002, 12, 24)));
    }

    void monthLengths() {
        QCOMPARE(MonthDays[1], 28);
        QCOMPARE(daysInMonth(2003, 2), 28);
        QCOMPARE(daysInMonth(2004, 2), 29);
        QCOMPARE(daysInMonth(2000, 2), 29);
        QCOMPARE(daysInMonth(1900, 2), 28);
        QCOMPARE(daysInMonth(2002, 4), 30);
        QCOMPARE(daysInMonth(2002, 12), 31);
        QCOMPARE(MonthAbbrev()[8], u"sze"_s);
        QCOMPARE(DayAbbrev()[2], DayAbbrev()[5]);
        QCOMPARE(DayNames()[0], u"hétfő"_s);
    }

    void numericTexts() {
        QVERIFY(isNumeric(u"10"_s));
        QVERIFY(isNumeric(u"-1.5"_s));
        QVERIFY(isNumeric(u"1,5"_s));
        QVERIFY(isNumeric(u"1e3"_s));
        QVERIFY(isNumeric(u" 010 "_s));
        QVERIFY(!isNumeric(u""_s));
        QVERIFY(!isNumeric(u"11a"_s));
        QVERIFY(!isNumeric(u"-"_s));
        QCOMPARE(*toNumber(u"010"_s), 10.0);
        QCOMPARE(*toNumber(u"1,5"_s), 1.5);
        QCOMPARE(leadingNumber(u"12abc"_s), 12.0);
        QCOMPARE(leadingNumber(u"abc"_s), 0.0);
        QCOMPARE(leadingNumber(QString()), 0.0);
        QCOMPARE(leadingNumber(u"1.2"_s), 1.2);
        QCOMPARE(leadingNumber(u"1.20"_s), 1.2);
        QCOMPARE(roundHalfEven(2.5), 2);
        QCOMPARE(roundHalfEven(3.5), 4);
    }

    void settingDefaults() {
        TestEnv env;
        Settings& st = *env.settings;
        QVERIFY(st.confirmExit());
        QCOMPARE(st.tolerance(), 10.0);
        QCOMPARE(st.tries(), 100);
        QVERIFY(!st.contains(keys::LoadCities));
        st.setText(keys::ConfirmExit, u"0"_s);
        st.setText(keys::Tolerance, QString());
        st.setText(keys::Tries, u"010"_s);
        QVERIFY(!st.confirmExit());
        QCOMPARE(st.tolerance(), 0.0);
        QCOMPARE(st.tries(), 10);
        st.sync();
        auto again = Settings::openFile(env.dir.filePath(u"settings.ini"_s));
        QCOMPARE(again->text(keys::Tries), u"010"_s);
        QCOMPARE(again->text(keys::ConfirmExit), u"0"_s);
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
