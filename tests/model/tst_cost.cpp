#include "model/cost.h"
#include "model/reckoning.h"
#include "model/grouping.h"
#include "printing/printout.h"
#include "editorfixture.h"

#include <QTest>

#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCost : public QObject, MonthFixture {
    Q_OBJECT
    // One leg 1 -> 2 of 100 km on day 1 with fuel at 250 Ft from the start.
    // The month reckoned with no published list, as an own-price car is.
    MonthReckoning monthCost(float season) const {
        return reckonMonth(*s, log, Season{SeasonBox::None, season}, QVector<FuelPrice>{});
    }
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
        // Only a damaged file brings a negative price, costed on the singles in extended precision:
        // 2000 x 11.3000001907 / 100 x -119 = -26894.00045..., floored; in single precision the
        // product rounds to -26894 exactly.
        QCOMPARE(legFuelCost(2000, 11.3f, -119, 1.0f, 1.0f), -26895);
    }

    // Legs whose exact cost is whole forints, with singles stored below their decimals (1.15 is
    // 1.1499999762, 5.7 is 5.6999998): worked by hand, 10 x 7.0 / 100 x 600 x 1.15 = 483,
    // 25 x 7.0 / 100 x 640 x 1.15 = 1288, 10 x 5.7 / 100 x 600 = 342, 12.5 Ft/km x 8 km = 100.
    void wholeForintLegsAreNotCutBelow() {
        QCOMPARE(legFuelCost(10, 7.0f, 600, 1.15f, 1.0f), 483);
        QCOMPARE(legFuelCost(25, 7.0f, 640, 1.15f, 1.0f), 1288);
        QCOMPARE(legFuelCost(10, 5.7f, 600, 1.0f, 1.0f), 342);
        QCOMPARE(legGeneralCost(8, 12.5f), 100);
        // Singles written with an exponent: 0.0005 Ft/km is kept as "5e-04", 2000 km make 1 Ft and
        // 1999 km 0.9995 Ft; 1e10 is "1e+10".
        QCOMPARE((std::tuple{legGeneralCost(2000, 0.0005f), legGeneralCost(1999, 0.0005f), legGeneralCost(3, 1e10f)}),
                 (std::tuple{qint64(1), qint64(0), qint64(30000000000)}));
        QCOMPARE(legFuelCost(10, 7.0f, 600, 1.0f, 1.15f), 483); // the season factor likewise
    }

    // 1500 legs: 30 days of 50 legs round 1 -> 2 -> 3 -> 4 -> 1 (10 km at 1.15, 25 km at 1.35,
    // 40 km at 1.25, 20 km at 1.0), 7.0 l/100 km, 15 Ft/km, 600 Ft to the 15th and 640 Ft after,
    // air conditioning 1.05. The total was worked out in Python with fractions.Fraction on the
    // decimals, each leg floored: sum(floor(km*Fraction('7.0')*price*m*Fraction('1.05')/100) +
    // km*15) = 2 480 760 (the singles' own product gives 2 480 220).
    void aMonthOfFifteenHundredLegs() {
        s->car(s->currentCar).consumption = 7.0f;
        s->car(s->currentCar).generalCost = 15.0f;
        const float m[] = {1.0f, 1.15f, 1.35f, 1.25f};
        for (int t = 0; t < 4; ++t)
            s->multipliers[size_t(t)].value = m[t];
        s->distances.at(1, 2) = DistanceCell{10, 2};
        s->distances.at(2, 3) = DistanceCell{25, 3};
        s->distances.at(3, 4) = DistanceCell{40, 4};
        s->distances.at(4, 1) = DistanceCell{20, 1};
        s->fuelPrices = {FuelPrice{QDate(2025, 3, 1), 600}, FuelPrice{QDate(2025, 3, 16), 640}};
        QVector<int> round;
        for (int k = 0; k <= 50; ++k)
            round.append(k % 4 + 1);
        for (int day = 1; day <= 30; ++day)
            setDay(log, day, round);
        QCOMPARE(monthCost(1.05f).total, 2480760);
        QCOMPARE(computeStatement(*s, log, 1.05f).totalCost, 2480760);
    }

    void priceOfEachDayIsTheLastOneOnOrBefore() {
        s->distances.at(1, 2) = DistanceCell{100, 1};
        s->fuelPrices = {FuelPrice{QDate(2025, 2, 20), 100}, FuelPrice{QDate(2025, 3, 1), 200},
                         FuelPrice{QDate(2025, 3, 15), 300}, FuelPrice{QDate(2025, 4, 1), 999}};
        setDay(log, 14, {1, 2});
        setDay(log, 15, {1, 2});
        const MonthReckoning c = monthCost(1.0f);
        QCOMPARE(std::pair(c.dayPrices[13].price, c.dayPrices[14].price), std::pair(qint16(200), qint16(300)));
        QCOMPARE(c.total, (1600 + 1000) + (2400 + 1000));
    }

    // A leg before every price has no fuel cost and leaves the month doubtful; the later legs
    // are costed all the same: 100 km x 10 Ft/km on the 1st, 2000 + 1000 on the 20th.
    void aLegWithoutPriceDoubtsTheMonth() {
        s->distances.at(1, 2) = DistanceCell{100, 1};
        setDay(log, 1, {1, 2});
        setDay(log, 20, {1, 2});
        s->fuelPrices = {FuelPrice{QDate(2025, 3, 15), 250}};
        const MonthReckoning c = monthCost(1.0f);
        QCOMPARE(std::tuple(c.total, c.missingPrice, c.verdict()), std::tuple(qint64(4000), true, Verdict::Doubtful));
        QCOMPARE(costCaption(c.total), u"Összes költség: 4"_s + QChar(0x00A0) + u"000 Ft"_s);
    }

    // Groups of three from the right, a no-break space between them, the sign outside.
    void figuresInGroupsOfThree() {
        const QString nb(QChar(0x00A0));
        QCOMPARE(costCaption(197292), u"Összes költség: 197"_s + nb + u"292 Ft"_s);
        QCOMPARE((QStringList{groupedDigits(999), groupedDigits(1000), groupedDigits(-1500)}),
                 (QStringList{u"999"_s, u"1"_s + nb + u"000"_s, u"-1"_s + nb + u"500"_s}));
        QCOMPARE(groupedDigits(std::numeric_limits<qint64>::min()), u"-9 223 372 036 854 775 808"_s.replace(u' ', nb));
        // The texts shared with the command line: whole numbers only.
        QCOMPARE(groupedFigure(u"-1234567"_s), u"-1 234 567"_s.replace(u' ', nb));
        for (const QString& kept : {u"–"_s, u"-"_s, u"80,0 %"_s, u"1234,5"_s, QString()})
            QCOMPARE(groupedFigure(kept), kept);
    }

    void legsAreLookedUpInTheirDirection() {
        s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 100}};
        s->distances.at(1, 7) = DistanceCell{50, 1};
        s->distances.at(7, 1) = DistanceCell{20, 1};
        setDay(log, 5, {1, 7, 1});
        setDay(log, 6, {3}); // a single stop is no leg
        QCOMPARE(monthCost(1.0f).total, (400 + 500) + (160 + 200));
    }

    void routeTypesOutsideTheTableCountOnce() {
        QCOMPARE(std::pair(routeMultiplier(*s, 0), routeMultiplier(*s, 9)), std::pair(1.0f, 1.0f));
    }

    // A car on the flat norm takes no correction factor (the decree allows them on the type-based
    // norm only): a Budapest leg at 135 % in an air-conditioned month costs 100 km x 8 l/100 km x
    // 250 Ft = 2000 Ft fuel + 1000 Ft general; on a type-based norm 2000 x 1.35 x 1.05 = 2835.
    void flatNormTakesNoCorrection() {
        s->multipliers[1].value = 1.35f;
        s->multipliers[kAirConditioningRow].value = 1.05f;
        oneLeg(2);
        s->carFacts.norm = NormKind::Flat;
        QCOMPARE(seasonMultiplier(*s, true, false), 1.0f);
        QCOMPARE(monthCost(seasonMultiplier(*s, true, false)).total, 2000 + 1000);
        QCOMPARE(computeStatement(*s, log, seasonOf(*s, SeasonBox::AirConditioning).multiplier).totalCost, 3000);
        s->carFacts.norm = NormKind::TypeBased;
        QCOMPARE(monthCost(seasonMultiplier(*s, true, false)).total, 2835 + 1000);
    }

    void leapDayIsCounted() {
        oneLeg();
        log.year = 2028;
        log.month = 2;
        setDay(log, 1, {});
        setDay(log, 29, {1, 2});
        QCOMPARE(monthCost(1.0f).total, 3000);
        log.year = 2026; // the 29th is no day of a common year's February
        QCOMPARE(monthCost(1.0f).total, 0);
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
        QCOMPARE(monthCost(3.4e38f).total, most);
        const StatementSums sums = computeStatement(*s, log, 3.4e38f);
        QCOMPARE(std::pair(sums.totalCost, sums.cost[0]), std::pair(most, most));
        QCOMPARE(legFuelCost(1, std::numeric_limits<float>::quiet_NaN(), 1, 1, 1), 0);
        QCOMPARE(legGeneralCost(1, -3.4e38f), qint64(-1e15));
        QCOMPARE(addSaturated(-most, -most), std::numeric_limits<qint64>::min());
    }
};

QTEST_GUILESS_MAIN(TestCost)
#include "tst_cost.moc"
