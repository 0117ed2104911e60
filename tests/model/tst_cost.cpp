#include "model/cost.h"
#include "printing/printout.h"
#include "editorfixture.h"

#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCost : public QObject, MonthFixture {
    Q_OBJECT
    // One leg 1 -> 2 of 100 km on day 1 with fuel at 250 Ft from the start.
    void oneLeg(int routeType = 1) {
        s->distances.at(1, 2) = DistanceCell{100, qint16(routeType)};
        s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 250}};
        setDay(log, 1, {1, 2});
    }

private slots:
    void init() { start(2025, 3); }

    void legFormula() {
        QCOMPARE(legFuelCost(100, 8.0f, 250, 1.0f, 1.0f), 2000);
        QCOMPARE(legGeneralCost(100, 10.0f), 1000);
        QCOMPARE(legFuelCost(1, 100.0f, 1, 1234.99f, 1.0f), 1234); // floor, not rounding
        // Each part is floored on its own: 937.10… + 412.5 would round to 1350.
        QCOMPARE(legFuelCost(33, 7.3f, 389, 1.0f, 1.0f) + legGeneralCost(33, 12.5f), 937 + 412);
        QCOMPARE(legFuelCost(0, 8.0f, 250, 1.3f, 1.1f), 0);
        oneLeg(); // the month adds what the leg function gives
        QCOMPARE(legCost(*s, 1, 2, 250, 1.0f), 3000);
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 3000);
    }

    void priceOfEachDayIsTheLastOneOnOrBefore() {
        s->distances.at(1, 2) = DistanceCell{100, 1};
        s->fuelPrices = {FuelPrice{QDate(2025, 2, 20), 100}, FuelPrice{QDate(2025, 3, 1), 200},
                         FuelPrice{QDate(2025, 3, 15), 300}, FuelPrice{QDate(2025, 4, 1), 999}};
        setDay(log, 14, {1, 2});
        setDay(log, 15, {1, 2});
        const MonthCost c = computeMonthCost(*s, log, 1.0f);
        QCOMPARE(c.dayPrices[13], 200);
        QCOMPARE(c.dayPrices[14], 300);
        QCOMPARE(c.total, (1600 + 1000) + (2400 + 1000));
    }

    void noPriceOnADayStopsTheMonth() {
        s->distances.at(1, 2) = DistanceCell{100, 1};
        setDay(log, 1, {1, 2});
        setDay(log, 20, {1, 2});
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
        s->fuelPrices = {FuelPrice{QDate(2025, 3, 15), 250}};
        const MonthCost c = computeMonthCost(*s, log, 1.0f);
        QCOMPARE(c.total, 0); // day 1 has no price, so day 20 is never reached
        QVERIFY(c.missingPrice);
        QCOMPARE(costCaption(c.total), u"Összes költség: 0 Ft"_s);
    }

    void legsAreLookedUpInTheirDirection() {
        s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 100}};
        s->distances.at(1, 7) = DistanceCell{50, 1};
        s->distances.at(7, 1) = DistanceCell{20, 1};
        setDay(log, 5, {1, 7, 1});
        setDay(log, 6, {3}); // a single stop is no leg
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, (400 + 500) + (160 + 200));
    }

    void multipliers() {
        s->multipliers[kAirConditioningRow].value = 1.05f;
        QCOMPARE(rv::seasonMultiplier(*s, true, false), 1.05f);
        oneLeg();
        // 1.05 in single precision is a hair below, and the floor shows it.
        QCOMPARE(computeMonthCost(*s, log, 1.05f).total, 2099 + 1000);
        s->multipliers[1].value = 1.2f; // route type 2, Budapest
        oneLeg(2);
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 2400 + 1000);
        QCOMPARE(routeMultiplier(*s, 0), 1.0f);
        QCOMPARE(routeMultiplier(*s, 9), 1.0f);
    }

    void leapDayIsCounted() {
        oneLeg();
        log.year = 2028;
        log.month = 2;
        setDay(log, 1, {});
        setDay(log, 29, {1, 2});
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 3000);
        log.year = 2026; // the 29th is no day of a common year's February
        QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
    }

    // Whatever is in memory, sums saturate: the month cost, the statement and the kilometres.
    void sumsDoNotWrap() {
        s->distances.at(1, 2) = s->distances.at(2, 1) = DistanceCell{32767, 1};
        const int width = 2200;
        log.stops.reset(width);
        log.stopWidth = width;
        for (int day = 1; day <= kLogDays; ++day)
            for (int k = 1; k <= width; ++k)
                log.stops.at(day, k) = qint16(k % 2 ? 1 : 2);
        const qint64 expected = qint64(kLogDays) * (width - 1) * 32767;
        QVERIFY(expected > std::numeric_limits<qint32>::max());
        QCOMPARE(refreshKilometres(*s, log), expected);
        QCOMPARE(log.monthKm, std::numeric_limits<qint32>::max());

        constexpr qint64 most = std::numeric_limits<qint64>::max();
        s->car(s->currentCar).consumption = 3.4e38f;
        s->car(s->currentCar).generalCost = 3.4e38f;
        s->multipliers[0].value = 3.4e38f;
        s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 32767}};
        QCOMPARE(computeMonthCost(*s, log, 3.4e38f).total, most);
        const StatementSums sums = computeStatement(*s, log, 3.4e38f);
        QCOMPARE(sums.totalCost, most);
        QCOMPARE(sums.cost[0], most);
        QCOMPARE(legFuelCost(1, std::numeric_limits<float>::quiet_NaN(), 1, 1, 1), 0);
        QCOMPARE(legGeneralCost(1, -3.4e38f), qint64(-1e15));
        QCOMPARE(addSaturated(-most, -most), std::numeric_limits<qint64>::min());
    }
};

QTEST_GUILESS_MAIN(TestCost)
#include "tst_cost.moc"
