#include "editor/tripentry.h"
#include "editorfixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestTripEntry : public QObject, MonthFixture {
    Q_OBJECT
private slots:
    void init();

    void addingToAnEmptyDayGrowsTheNewTable();
    void backToBaseAddsTheCompany();
    void neverTheSamePartnerTwiceInARow();
    void returnTripGoesBackToThePreviousStop();
    void insertsBeforeTheSelectedLine();
    void withoutSelectionAppends();
    void unknownPartnersAreRefused();

    void deleteMovesLaterStopsUpAndSelectsThePreviousLine();
    void deleteShrinksToTheNextWidestDay();
    void shrinkingNeverGoesBelowOneColumn();
    void deleteWithABadSelectionDoesNothing();
    void deleteDayKeepsTheComment();

    void copyOverwrites();
    void copyAppendsAndGrows();
    void copyNeedsStopsAndTwoDifferentDays();

    void dayFieldsStayInsideTheMonth();
    void odometerText();
    void quotesAreRemovedAndTheCaretFollows();
    void distanceHint();

};

void TestTripEntry::init() { start(2025, 4); }

void TestTripEntry::addingToAnEmptyDayGrowsTheNewTable() {
    QCOMPARE(log.stopWidth, 0);
    StopEdit e = addPartner(*s, log, 3, -1, 4, TripType::OneWay);
    QVERIFY(e.changed);
    QCOMPARE(e.selected, 0);
    QCOMPARE(log.stopWidth, 1);
    QCOMPARE(dayStops(log, 3), ints({4}));
    e = addPartner(*s, log, 3, e.selected, 6, TripType::OneWay);
    QCOMPARE(e.selected, 1);
    QCOMPARE(log.stopWidth, 2);
    QCOMPARE(log.stops.columns(), 2);
    QCOMPARE(dayStops(log, 3), ints({4, 6}));
    QVERIFY(log.modified);
    // Another day still fits into the same width without growing.
    addPartner(*s, log, 31, -1, 2, TripType::OneWay);
    QCOMPARE(log.stopWidth, 2);
    QCOMPARE(dayStops(log, 31), ints({2}));
}

void TestTripEntry::backToBaseAddsTheCompany() {
    const StopEdit e = addPartner(*s, log, 1, -1, 7, TripType::BackToBase);
    QCOMPARE(dayStops(log, 1), ints({7, 1}));
    QCOMPARE(e.selected, 1);
    QCOMPARE(log.stopWidth, 2);
}

void TestTripEntry::neverTheSamePartnerTwiceInARow() {
    setDay(log, 1, {1, 7});
    for (TripType type : {TripType::OneWay, TripType::ReturnTrip, TripType::BackToBase}) {
        const StopEdit e = addPartner(*s, log, 1, 1, 7, type);
        QVERIFY(!e.changed);
        QCOMPARE(dayStops(log, 1), ints({1, 7}));
    }
    QVERIFY(!log.modified);
    // Before a line: neither the selected stop nor the one above it may be the partner.
    setDay(log, 2, {1, 7, 9});
    QVERIFY(!insertStop(log, 2, 1, 7).changed);
    QVERIFY(!insertStop(log, 2, 1, 1).changed);
    QVERIFY(!insertStop(log, 2, 0, 1).changed);
    QCOMPARE(dayStops(log, 2), ints({1, 7, 9}));
    // Back to the company after a stop at the company adds nothing more.
    setDay(log, 3, {5});
    addPartner(*s, log, 3, 0, 1, TripType::BackToBase);
    QCOMPARE(dayStops(log, 3), ints({5, 1}));
}

void TestTripEntry::returnTripGoesBackToThePreviousStop() {
    setDay(log, 1, {1, 7});
    const StopEdit e = addPartner(*s, log, 1, 1, 9, TripType::ReturnTrip);
    QCOMPARE(dayStops(log, 1), ints({1, 7, 9, 7}));
    QCOMPARE(e.selected, 3);
    QCOMPARE(log.stopWidth, 4);
    // On an empty day there is nothing to return to.
    addPartner(*s, log, 2, -1, 9, TripType::ReturnTrip);
    QCOMPARE(dayStops(log, 2), ints({9}));
}

void TestTripEntry::insertsBeforeTheSelectedLine() {
    setDay(log, 1, {1, 7, 9});
    StopEdit e = addPartner(*s, log, 1, 0, 5, TripType::OneWay);
    QVERIFY(e.changed);
    QCOMPARE(e.selected, 0);
    QCOMPARE(dayStops(log, 1), ints({5, 1, 7, 9}));
    QCOMPARE(log.stopWidth, 4);
    e = addPartner(*s, log, 1, 2, 3, TripType::OneWay);
    QCOMPARE(dayStops(log, 1), ints({5, 1, 3, 7, 9}));
    QCOMPARE(e.selected, 2);
    // The last line selected: the partner goes to the end.
    e = addPartner(*s, log, 1, 4, 5, TripType::OneWay);
    QCOMPARE(dayStops(log, 1), ints({5, 1, 3, 7, 9, 5}));
    QCOMPARE(e.selected, 5);
}

void TestTripEntry::withoutSelectionAppends() {
    setDay(log, 1, {1, 7});
    const StopEdit e = insertStop(log, 1, -1, 3);
    QVERIFY(e.changed);
    QCOMPARE(dayStops(log, 1), ints({1, 7, 3}));
    QCOMPARE(e.selected, 2);
}

void TestTripEntry::unknownPartnersAreRefused() {
    QVERIFY(!addPartner(*s, log, 1, -1, 0, TripType::OneWay).changed);
    QVERIFY(!addPartner(*s, log, 1, -1, 10, TripType::OneWay).changed);
    QVERIFY(!addPartner(*s, log, 0, -1, 2, TripType::OneWay).changed);
    QVERIFY(!addPartner(*s, log, 32, -1, 2, TripType::OneWay).changed);
    QCOMPARE(log.stopWidth, 0);
    QVERIFY(!log.modified);
}

void TestTripEntry::deleteMovesLaterStopsUpAndSelectsThePreviousLine() {
    setDay(log, 1, {1, 7, 9, 1});
    StopEdit e = deleteStop(log, 1, 1);
    QVERIFY(e.changed);
    QCOMPARE(dayStops(log, 1), ints({1, 9, 1}));
    QCOMPARE(e.selected, 0);
    QCOMPARE(log.stopWidth, 3);
    e = deleteStop(log, 1, 0);
    QCOMPARE(dayStops(log, 1), ints({9, 1}));
    QCOMPARE(e.selected, 0);
    e = deleteStop(log, 1, 1);
    QCOMPARE(dayStops(log, 1), ints({9}));
    QCOMPARE(e.selected, 0);
    e = deleteStop(log, 1, 0);
    QCOMPARE(dayStops(log, 1), ints({}));
    QCOMPARE(e.selected, -1);
    QVERIFY(log.modified);
}

void TestTripEntry::deleteShrinksToTheNextWidestDay() {
    setDay(log, 5, {1, 2, 3, 4, 5});
    setDay(log, 9, {1, 2, 1});
    setDay(log, 20, {6, 7});
    QCOMPARE(log.stopWidth, 5);
    deleteStop(log, 5, 4);
    QCOMPARE(log.stopWidth, 4);
    QVERIFY(deleteDay(log, 5));
    QCOMPARE(log.stopWidth, 3);
    QCOMPARE(log.stops.columns(), 3);
    QCOMPARE(dayStops(log, 9), ints({1, 2, 1}));
    QCOMPARE(dayStops(log, 20), ints({6, 7}));
}

void TestTripEntry::shrinkingNeverGoesBelowOneColumn() {
    setDay(log, 2, {4});
    deleteStop(log, 2, 0);
    QCOMPARE(log.stopWidth, 1);
    QCOMPARE(log.stops.columns(), 1);
    QCOMPARE(dayStopCount(log, 2), 0);
    // A month that never had a stop keeps its width of 0.
    MonthLog fresh;
    shrinkStops(fresh);
    QCOMPARE(fresh.stopWidth, 0);
}

void TestTripEntry::deleteWithABadSelectionDoesNothing() {
    setDay(log, 1, {1, 7});
    log.modified = false;
    QVERIFY(!deleteStop(log, 1, -1).changed);
    QVERIFY(!deleteStop(log, 1, 2).changed);
    QVERIFY(!deleteStop(log, 40, 0).changed);
    QCOMPARE(dayStops(log, 1), ints({1, 7}));
    QVERIFY(!log.modified);
}

void TestTripEntry::deleteDayKeepsTheComment() {
    setDay(log, 4, {1, 7, 1});
    log.comments[3] = u"Szerviz"_s;
    QVERIFY(deleteDay(log, 4));
    QCOMPARE(dayStopCount(log, 4), 0);
    QCOMPARE(log.comments[3], u"Szerviz"_s);
    QCOMPARE(log.stopWidth, 1);
}

void TestTripEntry::copyOverwrites() {
    setDay(log, 3, {1, 5});
    setDay(log, 4, {1, 7, 9, 1});
    QVERIFY(copyDay(log, 3, 4, false));
    QCOMPARE(dayStops(log, 4), ints({1, 5}));
    QCOMPARE(dayStops(log, 3), ints({1, 5}));
    QVERIFY(log.modified);
}

void TestTripEntry::copyAppendsAndGrows() {
    setDay(log, 3, {1, 5, 1});
    setDay(log, 4, {2, 1});
    QVERIFY(copyDay(log, 3, 4, true));
    QCOMPARE(dayStops(log, 4), ints({2, 1, 1, 5, 1}));
    QCOMPARE(log.stopWidth, 5);
    QCOMPARE(log.stops.columns(), 5);
    // Appending onto an empty day is a plain copy.
    QVERIFY(copyDay(log, 3, 10, true));
    QCOMPARE(dayStops(log, 10), ints({1, 5, 1}));
}

void TestTripEntry::copyNeedsStopsAndTwoDifferentDays() {
    setDay(log, 3, {1, 5});
    QCOMPARE(copyDays(log, 3, u"3"_s, u"4"_s), std::optional(std::pair{3, 4}));
    QCOMPARE(copyDays(log, 2, u"3"_s, u"4"_s), std::nullopt); // the current day has no stop
    QCOMPARE(copyDays(log, 3, u"3"_s, u"3"_s), std::nullopt);
    QCOMPARE(copyDays(log, 3, u"3"_s, u"03"_s), std::nullopt);
    QCOMPARE(copyDays(log, 3, u""_s, u"4"_s), std::nullopt);
    QCOMPARE(copyDays(log, 3, u"3"_s, u""_s), std::nullopt);
    QCOMPARE(copyDays(log, 3, u"3"_s, u"x"_s), std::nullopt);
    QCOMPARE(copyDays(log, 3, u"3"_s, u"45"_s), std::nullopt);
    QVERIFY(!copyDay(log, 3, 3, true));
    QVERIFY(!copyDay(log, 3, 0, false));
    QCOMPARE(dayStops(log, 3), ints({1, 5}));
}

void TestTripEntry::dayFieldsStayInsideTheMonth() {
    QCOMPARE(filterDayField(u"40"_s, u"4"_s, 30), u"30"_s);
    QCOMPARE(filterDayField(u"0"_s, u""_s, 30), u"1"_s);
    QCOMPARE(filterDayField(u"-3"_s, u"5"_s, 30), u"1"_s);
    QCOMPARE(filterDayField(u"1a"_s, u"1"_s, 30), u"1"_s);
    QCOMPARE(filterDayField(u"-"_s, u"12"_s, 30), u"12"_s);
    QCOMPARE(filterDayField(u""_s, u"12"_s, 30), u""_s);
    QCOMPARE(filterDayField(u"17"_s, u"1"_s, 30), u"17"_s);
    QCOMPARE(filterDayField(u"2.5"_s, u"2"_s, 30), u"2"_s);
    QCOMPARE(filterDayField(u"30"_s, u"3"_s, daysInMonth(2026, 2)), u"28"_s);
    QCOMPARE(filterDayField(u"30"_s, u"3"_s, daysInMonth(2028, 2)), u"29"_s);
}

void TestTripEntry::odometerText() {
    QCOMPARE(odometerFromText(u""_s), std::optional<qint32>(0));
    QCOMPARE(odometerFromText(u"123456"_s), std::optional<qint32>(123456));
    QCOMPARE(odometerFromText(u"12,4"_s), std::optional<qint32>(12));
    QCOMPARE(odometerFromText(u"12.6"_s), std::optional<qint32>(13));
    QCOMPARE(odometerFromText(u"12 km"_s), std::nullopt);
    QCOMPARE(odometerFromText(u"1e12"_s), std::nullopt); // beyond a 32-bit odometer
}

void TestTripEntry::quotesAreRemovedAndTheCaretFollows() {
    int caret = 7;
    QCOMPARE(removeQuotes(u"a\"b\"cd\"ef\""_s, &caret), u"abcdef"_s);
    QCOMPARE(caret, 4);
    QCOMPARE(removeQuotes(u"nincs"_s), u"nincs"_s);
    QCOMPARE(commentQuoteMessage(), u"Az idézőjel (\") sajnos nem megengedett a megjegyzésekben."_s);
}

void TestTripEntry::distanceHint() {
    s->distances.at(2, 5) = DistanceCell{25, 2};
    QCOMPARE(rv::distanceHint(*s, 2, 5), u"Távolságuk 25 km, Budapest"_s);
    QCOMPARE(rv::distanceHint(*s, 5, 2), u"Távolságuk 70 km, Közút"_s);
    QCOMPARE(rv::distanceHint(*s, 5, 5), u"-"_s);
    QCOMPARE(rv::distanceHint(*s, 0, 5), u"-"_s);
    QCOMPARE(rv::distanceHint(*s, 2, 12), u"-"_s);
}

QTEST_GUILESS_MAIN(TestTripEntry)
#include "tst_tripentry.moc"
