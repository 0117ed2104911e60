#include "targetsample.h"

#include "storage/numeric.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "storage/state.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kMostLegs = 49; // fifty columns: partner 1, then at most 49 stops
constexpr int kUnreachable = 200; // more than 49, and one more still fits a byte

struct Leg {
    int from;
    int km;
};
// The known distances into each partner, shortest first. A partner never follows itself: the
// editor's check counts that as a fault.
using Into = std::vector<std::vector<Leg>>;

Into legsInto(const AppState& s, int n) {
    Into into(size_t(n) + 1);
    for (int u = 1; u <= n; ++u)
        for (int v = 1; v <= n; ++v)
            if (const int km = s.distances.at(u, v).distance; u != v && km >= 1)
                into[size_t(v)].push_back({u, km});
    for (auto& legs : into)
        std::sort(legs.begin(), legs.end(), [](const Leg& a, const Leg& b) { return a.km < b.km; });
    return into;
}

// The shortest and the longest day: a walk from partner 1 back to it of 1..49 legs. 0 when
// there is none.
struct DaySpan {
    qint64 shortest = 0;
    qint64 longest = 0;
};

DaySpan daySpan(const Into& into, int n) {
    constexpr qint64 none = -1;
    std::vector<qint64> lo(size_t(n) + 1, none), hi(size_t(n) + 1, none);
    lo[1] = hi[1] = 0;
    DaySpan span;
    for (int legs = 1; legs <= kMostLegs; ++legs) {
        std::vector<qint64> nlo(size_t(n) + 1, none), nhi(size_t(n) + 1, none);
        for (int v = 1; v <= n; ++v)
            for (const Leg& leg : into[size_t(v)]) {
                if (lo[size_t(leg.from)] == none)
                    continue;
                const qint64 a = lo[size_t(leg.from)] + leg.km;
                const qint64 b = hi[size_t(leg.from)] + leg.km;
                if (nlo[size_t(v)] == none || a < nlo[size_t(v)])
                    nlo[size_t(v)] = a;
                nhi[size_t(v)] = std::max(nhi[size_t(v)], b);
            }
        lo.swap(nlo);
        hi.swap(nhi);
        if (lo[1] != none) {
            span.shortest = span.shortest == 0 ? lo[1] : std::min(span.shortest, lo[1]);
            span.longest = std::max(span.longest, hi[1]);
        }
    }
    return span;
}

// For every length 0..top and partner: the fewest legs of a walk from partner 1 to it exactly
// that long, kUnreachable when more than 49 would be needed. Filled on demand, a block of
// lengths at a time: a block no longer than the shortest leg depends only on shorter lengths,
// so each leg updates it as one run of bytes.
class FewestLegs {
public:
    FewestLegs(const Into& into, int n, int top)
        : m_into(into), m_n(size_t(n)), m_width(size_t(top) + 1), m_cells(m_n * m_width, quint8(kUnreachable)) {
        m_cells[0] = 0; // the empty walk at partner 1
        for (size_t v = 1; v <= m_n; ++v)
            for (const Leg& leg : into[v])
                m_block = std::min(m_block, leg.km);
    }
    int done() const { return m_done; }
    void extend(int reach, MonthsProgress& progress) {
        for (int start = m_done + 1; start <= reach; start = m_done + 1) {
            const int end = reach - start < m_block ? reach : start + m_block - 1;
            for (size_t v = 1; v <= m_n; ++v) {
                quint8* to = &m_cells[(v - 1) * m_width];
                for (const Leg& leg : m_into[v]) {
                    if (leg.km > end)
                        break;
                    const quint8* from = &m_cells[size_t(leg.from - 1) * m_width];
                    for (int length = std::max(start, leg.km); length <= end; ++length)
                        to[length] = std::min(to[length], quint8(from[length - leg.km] + 1));
                }
                for (int length = start; length <= end; ++length)
                    if (to[length] > kMostLegs)
                        to[length] = kUnreachable;
            }
            if (end / 2048 != m_done / 2048)
                progress.keepResponsive();
            m_done = end;
        }
    }
    int at(int length, int partner) const { return m_cells[size_t(partner - 1) * m_width + size_t(length)]; }

private:
    const Into& m_into;
    size_t m_n;
    size_t m_width;
    std::vector<quint8> m_cells;
    int m_block = std::numeric_limits<int>::max();
    int m_done = 0;
};

// A set of totals 0..top.
class Totals {
public:
    explicit Totals(int top = 0) : m_top(top), m_words(size_t(top) / 64 + 1, 0) {}
    void set(int i) { m_words[size_t(i) / 64] |= quint64(1) << (i % 64); }
    bool has(int i) const { return i >= 0 && i <= m_top && (m_words[size_t(i) / 64] >> (i % 64)) & 1; }
    bool any(int from, int to) const {
        for (int i = std::max(from, 0); i <= std::min(to, m_top); ++i)
            if (has(i))
                return true;
        return false;
    }
    // this |= other shifted up by shift, what passes top dropped. Works in place too.
    void orShifted(const Totals& other, int shift) {
        const size_t words = m_words.size();
        const size_t ws = size_t(shift) / 64;
        const int bs = shift % 64;
        for (size_t i = words; i-- > ws;) {
            quint64 w = other.m_words[i - ws] << bs;
            if (bs != 0 && i > ws)
                w |= other.m_words[i - ws - 1] >> (64 - bs);
            m_words[i] |= w;
        }
        trim();
    }
    // The sums of one member of this and one of run: every value from first to first + count - 1.
    Totals plusRun(int first, int count) const {
        Totals out(m_top);
        out.orShifted(*this, first);
        for (int covered = 1; covered < count;) {
            const int step = std::min(covered, count - covered);
            out.orShifted(out, step);
            covered += step;
        }
        return out;
    }
    void unite(const Totals& other) {
        for (size_t i = 0; i < m_words.size(); ++i)
            m_words[i] |= other.m_words[i];
    }
    bool empty() const {
        return std::all_of(m_words.begin(), m_words.end(), [](quint64 w) { return w == 0; });
    }

private:
    void trim() {
        if (const int extra = (m_top + 1) % 64)
            m_words.back() &= (quint64(1) << extra) - 1;
    }
    int m_top;
    std::vector<quint64> m_words;
};

// 0..n-1, as the present generator draws.
int below(Random& random, int n) { return std::clamp(int(std::floor(float(n) * random.next())), 0, n - 1); }

// Which days of the month carry trips: the halves of the month and the share rule.
struct MonthHalves {
    QVector<int> first, second; // allowed days of each half
    // How many of k trip days may fall into the first half: [lo, hi]; lo > hi when none.
    std::pair<int, int> firstShare(int k) const {
        if (k == 1) // one day cannot be shared out; it may fall into either half
            return {second.isEmpty() ? 1 : 0, first.isEmpty() ? 0 : 1};
        const int lo = std::max(k - int(second.size()), (k + 2) / 3);
        const int hi = std::min(int(first.size()), 2 * k / 3);
        return {lo, hi};
    }
    bool fits(int k) const {
        const auto [lo, hi] = firstShare(k);
        return k >= 1 && k <= first.size() + second.size() && lo <= hi;
    }
};

// k of the days, shuffled; the caller sorts.
QVector<int> drawDays(QVector<int> days, int k, Random& random) {
    for (int i = 0; i < k; ++i)
        std::swap(days[i], days[i + below(random, int(days.size()) - i)]);
    days.resize(k);
    return days;
}

} // namespace

int exactTolerance(const Settings* settings) {
    const double tolerance = settings ? leadingNumber(settings->text(keys::Tolerance, u"10"_s)) : 10;
    return int(std::clamp(std::floor(tolerance), 0.0, 1000.0));
}

qint64 exactLimit(int target, int tolerance) { return qint64(target) * (100 + tolerance) / 100; }

ExactSampleResult PontosMintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress) {
    ExactSampleResult result;
    const int n = std::min(s.partnerCount(), s.distances.size());
    if (n < 2 || request.month < 1 || request.month > 12)
        return result;
    MersenneRandom clockRandom{unsigned(QDateTime::currentMSecsSinceEpoch())};
    Random& random = s.random ? *s.random : clockRandom;

    const QVector<int> working = sampleWorkingDays(request.year, request.month, request.weekdays, request.holidays);
    if (working.isEmpty()) {
        result.outcome = ExactOutcome::NoWorkingDays;
        result.reason = noWorkingDaysMessage();
        return result;
    }
    const int target = request.target;
    const qint64 limit = exactLimit(target, exactTolerance(s.settings));
    MonthHalves halves;
    const int middle = daysInMonth(request.year, request.month) / 2;
    for (int d : working)
        (d <= middle ? halves.first : halves.second).append(d);
    const int allowed = int(working.size());
    int mostDays = allowed;
    while (mostDays > 0 && !halves.fits(mostDays))
        --mostDays;

    result.outcome = ExactOutcome::Impossible;
    const Into into = legsInto(s, n);
    const DaySpan span = daySpan(into, n);
    if (span.shortest == 0) {
        result.reason = u"Az 1. partnertől (%1) nem indul olyan kör, amely megadott távolságokon, legfeljebb %2 "
                        u"megállóval visszaér oda, ezért nem készíthető minta."_s.arg(PartnerLabel(s, 1))
                            .arg(kMostLegs);
        return result;
    }
    if (span.shortest > limit) {
        result.reason = u"A legrövidebb kör %1 km; %2 km-hez (a hibahatárral legfeljebb %3 km-ig) egyetlen nap sem "
                        u"fér bele."_s.arg(span.shortest)
                            .arg(target)
                            .arg(limit);
        return result;
    }
    if (qint64(mostDays) * span.longest < target) {
        const qint64 most = qint64(mostDays) * span.longest;
        result.reason =
            mostDays == allowed
                ? u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 megengedett napján így legfeljebb "
                  u"%4 km tehető meg, kevesebb a kért %5 km-nél."_s.arg(kMostLegs)
                      .arg(span.longest)
                      .arg(allowed)
                      .arg(most)
                      .arg(target)
                : u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 megengedett napjából a hónap két "
                  u"felére elosztva legfeljebb %4 nap használható, ezeken legfeljebb %5 km tehető meg, kevesebb a kért "
                  u"%6 km-nél."_s.arg(kMostLegs)
                      .arg(span.longest)
                      .arg(allowed)
                      .arg(mostDays)
                      .arg(most)
                      .arg(target);
        return result;
    }

    // The lengths a day can have, and the month totals of exactly j trip days (j = 0 .. the most
    // days), first with days up to about twice the average, then longer ones until the limit.
    // A month found with the shorter days is a month; only the last round proves there is none.
    progress.setStatus(u"Minta készítése a kért km-re..."_s);
    const int top = int(std::min<qint64>(limit, span.longest));
    const int monthTop = int(std::min<qint64>(limit, qint64(mostDays) * span.longest));
    FewestLegs fewest(into, n, top);
    Totals day(top);
    std::vector<Totals> sums;
    int tripDays = 0;
    for (int reach = std::min(top, 2 * (target / mostDays) + 64); tripDays == 0; reach = std::min(top, 2 * reach)) {
        const int from = fewest.done() + 1;
        fewest.extend(reach, progress);
        for (int length = from; length <= reach; ++length)
            if (fewest.at(length, 1) != kUnreachable)
                day.set(length);
        std::vector<std::pair<int, int>> runs; // the lengths as runs of consecutive values
        for (int length = 1; length <= reach; ++length)
            if (day.has(length)) {
                if (!runs.empty() && runs.back().first + runs.back().second == length)
                    ++runs.back().second;
                else
                    runs.push_back({length, 1});
            }
        sums.assign(1, Totals(monthTop));
        sums[0].set(0);
        for (int j = 1; j <= mostDays; ++j) {
            Totals next(monthTop);
            for (const auto& [first, count] : runs)
                next.unite(sums.back().plusRun(first, count));
            sums.push_back(std::move(next));
            if (sums.back().empty())
                break;
            if (halves.fits(j) && sums.back().any(target, monthTop))
                tripDays = j; // as many trip days as the target lets
            progress.keepResponsive();
        }
        if (reach == top)
            break;
    }
    if (tripDays == 0) {
        const qint64 fitting = std::min<qint64>(mostDays, limit / span.shortest);
        qint64 nearest = -1;
        for (size_t j = 1; j < sums.size(); ++j)
            if (halves.fits(int(j)))
                for (int t = target - 1; t > nearest; --t)
                    if (sums[j].has(t)) {
                        nearest = t;
                        break;
                    }
        result.reason = u"A legrövidebb kör %1 km; %2 km-hez legfeljebb %3 nap fér bele, de a körök hosszából "
                        u"egyetlen havi összeg sem esik %2 és %4 km közé"_s.arg(span.shortest)
                            .arg(target)
                            .arg(fitting)
                            .arg(limit) +
                        (nearest > 0 ? u" (a legközelebbi kisebb: %1 km)."_s.arg(nearest) : u"."_s);
        return result;
    }

    // The month total, then the day lengths one by one, each near the average still due.
    const Totals& reach = sums[size_t(tripDays)];
    int choices = 0;
    for (int t = target; t <= monthTop; ++t)
        choices += reach.has(t);
    int pick = below(random, choices);
    int total = target;
    while (!reach.has(total) || pick-- > 0)
        ++total;
    QVector<int> lengths;
    for (int rest = total, j = tripDays; j >= 1; --j) {
        const int wish = int(std::lround(double(rest) / j * (0.6 + 0.8 * double(random.next()))));
        auto fits = [&](int length) {
            return length >= 1 && length <= std::min(rest, top) && day.has(length) && sums[size_t(j - 1)].has(rest - length);
        };
        int length = 0;
        for (int step = 0; length == 0; ++step) {
            if (fits(wish + step))
                length = wish + step;
            else if (fits(wish - step))
                length = wish - step;
        }
        lengths.append(length);
        rest -= length;
    }

    // Which days: the first half's share near its part of the allowed days.
    const auto [lo, hi] = halves.firstShare(tripDays);
    const double even = double(tripDays) * double(halves.first.size()) / allowed;
    const int share = std::clamp(int(std::floor(even + double(random.next()))), lo, hi);
    QVector<int> days = drawDays(halves.first, share, random) + drawDays(halves.second, tripDays - share, random);
    std::sort(days.begin(), days.end());
    for (int i = int(lengths.size()) - 1; i > 0; --i)
        std::swap(lengths[i], lengths[below(random, i + 1)]);

    // Each day's chain, walked backwards from partner 1 along legs that still leave a way to the
    // start; partners not yet visited that day come first, as on a real round.
    std::vector<QVector<int>> chains(kLogDays + 1);
    int width = 1;
    std::vector<const Leg*> options, fresh;
    for (int i = 0; i < tripDays; ++i) {
        QVector<int> chain{1};
        int at = 1;
        int length = lengths[i];
        int legsLeft = kMostLegs;
        while (at != 1 || length != 0) {
            options.clear();
            fresh.clear();
            for (const Leg& leg : into[size_t(at)])
                if (leg.km <= length && fewest.at(length - leg.km, leg.from) <= legsLeft - 1) {
                    options.push_back(&leg);
                    if (!chain.contains(leg.from) || (leg.from == 1 && leg.km == length))
                        fresh.push_back(&leg);
                }
            const auto& from = fresh.empty() ? options : fresh;
            const Leg& leg = *from[size_t(below(random, int(from.size())))];
            chain.append(leg.from);
            length -= leg.km;
            at = leg.from;
            --legsLeft;
        }
        std::reverse(chain.begin(), chain.end());
        width = std::max(width, int(chain.size()));
        chains[size_t(days[i])] = chain;
    }

    MonthLog m;
    m.year = request.year;
    m.month = request.month;
    m.startOdometer = s.month.startOdometer; // the reading the caller chained on stays
    m.onDisk = s.month.onDisk;
    m.stopWidth = width;
    m.stops.reset(width);
    for (int i = 0; i < tripDays; ++i) {
        const QVector<int>& chain = chains[size_t(days[i])];
        for (int c = 0; c < chain.size(); ++c)
            m.stops.at(days[i], c + 1) = qint16(chain[c]);
        m.dayKm[size_t(days[i] - 1)] = lengths[i];
    }
    m.monthKm = total;
    s.month = std::move(m);
    result.outcome = ExactOutcome::Generated;
    result.tripDays = tripDays;
    return result;
}

} // namespace rv
