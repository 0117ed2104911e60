#include "printout.h"

#include "model/cost.h"
#include "model/monthprice.h"
#include "model/norms.h"
#include "printing/exportpath.h"
#include "printing/sheet.h"
#include "printing/travelorder.h"
#include "storage/records.h"
#include "model/state.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

using Leg = LogbookLeg;

bool validPartner(const AppState& s, int p) {
    return p >= 1 && p <= s.partnerCount() && p <= s.distances.size();
}

// Days past the end of the month are never printed nor costed, so they are not counted either:
// otherwise a full last page would break onto a page holding nothing but the total.
QVector<Leg> monthLegs(const AppState& s, const MonthLog& log) {
    QVector<Leg> legs;
    const int width = std::min(log.stopWidth, log.stops.columns());
    if (width < 2)
        return legs;
    const int days = daysInMonth(log.year, log.month);
    for (int day = 1; day <= days && day <= kLogDays; ++day) {
        if (log.stops.at(day, 1) == 0 || log.stops.at(day, 2) == 0)
            continue;
        for (int j = 2; j <= width; ++j) {
            const int p = log.stops.at(day, j - 1);
            const int q = log.stops.at(day, j);
            if (q == 0 || !validPartner(s, p) || !validPartner(s, q))
                continue;
            const DistanceCell& cell = s.distances.at(p, q);
            const bool another = j < width && log.stops.at(day, j + 1) != 0;
            legs.append(Leg{day, p, q, cell.distance, cell.routeType, !another});
        }
    }
    return legs;
}

} // namespace

QString programTitle() { return kAppTitle + u' ' + versionText(); }

QString noPriceForMonthMessage(const MonthLog& log) {
    return kNoPriceForMonth + u"\r\n"_s + missingPriceText(log.year, log.month);
}

Result layoutPrintout(Canvas& canvas, const AppState& s, const MonthLog& log, Printout which, const Season& season,
                      const Twin& twin, int* pages, int onlyDay) {
    int count = 0;
    if (which == Printout::Logbook) {
        count = layoutLogbook(canvas, s, log, twin);
    } else if (which == Printout::TravelOrder) {
        const TravelOrder order = computeTravelOrder(s, log, season.multiplier);
        if (order.missingPrice)
            return Result::failure(noPriceForMonthMessage(log));
        if (onlyDay != 0 && !travelOrderHasDay(order, onlyDay))
            return Result::failure(noTripOnDayMessage(log, onlyDay));
        count = layoutTravelOrder(canvas, s, log, order, travelPerson(s), season.multiplier, twin, onlyDay);
    } else {
        const StatementSums sums = computeStatement(s, log, season.multiplier);
        if (sums.missingPrice)
            return Result::failure(noPriceForMonthMessage(log));
        count = layoutStatement(canvas, s, log, sums, season.box, season.multiplier, twin);
    }
    if (pages)
        *pages = count;
    return Result::success();
}

QString suggestedPdfName(const AppState& s, const MonthLog& log, Printout which, int onlyDay) {
    const QString what = which == Printout::Logbook        ? u"utnyilvantartas"_s
                         : which == Printout::TravelOrder ? u"kikuldetesi_rendelveny"_s
                                                          : u"koltsegelszamolas"_s;
    return exportFileName(printedCar(s).plateNumber, log.year, log.month,
                          which == Printout::TravelOrder ? onlyDay : 0, what, u"pdf"_s);
}

QVector<LogbookLeg> logbookLegs(const AppState& s, const MonthLog& log) { return monthLegs(s, log); }

QString routeTypeText(const AppState& s, int routeType) {
    if (routeType < 1 || routeType > kMultiplierCount)
        return {};
    return s.multipliers[size_t(routeType - 1)].name;
}

} // namespace rv
