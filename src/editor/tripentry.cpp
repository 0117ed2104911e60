#include "tripentry.h"
#include "model/grouping.h"

#include "storage/numeric.h"
#include "model/state.h"

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

bool validDay(int day) { return day >= 1 && day <= kLogDays; }

// Makes room for n stops on a day: the table grows keeping its contents, the width follows.
void ensureWidth(MonthLog& log, int n) {
    if (log.stops.columns() < n)
        log.stops.resize(n);
    if (log.stopWidth < n)
        log.stopWidth = n;
}

} // namespace

int usableWidth(const MonthLog& log) { return std::max(0, std::min(log.stopWidth, log.stops.columns())); }

int dayStopCount(const MonthLog& log, int day) {
    if (!validDay(day))
        return 0;
    const int width = usableWidth(log);
    int n = 0;
    while (n < width && log.stops.at(day, n + 1) != 0)
        ++n;
    return n;
}

QVector<int> dayStops(const MonthLog& log, int day) {
    QVector<int> stops;
    const int n = dayStopCount(log, day);
    for (int k = 1; k <= n; ++k)
        stops.append(log.stops.at(day, k));
    return stops;
}

StopEdit insertStop(MonthLog& log, int day, int selected, int partner) {
    StopEdit result{false, selected};
    if (!validDay(day) || partner < 1 || partner > std::numeric_limits<qint16>::max())
        return result;
    const int count = dayStopCount(log, day);
    // Without a selection the end of the day is the only sensible place.
    const bool append = selected < 0 || selected >= count - 1;
    if (append) {
        if (count >= 1 && log.stops.at(day, count) == partner)
            return result;
        ensureWidth(log, count + 1);
        log.stops.at(day, count + 1) = qint16(partner);
        return {true, count};
    }
    const int s = selected; // 0-based line; the stop is cell s + 1
    if (log.stops.at(day, s + 1) == partner || (s > 0 && log.stops.at(day, s) == partner))
        return result;
    ensureWidth(log, count + 1);
    for (int k = count; k >= s + 1; --k)
        log.stops.at(day, k + 1) = log.stops.at(day, k);
    log.stops.at(day, s + 1) = qint16(partner);
    return {true, s};
}

StopEdit addPartner(const AppState& s, MonthLog& log, int day, int selected, int partner, TripType type) {
    if (partner < 1 || partner > s.partnerCount())
        return {false, selected};
    StopEdit result = insertStop(log, day, selected, partner);
    // A partner that could not be placed gets no return leg either.
    if (!result.changed)
        return result;
    if (type == TripType::ReturnTrip && result.selected > 0) {
        const QVector<int> stops = dayStops(log, day);
        const StopEdit back = insertStop(log, day, result.selected, stops.at(stops.size() - 2));
        if (back.changed)
            result.selected = back.selected;
    } else if (type == TripType::BackToBase) {
        const StopEdit back = insertStop(log, day, result.selected, 1);
        if (back.changed)
            result.selected = back.selected;
    }
    log.modified = true;
    return result;
}

void shrinkStops(MonthLog& log) {
    int widest = 0;
    for (int day = 1; day <= kLogDays; ++day)
        for (int k = log.stops.columns(); k > widest; --k)
            if (log.stops.at(day, k) != 0) {
                widest = k;
                break;
            }
    if (log.stopWidth == 0 && widest == 0)
        return; // the month never had a stop
    const int width = std::max(1, widest);
    log.stops.resize(width);
    log.stopWidth = width;
}

StopEdit deleteStop(MonthLog& log, int day, int selected) {
    const int count = dayStopCount(log, day);
    if (selected < 0 || selected >= count)
        return {false, selected};
    for (int k = selected + 1; k < count; ++k)
        log.stops.at(day, k) = log.stops.at(day, k + 1);
    log.stops.at(day, count) = 0;
    shrinkStops(log);
    log.modified = true;
    if (selected > 0)
        return {true, selected - 1};
    return {true, count > 1 ? 0 : -1};
}

bool deleteDay(MonthLog& log, int day) {
    if (!validDay(day))
        return false;
    for (int k = 1; k <= log.stops.columns(); ++k)
        log.stops.at(day, k) = 0;
    shrinkStops(log);
    log.modified = true;
    return true;
}

bool copyDay(MonthLog& log, int from, int to, bool append) {
    if (!validDay(from) || !validDay(to) || from == to)
        return false;
    if (append) {
        const int a = dayStopCount(log, from);
        const int b = dayStopCount(log, to);
        ensureWidth(log, a + b);
        for (int k = 1; k <= a; ++k)
            log.stops.at(to, b + k) = log.stops.at(from, k);
    } else {
        for (int k = 1; k <= log.stops.columns(); ++k)
            log.stops.at(to, k) = log.stops.at(from, k);
    }
    log.modified = true;
    return true;
}

std::optional<std::pair<int, int>> copyDays(const MonthLog& log, int currentDay, const QString& fromText,
                                            const QString& toText) {
    if (dayStopCount(log, currentDay) == 0)
        return std::nullopt;
    const auto from = toNumber(fromText);
    const auto to = toNumber(toText);
    if (!from || !to)
        return std::nullopt;
    const int f = int(std::lround(std::clamp(*from, 0.0, double(kLogDays + 1))));
    const int t = int(std::lround(std::clamp(*to, 0.0, double(kLogDays + 1))));
    if (f == t || !validDay(f) || !validDay(t))
        return std::nullopt;
    return std::pair{f, t};
}

QString filterDayField(const QString& text, const QString& lastAccepted, int days) {
    if (text.isEmpty())
        return text;
    const auto value = toNumber(text);
    if (!value)
        return lastAccepted;
    if (*value > days)
        return QString::number(days);
    if (*value < 1)
        return u"1"_s;
    bool digitsOnly = true;
    for (QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    return digitsOnly ? text : QString::number(int(std::floor(*value)));
}

std::optional<qint32> odometerFromText(const QString& text) {
    if (text.trimmed().isEmpty())
        return 0;
    const auto value = toNumber(text);
    if (!value)
        return std::nullopt;
    const double whole = std::nearbyint(*value);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(whole);
}

QString removeQuotes(const QString& text, int* caret) {
    QString out;
    out.reserve(text.size());
    int before = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"') {
            if (caret && i < *caret)
                ++before;
            continue;
        }
        out.append(text[i]);
    }
    if (caret)
        *caret -= before;
    return out;
}

QString commentQuoteMessage() { return u"Az idézőjel (\") sajnos nem megengedett a megjegyzésekben."_s; }

QString distanceHint(const AppState& s, int partner, int stop) {
    const int n = std::min(s.partnerCount(), s.distances.size());
    if (partner < 1 || stop < 1 || partner > n || stop > n || partner == stop)
        return u"-"_s;
    const DistanceCell& cell = s.distances.at(partner, stop);
    QString text = u"Távolságuk "_s + groupedDigits(cell.distance) + u" km"_s;
    if (cell.routeType >= 1 && cell.routeType <= kMultiplierCount)
        text += u", "_s + s.multipliers[size_t(cell.routeType - 1)].name;
    return text;
}

} // namespace rv
