#pragma once

#include "model/cost.h"
#include "model/monthlog.h"
#include "model/reckoning.h"
#include "storage/numeric.h"
#include "storage/result.h"
#include "storage/tables.h"

#include <QString>
#include <QVector>

#include <array>

namespace rv {

struct AppState;
class Canvas;

// The travel order (kiküldetési rendelvény) costs each trip day as the statement does.
enum class Printout { Logbook, CostStatement, TravelOrder };


// The two targets of a layout. The printer lays out every page at full size; the preview lays
// out the same pages at 80 % and draws only the page shown.
struct Twin {
    int pageShown = 0; // 0: the printer

    static Twin printer() { return Twin{0}; }
    static Twin preview(int page) { return Twin{page < 1 ? 1 : page}; }
    bool isPreview() const { return pageShown > 0; }
    double scale() const { return isPreview() ? 0.8 : 1.0; }
    double margin() const { return 1000.0 * scale(); }
    double rowUnit() const { return 500.0 * scale(); }
};

constexpr int kLogbookRowsPerPage = 23;
constexpr int kPageEndRow = 30; // row counter that ends a page

// The main window's caption, printed in every page header.
QString programTitle();

// --- The logbook ---

// Rows laid out: pairs of consecutive stops of the days of the month, and a row for the comment
// of each day that has one under the day's last pair.
int logbookRowCount(const AppState& s, const MonthLog& log);
int logbookPageCount(const AppState& s, const MonthLog& log);
// Lays out the logbook; returns the number of pages.
int layoutLogbook(Canvas& canvas, const AppState& s, const MonthLog& log, const Twin& twin);

// The legs of the printed logbook are the month's reckoning's: two consecutive stops of a real
// day of the month, both partners of the database. The export of a month lists the same legs.
using LogbookLeg = ReckonedLeg;
QVector<LogbookLeg> logbookLegs(const AppState& s, const MonthLog& log);
// The name of a route type as the printouts show it; empty for a number outside the table.
QString routeTypeText(const AppState& s, int routeType);

// --- The cost statement ---

struct StatementSums {
    qint64 totalCost = 0;
    qint64 fuelCost = 0;    // of totalCost: the fuel by the norm
    qint64 generalCost = 0; // of totalCost: the general cost by the km
    qint64 totalKm = 0;
    qint64 fuelTenths = 0; // litres used, in tenths, cut (see fuelTenthsCut)
    std::array<qint64, kRouteTypeCount> km{};
    std::array<qint64, kRouteTypeCount> cost{};
    std::array<bool, kRouteTypeCount> used{};
    QVector<PriceRun> prices;  // the prices the month took, by runs of days
    FuelMeasure measure = FuelMeasure::Litre;
    QStringList doubts;        // what makes the cost doubtful, said under the prices
    bool missingPrice = false; // a leg before every fuel price: nothing may be printed
};

inline const QString kNoPriceForMonth = QStringLiteral("Nincs benzinár megadva ehhez a hónaphoz.");
// The refusal of a statement: kNoPriceForMonth, then the missing month and where to add it.
QString noPriceForMonthMessage(const MonthLog& log);

// The statement's figures: the month's reckoning by route type.
StatementSums statementOf(const MonthReckoning& r);
StatementSums computeStatement(const AppState& s, const MonthLog& log, float season);
// "2002. március 1. - 2002. március 14.: 250 Ft/l (NAV, 2002. március)".
QString pricePeriodText(int year, int month, const PriceRun& run, FuelMeasure measure = FuelMeasure::Litre);
// The statement's line under the fuel used: why the cost is not the litres times the price.
extern const QString kPerLegNote;
// Tenths of a litre as the statement prints them ("70,7", "0").
QString tenthsText(qint64 tenths);
// Lays out the statement of computed sums; returns the number of pages.
int layoutStatement(Canvas& canvas, const AppState& s, const MonthLog& log, const StatementSums& sums,
                    SeasonBox box, float season, const Twin& twin);

// --- Either printout ---

// Lays out the chosen printout. Fails, drawing nothing, when the statement finds a day without a
// fuel price, or the travel order's chosen day (onlyDay, 0: every day) has no trip. pages
// receives the page count.
Result layoutPrintout(Canvas& canvas, const AppState& s, const MonthLog& log, Printout which, const Season& season,
                      const Twin& twin, int* pages = nullptr, int onlyDay = 0);

// File name offered when a printout is saved as PDF; a travel order of one day names the day.
QString suggestedPdfName(const AppState& s, const MonthLog& log, Printout which, int onlyDay = 0);

} // namespace rv
