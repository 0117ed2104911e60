#pragma once

#include "model/monthlog.h"

#include <QDate>

#include <array>
#include <optional>

namespace rv {

struct AppState;

// The season multiplier: air conditioning, else winter operation, else 1; always 1 for a car on
// the flat norm, which takes no correction factor.
float seasonMultiplier(const AppState& s, bool airConditioning, bool winter);

// The box and the multiplier it gives. The box is kept beside the value because two rows of the
// multiplier table may hold the same number, and a ticked box of 1.0 still names itself.
struct Season {
    SeasonBox box = SeasonBox::None;
    float multiplier = 1.0f;
};
Season seasonOf(const AppState& s, bool airConditioning, bool winter);
Season seasonOf(const AppState& s, SeasonBox box);

// The price of the last entry dated on or before the day (entries in ascending order).
std::optional<qint16> fuelPriceOn(const AppState& s, const QDate& day);

// Multiplier of a route type 1..8 (rows of the multiplier table); 1 for anything else and for a
// car on the flat norm.
float routeMultiplier(const AppState& s, int routeType);

// Cost of one leg, each part rounded down to whole forints on its own.
qint64 legFuelCost(int km, float consumption, int price, float multiplier, float season);
qint64 legGeneralCost(int km, float generalCost);
// Sums of costs stop at the ends of qint64 instead of wrapping.
qint64 addSaturated(qint64 a, qint64 b);


// Kilometres driven at one route multiplier.
struct KmAtMultiplier {
    float multiplier = 1.0f;
    qint64 km = 0;
};
// Fuel used, consumption / 100 * season * sum of km * multiplier, in tenths of a litre cut (not
// rounded). Each single counts as the decimal it is shown as and the sum is exact, so a 10 km leg
// at 7.0 l/100 km is 0.7 L: a single-precision total lies just below such tenths.
qint64 fuelTenthsCut(float consumption, float season, const QVector<KmAtMultiplier>& legs);

// "Összes költség: " + total + " Ft".
QString costCaption(qint64 total);

// Why the cost stops before the first day of a month that has no price: the month whose NAV
// price is missing, and where to add or import it.
QString missingPriceText(int year, int month);

// Kilometres of each day and of the month (its real days) from the stops and the distance matrix. Sums are
// taken wide; the stored values saturate instead of wrapping. Returns the month's kilometres.
qint64 refreshKilometres(const AppState& s, MonthLog& log);
// A month's kilometres: the sum of its legs, the one figure of the chain, the year, the statement
// and the header written on save.
qint64 legKilometres(const AppState& s, const MonthLog& log);

} // namespace rv
