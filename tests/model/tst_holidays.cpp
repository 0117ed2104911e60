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
    void everyHolidayOfFourYears_data() {
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
        // Before 2017 Good Friday (25 March 2016) was a working day.
        row(2016, {{1, 1}, {3, 15}, {3, 28}, {5, 1}, {5, 16}, {8, 20}, {10, 23}, {11, 1}, {12, 25}, {12, 26}});
    }
    void everyHolidayOfFourYears() {
        QFETCH(int, year);
        QFETCH(QList<QDate>, expected);
        QCOMPARE(holidaysOf(year), expected);
    }

    void namesOfTheMovableDays() {
        QCOMPARE((std::tuple{holidayName(QDate(2026, 4, 3)), holidayName(QDate(2026, 5, 25)), holidayName(QDate(2026, 12, 31)),
                             holidayName(QDate())}),
                 (std::tuple{u"Nagypéntek"_s, u"Pünkösdhétfő"_s, QString(), QString()}));
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
