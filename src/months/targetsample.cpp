#include "targetsample.h"

#include "storage/numeric.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "model/state.h"

#include <QDateTime>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kMostLegs = 49;     // fifty columns: partner 1, then at most 49 stops
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
                if (lo[size_t(leg.from)] == none) continue;
                const qint64 a = lo[size_t(leg.from)] + leg.km;
                const qint64 b = hi[size_t(leg.from)] + leg.km;
                if (nlo[size_t(v)] == none || a < nlo[size_t(v)]) nlo[size_t(v)] = a;
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
        : m_into(into), m_n(size_t(n)), m_width(size_t(top) + 1),
          m_cells(m_n * m_width, quint8(kUnreachable)) {
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
                    if (leg.km > end) break;
                    const quint8* from = &m_cells[size_t(leg.from - 1) * m_width];
                    for (int length = std::max(start, leg.km); length <= end; ++length)
                        to[length] = std::min(to[length], quint8(from[length - leg.km] + 1));
                }
                for (int length = start; length <= end; ++length)
                    if (to[length] > kMostLegs) to[length] = kUnreachable;
            }
            if (end / 2048 != m_done / 2048) progress.keepResponsive();
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
            if (has(i)) return true;
        return false;
    }
    // this |= other shifted up by shift, what passes top dropped. Works in place too.
    void orShifted(const Totals& other, int shift) {
        const size_t words = m_words.size();
        const size_t ws = size_t(shift) / 64;
        const int bs = shift % 64;
        for (size_t i = words; i-- > ws;) {
            quint64 w = other.m_words[i - ws] << bs;
            if (bs != 0 && i > ws) w |= other.m_words[i - ws - 1] >> (64 - bs);
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
        if (const int extra = (m_top + 1) % 64) m_words.back() &= (quint64(1) << extra) - 1;
    }
    int m_top;
    std::vector<quint64> m_words;
};

// 0..n-1, as the present generator draws.
int below(Random& random, int n) {
    return std::clamp(int(std::floor(float(n) * random.next())), 0, n - 1);
}

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

// The runs of consecutive values of a set of lengths 1..top.
std::vector<std::pair<int, int>> runsOf(const Totals& lengths, int top) {
    std::vector<std::pair<int, int>> runs;
    for (int length = 1; length <= top; ++length)
        if (lengths.has(length)) {
            if (!runs.empty() && runs.back().first + runs.back().second == length)
                ++runs.back().second;
            else
                runs.push_back({length, 1});
        }
    return runs;
}

// sums[j]: the totals of j days whose lengths are in the runs; stops early when a layer is empty.
std::vector<Totals> monthSums(const std::vector<std::pair<int, int>>& runs, int days, int monthTop,
                              MonthsProgress& progress) {
    std::vector<Totals> sums(1, Totals(monthTop));
    sums[0].set(0);
    for (int j = 1; j <= days; ++j) {
        Totals next(monthTop);
        for (const auto& [first, count] : runs)
            next.unite(sums.back().plusRun(first, count));
        sums.push_back(std::move(next));
        if (sums.back().empty()) break;
        progress.keepResponsive();
    }
    return sums;
}

// A month total in [target, monthTop] that k days can make, drawn evenly, and its day lengths one by
// one, each near the average still due.
QVector<int> splitMonth(const std::vector<Totals>& sums, const Totals& allowed, int top, int k, int target,
                        int monthTop, Random& random, int& total) {
    const Totals& reach = sums[size_t(k)];
    int choices = 0;
    for (int t = target; t <= monthTop; ++t)
        choices += reach.has(t);
    int pick = below(random, choices);
    total = target;
    while (!reach.has(total) || pick-- > 0)
        ++total;
    QVector<int> lengths;
    for (int rest = total, j = k; j >= 1; --j) {
        const int wish = int(std::lround(double(rest) / j * (0.6 + 0.8 * double(random.next()))));
        auto fits = [&](int length) {
            return length >= 1 && length <= std::min(rest, top) && allowed.has(length) &&
                   sums[size_t(j - 1)].has(rest - length);
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
    return lengths;
}

// A day a person drives: from partner 1 to a few different partners and back.
struct Round {
    QVector<int> chain;
    int km = 0;
};

constexpr int kMostVisits = 4;

// Rounds to pick days from: every partner visited alone, and rounds of 2..kMostVisits different
// partners drawn along known distances; none longer than top.
std::vector<Round> roundsOf(const AppState& s, int n, int top, Random& random) {
    auto km = [&](int i, int j) { return int(s.distances.at(i, j).distance); };
    std::vector<std::vector<int>> onward(size_t(n) + 1); // partner 1 only closes a round
    for (int u = 1; u <= n; ++u)
        for (int v = 2; v <= n; ++v)
            if (u != v && km(u, v) >= 1) onward[size_t(u)].push_back(v);
    std::vector<Round> rounds;
    QSet<QVector<int>> seen;
    auto add = [&](const QVector<int>& chain, int length) {
        if (length <= top && !seen.contains(chain)) {
            seen.insert(chain);
            rounds.push_back({chain, length});
        }
    };
    for (int p : onward[1])
        if (km(p, 1) >= 1) add({1, p, 1}, km(1, p) + km(p, 1));
    const int attempts = std::min(4000, 60 * n);
    for (int a = 0; a < attempts; ++a) {
        const int visits = 2 + below(random, kMostVisits - 1);
        QVector<int> chain{1};
        int length = 0;
        for (int v = 0; v < visits; ++v) {
            const std::vector<int>& next = onward[size_t(chain.last())];
            int p = 0;
            for (int draw = 0; draw < 8 && p == 0 && !next.empty(); ++draw)
                if (const int c = next[size_t(below(random, int(next.size())))]; !chain.contains(c)) p = c;
            if (p == 0) break;
            length += km(chain.last(), p);
            chain.append(p);
        }
        if (int(chain.size()) == visits + 1 && km(chain.last(), 1) >= 1) {
            length += km(chain.last(), 1);
            chain.append(1);
            add(chain, length);
        }
    }
    return rounds;
}

// A month of trip days.
struct Plan {
    QVector<int> days;                // the trip days, in order
    std::vector<QVector<int>> chains; // each trip day's stops
    QVector<int> lengths;             // each trip day's km
    int total = 0;
};

// Which days get the lengths: the first half's share near its part of the allowed days.
QVector<int> placeDays(const MonthHalves& halves, int tripDays, Random& random) {
    const auto [lo, hi] = halves.firstShare(tripDays);
    const double even =
        double(tripDays) * double(halves.first.size()) / double(halves.first.size() + halves.second.size());
    const int share = std::clamp(int(std::floor(even + double(random.next()))), lo, hi);
    QVector<int> days =
        drawDays(halves.first, share, random) + drawDays(halves.second, tripDays - share, random);
    std::sort(days.begin(), days.end());
    return days;
}

// The believable month: days of rounds (no partner twice a day), the number of trip days near what
// the target takes at the rounds' middle length, fewer days first, and every day between half and
// twice the month's average trip day; no two consecutive trip days alike while the rounds allow.
// preferred: the number of trip days aimed at, also for when no such month exists.
std::optional<Plan> believableMonth(const std::vector<Round>& rounds, int target, int limit,
                                    const MonthHalves& halves, int mostDays, Random& random,
                                    MonthsProgress& progress, int& preferred) {
    if (rounds.empty()) return std::nullopt;
    std::vector<int> kms;
    for (const Round& r : rounds)
        kms.push_back(r.km);
    std::sort(kms.begin(), kms.end());
    const int middle = kms[kms.size() / 2];
    preferred = std::clamp(int(std::lround(double(target) / middle)), 1, mostDays);
    QVector<int> order{preferred};
    for (int distance = 1; distance < mostDays; ++distance)
        order << preferred - distance << preferred + distance;
    for (const int k : std::as_const(order)) {
        if (k < 1 || k > mostDays || !halves.fits(k)) continue;
        // Whatever the total in [target, limit], each day stays between half and twice the average.
        const int lo = int((qint64(limit) + 2 * k - 1) / (2 * k));
        const int hi = int(std::min<qint64>(2 * qint64(target) / k, limit));
        const auto first = std::lower_bound(kms.begin(), kms.end(), lo);
        const auto end = std::upper_bound(kms.begin(), kms.end(), hi);
        if (first == end || qint64(k) * *(end - 1) < target || qint64(k) * *first > limit)
            continue; // too short or too long even at the extremes
        Totals allowed(hi);
        for (int km : kms)
            if (km >= lo && km <= hi) allowed.set(km);
        const std::vector<Totals> sums = monthSums(runsOf(allowed, hi), k, limit, progress);
        if (int(sums.size()) <= k || !sums[size_t(k)].any(target, limit)) continue;
        Plan plan;
        plan.lengths = splitMonth(sums, allowed, hi, k, target, limit, random, plan.total);
        for (int i = int(plan.lengths.size()) - 1; i > 0; --i)
            std::swap(plan.lengths[i], plan.lengths[below(random, i + 1)]);
        plan.days = placeDays(halves, k, random);
        // A round of each length, one not used yet where there is one.
        QSet<QVector<int>> used;
        for (int length : std::as_const(plan.lengths)) {
            std::vector<const Round*> fitting, fresh;
            for (const Round& r : rounds)
                if (r.km == length) {
                    fitting.push_back(&r);
                    if (!used.contains(r.chain)) fresh.push_back(&r);
                }
            const auto& from = fresh.empty() ? fitting : fresh;
            plan.chains.push_back(from[size_t(below(random, int(from.size())))]->chain);
            used.insert(plan.chains.back());
        }
        // Two alike in a row: swap the second with a day that differs from both neighbours.
        auto alike = [&](int i, int j) {
            return i >= 0 && j < k && plan.chains[size_t(i)] == plan.chains[size_t(j)];
        };
        for (int i = 1; i < k; ++i) {
            if (!alike(i - 1, i)) continue;
            for (int j = 0; j < k; ++j) {
                if (j == i || plan.chains[size_t(j)] == plan.chains[size_t(i)]) continue;
                std::swap(plan.chains[size_t(i)], plan.chains[size_t(j)]);
                std::swap(plan.lengths[i], plan.lengths[j]);
                if (!alike(i - 1, i) && !alike(i, i + 1) && !alike(j - 1, j) && !alike(j, j + 1)) break;
                std::swap(plan.chains[size_t(i)], plan.chains[size_t(j)]);
                std::swap(plan.lengths[i], plan.lengths[j]);
            }
        }
        return plan;
    }
    return std::nullopt;
}

// The month when no believable one exists: decided exactly over every walk of at most 49 legs. Days
// as long as the target takes on about preferred days; reason tells why there is none.
std::optional<Plan> exactMonth(const AppState& s, int n, int target, qint64 limit, const MonthHalves& halves,
                               int mostDays, int allowed, int preferred, Random& random,
                               MonthsProgress& progress, QString& reason) {
    const Into into = legsInto(s, n);
    const DaySpan span = daySpan(into, n);
    if (span.shortest == 0) {
        reason = u"Az 1. partnertől (%1) nem indul olyan kör, amely megadott távolságokon, legfeljebb %2 "
                 u"megállóval visszaér oda, ezért nem készíthető minta."_s.arg(PartnerLabel(s, 1))
                     .arg(kMostLegs);
        return std::nullopt;
    }
    if (span.shortest > limit) {
        reason = u"A legrövidebb kör %1 km; %2 km-hez (a hibahatárral legfeljebb %3 km-ig) egyetlen nap sem "
                 u"fér bele."_s.arg(span.shortest)
                     .arg(target)
                     .arg(limit);
        return std::nullopt;
    }
    if (qint64(mostDays) * span.longest < target) {
        const qint64 most = qint64(mostDays) * span.longest;
        reason = mostDays == allowed ? u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 "
                                       u"megengedett napján így legfeljebb "
                                       u"%4 km tehető meg, kevesebb a kért %5 km-nél."_s.arg(kMostLegs)
                                           .arg(span.longest)
                                           .arg(allowed)
                                           .arg(most)
                                           .arg(target)
                                     : u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 "
                                       u"megengedett napjából a hónap két "
                                       u"felére elosztva legfeljebb %4 nap használható, ezeken legfeljebb %5 "
                                       u"km tehető meg, kevesebb a kért "
                                       u"%6 km-nél."_s.arg(kMostLegs)
                                           .arg(span.longest)
                                           .arg(allowed)
                                           .arg(mostDays)
                                           .arg(most)
                                           .arg(target);
        return std::nullopt;
    }

    // The lengths a day can have, and the month totals of exactly j trip days (j = 0 .. the most
    // days), first with days up to about twice the average, then longer ones until the limit.
    // A month found with the shorter days is a month; only the last round proves there is none.
    const int top = int(std::min<qint64>(limit, span.longest));
    const int monthTop = int(std::min<qint64>(limit, qint64(mostDays) * span.longest));
    FewestLegs fewest(into, n, top);
    Totals day(top);
    std::vector<Totals> sums;
    int tripDays = 0;
    for (int reach = std::min(top, 2 * (target / std::max(preferred, 1)) + 64); tripDays == 0;
         reach = std::min(top, 2 * reach)) {
        const int from = fewest.done() + 1;
        fewest.extend(reach, progress);
        for (int length = from; length <= reach; ++length)
            if (fewest.at(length, 1) != kUnreachable) day.set(length);
        sums = monthSums(runsOf(day, reach), mostDays, monthTop, progress);
        // Of the numbers of trip days that reach the target, the one nearest the aim, fewer first.
        for (int j = 1; j < int(sums.size()); ++j)
            if (halves.fits(j) && sums[size_t(j)].any(target, monthTop) &&
                (tripDays == 0 || std::abs(j - preferred) < std::abs(tripDays - preferred)))
                tripDays = j;
        if (reach == top) break;
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
        reason = u"A legrövidebb kör %1 km; %2 km-hez legfeljebb %3 nap fér bele, de a körök hosszából "
                 u"egyetlen havi összeg sem esik %2 és %4 km közé"_s.arg(span.shortest)
                     .arg(target)
                     .arg(fitting)
                     .arg(limit) +
                 (nearest > 0 ? u" (a legközelebbi kisebb: %1 km)."_s.arg(nearest) : u"."_s);
        return std::nullopt;
    }

    Plan plan;
    plan.lengths = splitMonth(sums, day, top, tripDays, target, monthTop, random, plan.total);
    for (int i = int(plan.lengths.size()) - 1; i > 0; --i)
        std::swap(plan.lengths[i], plan.lengths[below(random, i + 1)]);
    plan.days = placeDays(halves, tripDays, random);

    // Each day's chain, walked backwards from partner 1 along legs that still leave a way to the
    // start; partners not yet visited that day come first, as on a real round.
    std::vector<const Leg*> options, fresh;
    for (int i = 0; i < tripDays; ++i) {
        QVector<int> chain{1};
        int at = 1;
        int length = plan.lengths[i];
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
        plan.chains.push_back(chain);
    }
    return plan;
}

} // namespace

int exactTolerance(const Settings* settings) {
    const double tolerance = settings ? leadingNumber(settings->text(keys::Tolerance, u"10"_s)) : 10;
    return int(std::clamp(std::floor(tolerance), 0.0, 1000.0));
}

qint64 exactLimit(int target, int tolerance) {
    return qint64(target) * (100 + tolerance) / 100;
}

ExactSampleResult PontosMintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress) {
    ExactSampleResult result;
    const int n = std::min(s.partnerCount(), s.distances.size());
    if (n < 2 || request.month < 1 || request.month > 12) return result;
    MersenneRandom clockRandom{unsigned(QDateTime::currentMSecsSinceEpoch())};
    Random& random = s.random ? *s.random : clockRandom;

    const QVector<int> working =
        sampleWorkingDays(request.year, request.month, request.weekdays, request.holidays);
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

    progress.setStatus(u"Minta készítése a kért km-re..."_s);
    int preferred = mostDays;
    std::optional<Plan> plan;
    if (mostDays > 0 && limit >= 1) {
        const std::vector<Round> rounds = roundsOf(s, n, int(limit), random);
        plan = believableMonth(rounds, target, int(limit), halves, mostDays, random, progress, preferred);
    }
    if (!plan) {
        plan = exactMonth(s, n, target, limit, halves, mostDays, allowed, preferred, random, progress,
                          result.reason);
        if (!plan) {
            result.outcome = ExactOutcome::Impossible;
            return result;
        }
    }
    int width = 1;
    for (const QVector<int>& chain : plan->chains)
        width = std::max(width, int(chain.size()));
    MonthLog m;
    m.year = request.year;
    m.month = request.month;
    m.startOdometer = s.month.startOdometer; // the reading the caller chained on stays
    m.onDisk = s.month.onDisk;
    m.stopWidth = width;
    m.stops.reset(width);
    const int tripDays = int(plan->days.size());
    for (int i = 0; i < tripDays; ++i) {
        const QVector<int>& chain = plan->chains[size_t(i)];
        for (int c = 0; c < chain.size(); ++c)
            m.stops.at(plan->days[i], c + 1) = qint16(chain[c]);
        m.dayKm[size_t(plan->days[i] - 1)] = plan->lengths[i];
    }
    m.monthKm = plan->total;
    s.month = std::move(m);
    result.outcome = ExactOutcome::Generated;
    result.tripDays = tripDays;
    return result;
}

} // namespace rv
