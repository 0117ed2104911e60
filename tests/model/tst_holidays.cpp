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
        row(2024, {{1, 1}, {3, 15}, {3, 29}, {4, 1}, {5, 1}, {5, 20}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
        row(2025, {{1, 1}, {3, 15}, {4, 18}, {4, 21}, {5, 1}, {6, 9}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
        row(2026, {{1, 1}, {3, 15}, {4, 3}, {4, 6}, {5, 1}, {5, 25}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
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
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
