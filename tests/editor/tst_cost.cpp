#include "editor/cost.h"
#include "editorfixture.h"

#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCost : public QObject, MonthFixture {
    Q_OBJECT
private slots:
    void init();
    void workedExample();
    void eachPartIsRoundedDownOnItsOwn();
    void monthOfOneLegMatchesTheLegFunction();
    void priceOfEachDayIsTheLastOneOnOrBefore();
    void stopsAtTheFirstDayWithoutPrice();
    void noPriceBeforeTheFirstDay();
    void legsAreLookedUpInTheirDirection();
    void singleStopsAndZeroLegsCostNothing();
    void seasonMultiplier();
    void routeMultiplierOfTheLeg();
    void leapDayIsCounted();
    void kilometres();
    void monthKilometresDoNotWrap();

};

void TestCost::init() { start(2025, 3); }

void TestCost::workedExample() {
    QCOMPARE(legFuelCost(100, 8.0f, 250, 1.0f, 1.0f), 2000);
    QCOMPARE(legGeneralCost(100, 10.0f), 1000);
}

void TestCost::eachPartIsRoundedDownOnItsOwn() {
    QCOMPARE(legFuelCost(1, 100.0f, 1, 1234.99f, 1.0f), 1234);
    QCOMPARE(legGeneralCost(3, 0.999f), 2);
    // 33 km at 7.3 l and 389 Ft: 937.101…; 33 km at 12.5 Ft: 412.5. Rounding the sum would give 1350.
    QCOMPARE(legFuelCost(33, 7.3f, 389, 1.0f, 1.0f) + legGeneralCost(33, 12.5f), 937 + 412);
    QCOMPARE(legFuelCost(0, 8.0f, 250, 1.3f, 1.1f), 0);
}

void TestCost::monthOfOneLegMatchesTheLegFunction() {
    s->distances.at(1, 2) = DistanceCell{100, 1};
    s->fuelPrices = {FuelPrice{QDate(2025, 3, 1), 250}};
    setDay(log, 10, {1, 2});
    const MonthCost c = computeMonthCost(*s, log, 1.0f);
    QCOMPARE(c.total, 3000);
    QCOMPARE(legCost(*s, 1, 2, 250, 1.0f), 3000);
    QVERIFY(!c.missingPrice);
    QCOMPARE(c.lastDay, 31);
}

void TestCost::priceOfEachDayIsTheLastOneOnOrBefore() {
    s->distances.at(1, 2) = DistanceCell{100, 1};
    s->fuelPrices = {FuelPrice{QDate(2025, 2, 20), 100}, FuelPrice{QDate(2025, 3, 1), 200},
                     FuelPrice{QDate(2025, 3, 15), 300}, FuelPrice{QDate(2025, 4, 1), 999}};
    setDay(log, 14, {1, 2});
    setDay(log, 15, {1, 2});
    const MonthCost c = computeMonthCost(*s, log, 1.0f);
    QCOMPARE(c.dayPrices[0], 200);
    QCOMPARE(c.dayPrices[13], 200);
    QCOMPARE(c.dayPrices[14], 300);
    QCOMPARE(c.dayPrices[30], 300);
    // 8 l at 200 and at 300, plus 1000 Ft general cost each.
    QCOMPARE(c.total, (1600 + 1000) + (2400 + 1000));
    QCOMPARE(fuelPriceOn(*s, QDate(2025, 2, 28)), std::optional<qint16>(100));
    QCOMPARE(fuelPriceOn(*s, QDate(2025, 2, 19)), std::nullopt);
}

void TestCost::stopsAtTheFirstDayWithoutPrice() {
    s->distances.at(1, 2) = DistanceCell{100, 1};
    s->fuelPrices = {FuelPrice{QDate(2025, 3, 15), 250}};
    setDay(log, 1, {1, 2});
    setDay(log, 20, {1, 2});
    const MonthCost c = computeMonthCost(*s, log, 1.0f);
    QCOMPARE(c.total, 0); // day 1 has no price, so day 20 is never reached
    QVERIFY(c.missingPrice);
    QCOMPARE(c.lastDay, 0);
}

void TestCost::noPriceBeforeTheFirstDay() {
    setDay(log, 3, {1, 2});
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
    s->fuelPrices = {FuelPrice{QDate(2025, 4, 1), 250}};
    const MonthCost c = computeMonthCost(*s, log, 1.0f);
    QCOMPARE(c.total, 0);
    QVERIFY(c.missingPrice);
    QCOMPARE(costCaption(c.total), u"Összes költség: 0 Ft"_s);
}

void TestCost::legsAreLookedUpInTheirDirection() {
    s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 100}};
    s->distances.at(1, 7) = DistanceCell{50, 1};
    s->distances.at(7, 1) = DistanceCell{20, 1};
    setDay(log, 5, {1, 7, 1});
    // 50 km: 400 + 500; 20 km: 160 + 200.
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 900 + 360);
}

void TestCost::singleStopsAndZeroLegsCostNothing() {
    s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 100}};
    setDay(log, 5, {3});
    setDay(log, 6, {1});
    QCOMPARE(log.stopWidth, 1);
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
    s->distances.at(2, 3) = DistanceCell{0, 1};
    setDay(log, 7, {2, 3});
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
}

void TestCost::seasonMultiplier() {
    s->multipliers[kAirConditioningRow].value = 1.05f;
    s->multipliers[kWinterRow].value = 1.03f;
    QCOMPARE(rv::seasonMultiplier(*s, true, false), 1.05f);
    QCOMPARE(rv::seasonMultiplier(*s, false, true), 1.03f);
    QCOMPARE(rv::seasonMultiplier(*s, false, false), 1.0f);
    s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 250}};
    s->distances.at(1, 2) = DistanceCell{100, 1};
    setDay(log, 1, {1, 2});
    // 1.05 and 1.03 in single precision are a hair below, and the floor shows it: 2099.99… gives 2099.
    QCOMPARE(computeMonthCost(*s, log, 1.05f).total, 2099 + 1000);
    QCOMPARE(computeMonthCost(*s, log, 1.03f).total, 2059 + 1000);
}

void TestCost::routeMultiplierOfTheLeg() {
    s->multipliers[1].value = 1.2f; // Budapest
    s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 250}};
    s->distances.at(1, 2) = DistanceCell{100, 2};
    setDay(log, 1, {1, 2});
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 2400 + 1000);
    QCOMPARE(routeMultiplier(*s, 0), 1.0f);
    QCOMPARE(routeMultiplier(*s, 9), 1.0f);
}

void TestCost::leapDayIsCounted() {
    s->fuelPrices = {FuelPrice{QDate(2028, 2, 1), 250}};
    s->distances.at(1, 2) = DistanceCell{100, 1};
    log.year = 2028;
    log.month = 2;
    setDay(log, 29, {1, 2});
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 3000);
    // Not in a common year: the 29th is no day of the month there.
    log.year = 2026;
    s->fuelPrices = {FuelPrice{QDate(2026, 2, 1), 250}};
    QCOMPARE(computeMonthCost(*s, log, 1.0f).total, 0);
}

void TestCost::kilometres() {
    setDay(log, 1, {1, 7, 1});    // 80 + 80
    setDay(log, 2, {2});          // no leg
    setDay(log, 31, {3, 4});      // 70
    QCOMPARE(refreshKilometres(*s, log), 230);
    QCOMPARE(log.dayKm[0], 160);
    QCOMPARE(log.dayKm[1], 0);
    QCOMPARE(log.dayKm[30], 70);
    QCOMPARE(log.monthKm, 230);
}

void TestCost::monthKilometresDoNotWrap() {
    s->distances.at(1, 2) = DistanceCell{32767, 1};
    s->distances.at(2, 1) = DistanceCell{32767, 1};
    const int width = 2200;
    log.stops.reset(width);
    log.stopWidth = width;
    for (int day = 1; day <= kLogDays; ++day)
        for (int k = 1; k <= width; ++k)
            log.stops.at(day, k) = qint16(k % 2 ? 1 : 2);
    const qint64 expected = qint64(kLogDays) * (width - 1) * 32767;
    QVERIFY(expected > std::numeric_limits<qint32>::max());
    QCOMPARE(refreshKilometres(*s, log), expected);
    QCOMPARE(log.dayKm[0], (width - 1) * 32767);
    QCOMPARE(log.monthKm, std::numeric_limits<qint32>::max());
}

QTEST_GUILESS_MAIN(TestCost)
#include "tst_cost.moc"
