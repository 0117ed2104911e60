#include "model/monthchain.h"

#include "model/logbookfile.h"
#include "model/cost.h"
#include "model/monthlist.h"
#include "model/state.h"

#include <algorithm>

namespace rv {

QVector<MonthHistory::Start> LogbookHistory::starts() const {
    QVector<Start> out;
    for (const LogbookEntry& e : m_listing.entries)
        if (monthEntry(m_listing, e.year, e.month) == &e)
            out.append(Start{e.year, e.month, e.startOdometer});
    return out;
}

std::optional<qint64> LogbookHistory::legKm(int year, int month) const {
    const LogbookEntry* e = monthEntry(m_listing, year, month);
    if (!e)
        return std::nullopt;
    return storedMonthKm(m_state, m_listing.files[e->position]);
}

MonthFacts LogbookHistory::facts(int year, int month) const {
    if (!m_facts)
        m_facts = readMonthFacts(m_state.carGate(), m_state.carPath(QString()));
    return m_facts->of(year, month);
}

std::optional<MonthReading> previousReading(const AppState& s, const LogbookListing& listing, int year, int month) {
    return previousReading(LogbookHistory(s, listing), year, month);
}

std::optional<MonthReading> previousReading(const AppState& s, int year, int month) {
    return previousReading(s, listLogbooks(s), year, month);
}

bool isFirstMonth(const LogbookListing& listing, int year, int month) {
    return std::none_of(listing.entries.begin(), listing.entries.end(), [&](const LogbookEntry& e) {
        return e.year < year || (e.year == year && e.month < month);
    });
}

bool isFirstMonth(const AppState& s, int year, int month) { return isFirstMonth(listLogbooks(s), year, month); }

} // namespace rv
