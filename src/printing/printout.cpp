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
        const TravelOrder order = travelOrderOf(s, log, reckonMonth(s, log, season));
        if (order.missingPrice)
            return Result::failure(noPriceForMonthMessage(log));
        if (onlyDay != 0 && !travelOrderHasDay(order, onlyDay))
            return Result::failure(noTripOnDayMessage(log, onlyDay));
        count = layoutTravelOrder(canvas, s, log, order, travelPerson(s), season.multiplier, twin, onlyDay);
    } else {
        const StatementSums sums = statementOf(reckonMonth(s, log, season));
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

// The reckoning's legs: days past the end of the month are never printed nor costed, so they are
// not counted either. The logbook shows no price, so none is looked up.
QVector<LogbookLeg> logbookLegs(const AppState& s, const MonthLog& log) {
    return reckonMonth(s, log, Season{}, QVector<FuelPrice>{}).legs;
}

QString routeTypeText(const AppState& s, int routeType) {
    if (routeType < 1 || routeType > kMultiplierCount)
        return {};
    return s.multipliers[size_t(routeType - 1)].name;
}

} // namespace rv
