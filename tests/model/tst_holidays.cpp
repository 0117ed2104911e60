#include "model/holidays.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestHolidays : public QObject {
    Q_OBJECT

    static QList<QDate> holidaysOf(int year) {
        QList<QDate> found;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1))
            if (isPublicHoliday(d))
                found << d;
        return found;
    }

private slots:
    // Easter: 31 March 2024, 20 April 2025, 5 April 2026, 28 March 2027.
    void everyHolidayOfAYear_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QList<QDate>>("expected");
        const auto row = [](int y, QList<std::pair<int, int>> days) {
            QList<QDate> out;
            for (auto [m, d] : days)
                out << QDate(y, m, d);
            QTest::addRow("%d", y) << y << out;
        };
        // With the rest days of the yearly decrees (15/2023. GFM, 11/2024. NGM, 10/2025. NGM).
        row(2024, {{1, 1}, {3, 15}, {3, 29}, {4, 1}, {5, 1}, {5, 20}, {8, 19}, {8, 20}, {10, 23}, {11, 1}, {12, 24},
                   {12, 25}, {12, 26}, {12, 27}});
        row(2025, {{1, 1}, {3, 15}, {4, 18}, {4, 21}, {5, 1}, {5, 2}, {6, 9}, {8, 20}, {10, 23}, {10, 24}, {11, 1},
                   {12, 24}, {12, 25}, {12, 26}});
        row(2026, {{1, 1}, {1, 2}, {3, 15}, {4, 3}, {4, 6}, {5, 1}, {5, 25}, {8, 20}, {8, 21}, {10, 23}, {11, 1},
                   {12, 24}, {12, 25}, {12, 26}});
        row(2027, {{1, 1}, {3, 15}, {3, 26}, {3, 29}, {5, 1}, {5, 17}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
        // Good Friday is a holiday from 2017 (14 April; Easter 16 April), before that (25 March 2016)
        // a working day.
        row(2017, {{1, 1}, {3, 15}, {4, 14}, {4, 17}, {5, 1}, {6, 5}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
        row(2016, {{1, 1}, {3, 15}, {3, 28}, {5, 1}, {5, 16}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
    }
    void everyHolidayOfAYear() {
        QFETCH(int, year);
        QFETCH(QList<QDate>, expected);
        QCOMPARE(holidaysOf(year), expected);
    }

    void namesOfTheMovableDays() {
        QCOMPARE((std::tuple{holidayName(QDate(2026, 4, 3)), holidayName(QDate(2026, 5, 25)), holidayName(QDate(2026, 12, 31)),
                             holidayName(QDate())}),
                 (std::tuple{u"Nagypéntek"_s, u"Pünkösdhétfő"_s, QString(), QString()}));
        // All Saints' Day from 2000 on.
        QCOMPARE(std::pair(holidayName(QDate(2000, 11, 1)), holidayName(QDate(1999, 11, 1))), std::pair(u"Mindenszentek"_s, QString()));
        QCOMPARE(holidayName(QDate(2026, 12, 24)), u"Pihenőnap"_s);
    }

    // The days nobody works in December 2025 and 2026, and the working Saturdays of the two
    // years, written out by hand from the decrees.
    void theCalendarOf2025And2026() {
        installSwappedDays({});
        const auto offDays = [](int year, int month) {
            QList<int> off;
            for (QDate d(year, month, 1); d.month() == month; d = d.addDays(1))
                if (isDayOff(d))
                    off << d.day();
            return off;
        };
        QCOMPARE(offDays(2025, 12), (QList<int>{6, 7, 14, 20, 21, 24, 25, 26, 27, 28}));
        QCOMPARE(offDays(2026, 12), (QList<int>{5, 6, 13, 19, 20, 24, 25, 26, 27}));
        QCOMPARE(offDays(2026, 1), (QList<int>{1, 2, 3, 4, 11, 17, 18, 24, 25, 31}));
        QList<QDate> workingSaturdays;
        for (QDate d(2025, 1, 1); d.year() <= 2026; d = d.addDays(1))
            if (d.dayOfWeek() == 6 && !isDayOff(d))
                workingSaturdays << d;
        QCOMPARE(workingSaturdays, (QList<QDate>{QDate(2025, 5, 17), QDate(2025, 10, 18), QDate(2025, 12, 13),
                                                 QDate(2026, 1, 10), QDate(2026, 8, 8), QDate(2026, 12, 12)}));
        // A working Saturday is the weekday it is worked for: 2 January 2026 was a Friday.
        QCOMPARE((std::tuple{workingWeekday(QDate(2026, 1, 10)), workingWeekday(QDate(2026, 1, 17)),
                             workingWeekday(QDate(2025, 5, 17))}),
                 (std::tuple{5, 6, 5}));
    }

    // The user's rows go over the shipped ones; a law's holiday (24 December) is a row too.
    void theUsersRows() {
        QVector<SwappedDay> rows;
        QVERIFY(parseSwappedDays("# megjegyzes\ndatum\tnap\thelyett\tforras\r\n"
                                 "2027-12-24\tmunkaszüneti nap\t\tpróba törvény\n"
                                 "2026-12-12\tpihenőnap\t\tpróba\n",
                                 u"f"_s, rows));
        installSwappedDays(rows);
        QCOMPARE((std::tuple{isPublicHoliday(QDate(2027, 12, 24)), holidayName(QDate(2027, 12, 24)),
                             isDayOff(QDate(2026, 12, 12)), isDayOff(QDate(2026, 1, 10))}),
                 (std::tuple{true, u"Szenteste"_s, true, false}));
        // Written and read back the same.
        QVector<SwappedDay> again;
        QVERIFY(parseSwappedDays(serializeSwappedDays(swappedDays()), u"f"_s, again));
        QCOMPARE(again.size(), swappedDays().size());
        QCOMPARE((std::tuple{again.last().date, again.last().source}), (std::tuple{QDate(2027, 12, 24), u"próba törvény"_s}));
        installSwappedDays({});
        QVERIFY(!isDayOff(QDate(2026, 12, 12)));
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("message");
        const QByteArray head = "datum\tnap\thelyett\tforras\n";
        QTest::newRow("header") << QByteArray("date\tkind\n") << u"1. sora hibás: a fejléc"_s;
        QTest::newRow("date") << head + "2026-13-01\tpihenőnap\t\tx\n" << u"2. sora hibás: a dátum („2026-13-01”)"_s;
        QTest::newRow("kind") << head + "2026-12-24\tszabadnap\t\tx\n" << u"2. sora hibás: a nap („szabadnap”)"_s;
        QTest::newRow("working day alone") << head + "2026-12-12\tmunkanap\t\tx\n" << u"melyik pihenőnap helyett"_s;
        QTest::newRow("no source") << head + "2026-12-24\tpihenőnap\t\t \n" << u"hiányzik a forrás"_s;
        QTest::newRow("twice") << head + "2026-12-24\tpihenőnap\t\tx\n2026-12-24\tpihenőnap\t\tx\n"
                               << u"3. sora hibás: a(z) 2026-12-24 már szerepelt"_s;
    }
    void refusals() {
        QFETCH(QByteArray, table);
        QFETCH(QString, message);
        QVector<SwappedDay> rows{SwappedDay{}};
        const Result r = parseSwappedDays(table, u"f"_s, rows);
        QVERIFY2(!r && r.message().contains(message), qPrintable(r.message()));
        QCOMPARE(rows.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
