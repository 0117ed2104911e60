#pragma once

// The one reckoning of a month: its legs on the month's real days, the price of each and where it
// came from, the costs, the totals, the fuel used, the month's faults and the verdict. The editor,
// the printouts, the exports, the year and the command line only format it.

#include "model/chain.h"
#include "model/cost.h"
#include "model/monthlog.h"
#include "model/monthprice.h"
#include "model/state.h"
#include "storage/carrecords.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

namespace rv {

struct AppState;
struct CarFacts;

// ---- the measure of a fuel ----

// NAV prices CNG by the kilogram, every other fuel by the litre. A fuel type the program gains
// later takes its measure here.
enum class FuelMeasure { Litre, Kilogram };
FuelMeasure fuelMeasure(int fuelIndex);
FuelMeasure navColumnMeasure(int navColumn);
// "l" / "kg"; capital: "L" / "kg", as the printouts write it.
QString measureUnit(FuelMeasure m, bool capital = false);
// "Ft/l" / "Ft/kg"; capital: "Ft/L" / "Ft/kg".
QString priceUnit(FuelMeasure m, bool capital = false);

// ---- where a car's prices come from ----

QString priceSourceName(PriceSource source); // "NAV által közzétett árak" / "Saját árak (számla szerint)"

// The car's price source: its own choice when made; otherwise a car whose price list holds only
// the published prices of their months (or nothing) is taken as NAV, any other as own.
PriceSource decidedPriceSource(const CarFacts& facts, const QVector<FuelPrice>& own,
                               const QVector<FuelPrice>& published);

// ---- the reckoning ----

// Where a day's price came from.
enum class PriceOrigin {
    Published, // the month's own published price (NAV car)
    OwnEntry,  // an entry of the car's own list: an own-price car, or a price typed for a day
    Carried,   // a NAV car's earlier month's price where the month's own is not in its list
    None,      // no price on or before the day
};

struct DayPrice {
    qint16 price = 0;
    PriceOrigin origin = PriceOrigin::None;
    QDate from; // the date of the entry used
};

enum class Severity { Minor, Severe };

// The faults other outputs name in their own words; most are Other.
enum class FaultKind { Other, MissingPrice, CarriedPrice, DayOutsideMonth, ClosingReading, NoPurpose };

struct MonthFault {
    Severity severity = Severity::Minor;
    QString text;
    bool doubtsCost = false; // while it stands, the month's cost is not a figure to vouch for
    FaultKind kind = FaultKind::Other;
    int day = 0; // the day it is about; 0: the month
};

struct ReckonedLeg {
    int day = 0;
    int from = 0;
    int to = 0;
    int km = 0;
    int routeType = 0;
    bool lastOfDay = false;
    float multiplier = 1.0f; // of the route type; the season's is the month's
    DayPrice price;
    qint64 fuelCost = 0;
    qint64 generalCost = 0;
    qint64 total() const { return fuelCost + generalCost; }
};

enum class Verdict { Sound, Doubtful };

struct MonthReckoning {
    int year = 0;
    int month = 0;
    int days = 0; // the month's real days
    PriceSource source = PriceSource::Nav;
    int fuelIndex = -1;
    FuelMeasure measure = FuelMeasure::Litre;
    Season season;
    float consumption = 0;
    float generalRate = 0;

    QVector<ReckonedLeg> legs; // of the real days, partners of the database only
    std::array<DayPrice, kLogDays> dayPrices{}; // of the real days
    qint64 km = 0;
    qint64 fuelCost = 0;
    qint64 generalCost = 0;
    qint64 total = 0;
    qint64 fuelTenths = 0; // fuel used, in tenths of the measure, cut

    bool missingPrice = false;         // a leg on a day before every price: its cost is 0
    std::optional<PriceFault> carried; // a NAV car's leg at an earlier month's price
    QVector<MonthFault> faults;        // the error list's order: reading, prices, days

    int minor() const;
    int severe() const;
    QStringList lines() const;
    Verdict verdict() const;
    // The texts of what makes the cost doubtful; empty for a sound month.
    QStringList doubts() const;
};

// What the month follows on from, for the faults of its reading; unknown leaves them out.
struct MonthContext {
    bool known = false;
    std::optional<MonthReading> previous;
    bool firstMonth = false;
};

// The logged-in car's month with its season; published: the published list of the car's fuel.
MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const Season& season,
                           const QVector<FuelPrice>& published, const MonthContext& context = {});
// The same with the published list as it is on disk now.
MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const Season& season,
                           const MonthContext& context = {});
// With the season box kept with the month.
MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const MonthContext& context = {});

// How the papers name a day's price: "NAV, 2022. március", "saját ár, 2026. február 3.",
// "a 2020. decemberi NAV-ár, áthozva", "nincs ár".
QString priceOriginText(const DayPrice& price, int year, int month);

// Runs of days with one price and origin, days without a price left out.
struct PriceRun {
    int firstDay = 0;
    int lastDay = 0;
    DayPrice price;
};
QVector<PriceRun> priceRuns(const MonthReckoning& r);

// The line every output gives of the verdict: "A hónap költsége rendben." or "A hónap költsége
// nem igazolható: " and the doubts.
QString verdictText(const MonthReckoning& r);

// The one-step fix of a doubtful month, for the command line.
QString doubtFixText(const MonthReckoning& r);

} // namespace rv
