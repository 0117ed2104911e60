#pragma once

#include "model/monthlog.h"
#include "model/reckoning.h"
#include "storage/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace rv {

struct AppState;
class Canvas;
struct Twin;

// The employee a travel order (kiküldetési rendelvény) is made out to.
struct TravelPerson {
    QString name;
    QString taxId; // empty: not given
};
// The logged-in car's driver.
TravelPerson travelPerson(const AppState& s);

// One leg of a trip day, costed as the statement costs it.
struct TravelLeg {
    int from = 0;
    int to = 0;
    int km = 0;
    float multiplier = 1.0f; // of the route type; the season's is the order's
    qint64 fuelCost = 0;
    qint64 generalCost = 0;
};

struct TravelDay {
    int day = 0;
    int price = 0; // on the day, per litre (kilogram for CNG)
    QString priceOrigin; // "NAV, 2022. március", "saját ár, 2026.02.03." ...
    QStringList towns; // the route in order, a town driven through twice in a row named once
    QString purpose;   // the day's comment
    QVector<TravelLeg> legs;
    qint64 km = 0;
    qint64 fuelCost = 0;
    qint64 generalCost = 0;
    qint64 total() const { return fuelCost + generalCost; }
};

struct TravelOrder {
    QVector<TravelDay> days; // the days with a leg, in order
    bool missingPrice = false; // a trip day before every fuel price: nothing may be printed
    FuelMeasure measure = FuelMeasure::Litre;
    QStringList doubts; // what makes the month's cost doubtful, said on the summary page
    qint64 km = 0;
    qint64 fuelCost = 0;
    qint64 generalCost = 0;
    qint64 total() const { return fuelCost + generalCost; }
};

// The trip days of the month's reckoning.
TravelOrder travelOrderOf(const AppState& s, const MonthLog& log, const MonthReckoning& r);
TravelOrder computeTravelOrder(const AppState& s, const MonthLog& log, float season);

// Whether the order has a page for the day of the month.
bool travelOrderHasDay(const TravelOrder& order, int day);
// The refusal of a one-day travel order for a day without a trip.
QString noTripOnDayMessage(const MonthLog& log, int day);


// Lays out one page (or more for a long day) per trip day and the month's summary page; with
// onlyDay, that day's pages alone. Returns the number of pages.
int layoutTravelOrder(Canvas& canvas, const AppState& s, const MonthLog& log, const TravelOrder& order,
                      const TravelPerson& person, float season, const Twin& twin, int onlyDay = 0);

} // namespace rv
