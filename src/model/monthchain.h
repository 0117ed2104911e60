#pragma once

#include "model/chain.h"

namespace rv {

struct AppState;
struct LogbookListing;

// The logged-in car's months as its logbook files hold them: the start reading of the logbook
// that stands for each month, the kilometres of its legs on the car's distances.
class LogbookHistory : public MonthHistory {
public:
    LogbookHistory(const AppState& s, const LogbookListing& listing) : m_state(s), m_listing(listing) {}
    QVector<Start> starts() const override;
    std::optional<qint64> legKm(int year, int month) const override;
    MonthFacts facts(int year, int month) const override;

private:
    mutable std::optional<MonthFactsFile> m_facts; // read once, when first asked
    const AppState& m_state;
    const LogbookListing& m_listing;
};

std::optional<MonthReading> previousReading(const AppState& s, const LogbookListing& listing, int year, int month);
std::optional<MonthReading> previousReading(const AppState& s, int year, int month);

// Whether the car has no logbook of an earlier month: its first month.
bool isFirstMonth(const LogbookListing& listing, int year, int month);
bool isFirstMonth(const AppState& s, int year, int month);

} // namespace rv
