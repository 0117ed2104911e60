#include "editor/calendar.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCalendar : public QObject {
    Q_OBJECT
private slots:
    void cellsAndDates() {
        QCOMPARE(cellOfDay(2025, 6, 1), 7); // June 2025 starts on a Sunday
        QCOMPARE(dayOfCell(2025, 6, 6), 0);
        QCOMPARE(cellOfDay(2025, 3, 31), 36); // March 2025 starts on a Saturday
        QCOMPARE(dayOfCell(2025, 3, 37), 0);
        QCOMPARE(dayOfCell(2027, 2, 29), 0);
        QCOMPARE(dayOfCell(2028, 2, cellOfDay(2028, 2, 29)), 29);
        QCOMPARE(dateLabel(2002, 1, 5), u"2002. Január 5. szombat"_s);
        QCOMPARE(dateLabel(2028, 2, 29), u"2028. Február 29. kedd"_s);
        QCOMPARE(dateLabel(2026, 2, 29), QString());
    }

    void navigationWrapsAroundTheMonth_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("2026 Feb 28") << 2026 << 2 << 28 << 1 << 27;
        QTest::newRow("2026 Feb 1") << 2026 << 2 << 1 << 2 << 28;
        QTest::newRow("2028 Feb 29") << 2028 << 2 << 29 << 1 << 28;
        QTest::newRow("2028 Feb 1") << 2028 << 2 << 1 << 2 << 29;
        QTest::newRow("April 30") << 2025 << 4 << 30 << 1 << 29;
    }
    void navigationWrapsAroundTheMonth() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(nextDay(year, month, day), next);
        QCOMPARE(previousDay(year, month, day), previous);
    }
};

QTEST_GUILESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
