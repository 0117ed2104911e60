#include "chain.h"

#include "model/grouping.h"
#include "storage/tables.h"

#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {

std::optional<MonthReading> previousReading(const MonthHistory& history, int year, int month) {
    const QVector<MonthHistory::Start> starts = history.starts();
    for (auto it = starts.crbegin(); it != starts.crend(); ++it) {
        if (it->year > year || (it->year == year && it->month >= month) || it->start == 0)
            continue;
        if (const auto km = history.legKm(it->year, it->month))
            return monthReading(it->year, it->month, it->start, *km, history.facts(it->year, it->month));
    }
    return std::nullopt;
}

MonthReading monthReading(int year, int month, qint32 start, qint64 km, const MonthFacts& facts) {
    const MonthOdometer o = monthOdometer(start, km, facts);
    MonthReading r{year, month, start, km, o.privateKm, std::nullopt};
    if (o.realClosing)
        r.real = o.closing;
    return r;
}

QString closingReadingText(const MonthReading& reading, Digits digits) {
    if (reading.start == 0 && !reading.real)
        return u"–"_s;
    const qint64 closing = reading.closing();
    return (digits == Digits::Grouped ? groupedDigits(closing) : QString::number(closing)) + u" km"_s;
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
        .arg(groupedDigits(start))
        .arg(previous->year)
        .arg(MonthNames()[size_t(std::clamp(previous->month, 1, 12) - 1)].toLower())
        .arg(groupedDigits(previous->closing()));
}

} // namespace rv
