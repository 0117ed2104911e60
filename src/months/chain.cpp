#include "chain.h"

#include "months/monthlist.h"
#include "storage/tables.h"

#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {

std::optional<MonthReading> previousReading(const LogbookListing& listing, int year, int month) {
    // Entries run oldest first: the last earlier one with a reading wins, each month by the
    // logbook that stands for it.
    std::optional<MonthReading> found;
    for (const LogbookEntry& e : listing.entries) {
        if (e.year > year || (e.year == year && e.month >= month))
            break;
        if (monthEntry(listing, e.year, e.month) != &e || e.startOdometer == 0)
            continue;
        found = MonthReading{e.year, e.month, e.startOdometer, e.monthKm};
    }
    return found;
}

std::optional<MonthReading> previousReading(const AppState& s, int year, int month) {
    return previousReading(listLogbooks(s), year, month);
}

qint32 chainedStart(const std::optional<MonthReading>& previous) {
    if (!previous)
        return 0;
    return qint32(std::clamp<qint64>(previous->closing(), 0, std::numeric_limits<qint32>::max()));
}

QString chainFault(qint32 start, const std::optional<MonthReading>& previous) {
    if (start == 0 || !previous || previous->closing() == start)
        return {};
    return u"A havi kezdő km-óra állás (%1 km) nem egyezik az előző hónap (%2. %3) záró állásával (%4 km)."_s
        .arg(start)
        .arg(previous->year)
        .arg(MonthNames()[size_t(std::clamp(previous->month, 1, 12) - 1)].toLower())
        .arg(previous->closing());
}

} // namespace rv
