#include "targetsample.h"

#include "model/grouping.h"
#include "model/state.h"
#include "storage/numeric.h"
#include "storage/random.h"
#include "storage/settings.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kMostLegs = 49;     // fifty columns: partner 1, then at most 49 stops
constexpr int kUnreachable = 200; // more than 49, and one more still fits a byte
constexpr int kMostVisits = 4;    // partners of a round
// Legs looked at by the search for rounds of one length: once one is found, for more of them;
// before that in the first pass, after which a length is left out until it is needed.
constexpr qint64 kVarietyEffort = 30000;
constexpr qint64 kFirstEffort = 300000;
constexpr int kFewPartners = 64; // the month of long walks is looked for among so many first

// The known distances in units of their greatest common divisor: every day and every month is a
// multiple of it, so a target between two multiples is refused at once, and ten-kilometre
// distances make a table a tenth as long. A partner never follows itself: the editor's check
// counts that as a fault.
struct Legs {
    int n = 0;
    int unit = 1;        // km in one unit
    int longest = 0;     // the longest leg, in units
    std::vector<int> km; // n x n, 0: no leg
    std::vector<int> id; // the partner each of 1..n is ([0] unused)
    int at(int u, int v) const { return km[size_t(u - 1) * size_t(n) + size_t(v - 1)]; }
};

Legs legsOf(const AppState& s, int n) {
    Legs legs;
    legs.n = n;
    legs.km.assign(size_t(n) * size_t(n), 0);
    int unit = 0;
    for (int u = 1; u <= n && unit != 1; ++u)
        for (int v = 1; v <= n; ++v)
            if (const int km = s.distances.at(u, v).distance;
                u != v && km >= 1 && (unit == 0 || km % unit != 0))
                unit = std::gcd(unit, km);
    legs.unit = std::max(unit, 1);
    legs.id.resize(size_t(n) + 1);
    std::iota(legs.id.begin(), legs.id.end(), 0);
    for (int u = 1; u <= n; ++u)
        for (int v = 1; v <= n; ++v)
            if (const int km = s.distances.at(u, v).distance; u != v && km >= 1) {
                legs.km[size_t(u - 1) * size_t(n) + size_t(v - 1)] = km / legs.unit;
                legs.longest = std::max(legs.longest, km / legs.unit);
            }
    return legs;
}

// A few of the partners: 1, and most - 1 others at even steps of their distance from it, so
// that short and long legs both stay. A month of walks among them is one among all.
Legs fewOf(const Legs& all, int most) {
    std::vector<int> others;
    for (int p = 2; p <= all.n; ++p)
        others.push_back(p);
    std::stable_sort(others.begin(), others.end(), [&](int a, int b) {
        const int ka = all.at(1, a), kb = all.at(1, b);
        return ka != 0 && (kb == 0 || ka < kb);
    });
    Legs few;
    few.n = most;
    few.unit = all.unit;
    few.id = {0, 1};
    for (int i = 0; i < most - 1; ++i)
        few.id.push_back(others[size_t(i) * others.size() / size_t(most - 1)]);
    few.km.assign(size_t(most) * size_t(most), 0);
    for (int u = 1; u <= most; ++u)
        for (int v = 1; v <= most; ++v) {
            const int km = all.at(few.id[size_t(u)], few.id[size_t(v)]);
            few.km[size_t(u - 1) * size_t(most) + size_t(v - 1)] = km;
            few.longest = std::max(few.longest, km);
        }
    return few;
}

struct Leg {
    int from;
    int km;
};
// The known distances into each partner, shortest first.
using Into = std::vector<std::vector<Leg>>;

Into legsInto(const Legs& legs) {
    Into into(size_t(legs.n) + 1);
    for (int u = 1; u <= legs.n; ++u)
        for (int v = 1; v <= legs.n; ++v)
            if (const int km = legs.at(u, v); km >= 1) into[size_t(v)].push_back({u, km});
    for (auto& in : into)
        std::sort(in.begin(), in.end(), [](const Leg& a, const Leg& b) { return a.km < b.km; });
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

// Sets of lengths 0..top, one row of 64-bit words for each partner 1..n. A row has a spare word
// after its last, so that a shift needs no test at the end; bits past top mean nothing.
class Rows {
public:
    Rows() = default;
    Rows(int n, int top)
        : m_words(size_t(top) / 64 + 1), m_top(top), m_bits(size_t(n) * (m_words + 1), 0),
          m_used(size_t(n) + 1, {SIZE_MAX, 0}) {}
    int top() const { return m_top; }
    bool has(int r, int i) const { return i >= 0 && i <= m_top && (bits(r)[size_t(i) / 64] >> (i % 64)) & 1; }
    void set(int r, int i) {
        if (i < 0 || i > m_top) return;
        row(r)[size_t(i) / 64] |= quint64(1) << (i % 64);
        widen(r, size_t(i) / 64, size_t(i) / 64);
    }
    // Row to |= row from of source (as wide as this), shifted up by shift. Only the words in use
    // are moved, so a row of few lengths costs few words.
    void orShifted(int to, const Rows& source, int from, int shift) {
        const size_t ws = size_t(shift) / 64;
        const int bs = shift % 64;
        auto [first, last] = source.m_used[size_t(from)];
        if (shift > m_top) return;
        last = std::min(last, m_words - 1 - ws); // what lands past top is not needed
        if (first > last) return;
        const quint64* src = source.bits(from);
        quint64* dst = row(to) + ws;
        if (bs == 0) {
            for (size_t k = first; k <= last; ++k)
                dst[k] |= src[k];
        } else {
            for (size_t k = first; k <= last; ++k) {
                dst[k] |= src[k] << bs;
                dst[k + 1] |= src[k] >> (64 - bs);
            }
        }
        widen(to, first + ws, std::min(last + ws + 1, m_words - 1));
    }
    const quint64* bits(int r) const { return &m_bits[size_t(r - 1) * (m_words + 1)]; }

private:
    quint64* row(int r) { return &m_bits[size_t(r - 1) * (m_words + 1)]; }
    void widen(int r, size_t first, size_t last) {
        auto& used = m_used[size_t(r)];
        used = {std::min(used.first, first), std::max(used.second, last)};
    }
    size_t m_words = 1;
    int m_top = 0;
    std::vector<quint64> m_bits;
    std::vector<std::pair<size_t, size_t>> m_used; // the words that may hold a length: [first, last]
};

// For every length 0..top and partner: the fewest legs of a walk from partner 1 to it exactly
// that long, kUnreachable when more than 49 would be needed. Found leg by leg, breadth first:
// the lengths first reached with j legs, shifted along every leg, give those of j + 1 legs, so
// each (partner, length) is passed on once.
class FewestLegs {
public:
    FewestLegs(const Into& into, int n, int top, MonthsProgress& progress)
        : m_n(size_t(n)), m_width(size_t(top) + 1), m_cells(m_n * m_width, quint8(kUnreachable)) {
        m_cells[0] = 0; // the empty walk at partner 1
        Rows seen(n, top), fresh(n, top);
        seen.set(1, 0);
        fresh.set(1, 0);
        std::vector<int> active{1};
        for (int legs = 1; legs <= kMostLegs && !active.empty(); ++legs) {
            Rows next(n, top);
            std::vector<char> reached(m_n + 1, 0);
            std::vector<char> isActive(m_n + 1, 0);
            for (int u : active)
                isActive[size_t(u)] = 1;
            for (size_t v = 1; v <= m_n; ++v)
                for (const Leg& leg : into[v])
                    if (isActive[size_t(leg.from)]) {
                        next.orShifted(int(v), fresh, leg.from, leg.km);
                        reached[v] = 1;
                    }
            active.clear();
            fresh = Rows(n, top);
            for (size_t v = 1; v <= m_n; ++v) {
                if (!reached[v]) continue;
                const quint64* got = next.bits(int(v));
                const quint64* old = seen.bits(int(v));
                quint8* cells = &m_cells[(v - 1) * m_width];
                bool any = false;
                for (size_t w = 0; w * 64 <= size_t(top); ++w)
                    for (quint64 bits = got[w] & ~old[w]; bits != 0; bits &= bits - 1) {
                        const int length = int(w * 64) + std::countr_zero(bits);
                        if (length > top) break;
                        cells[length] = quint8(legs);
                        seen.set(int(v), length);
                        fresh.set(int(v), length);
                        any = true;
                    }
                if (any) active.push_back(int(v));
            }
            progress.keepResponsive();
        }
    }
    int at(int length, int partner) const { return m_cells[size_t(partner - 1) * m_width + size_t(length)]; }

private:
    size_t m_n;
    size_t m_width;
    std::vector<quint8> m_cells;
};
// A set of totals 0..top.
class Totals {
public:
    explicit Totals(int top = 0) : m_top(top), m_words(size_t(top) / 64 + 1, 0) {}
    void set(int i) { m_words[size_t(i) / 64] |= quint64(1) << (i % 64); }
    void reset(int i) { m_words[size_t(i) / 64] &= ~(quint64(1) << (i % 64)); }
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

// Whether the round (1, partners..., 1) of the given length visits its partners in their
// shortest order: no other order along known distances is shorter. Ties are shortest too.
bool shortestOrder(const Legs& legs, const QVector<int>& chain, int length) {
    QVector<int> partners = chain.mid(1, chain.size() - 2);
    std::sort(partners.begin(), partners.end());
    do {
        int km = 0;
        int at = 1;
        for (int p : std::as_const(partners)) {
            const int leg = legs.at(at, p);
            if (leg == 0) {
                km = -1;
                break;
            }
            km += leg;
            at = p;
        }
        if (km >= 0 && legs.at(at, 1) != 0 && km + legs.at(at, 1) < length) return false;
    } while (std::next_permutation(partners.begin(), partners.end()));
    return true;
}

// Every round of 1..4 different partners, through the lengths of walks: walks[j] holds for each
// partner the lengths of the walks of j legs from partner 1 to it that do not pass partner 1
// again. A round of m partners is such a walk of m legs and the leg home, so the lengths of all
// rounds are among the walks' closes; which of those a round has, visiting its partners in their
// shortest order, is found by following the walks back to partner 1.
class RoundSearch {
public:
    RoundSearch(const Legs& legs, const Into& into, int top, MonthsProgress& progress)
        : m_legs(legs), m_into(into), m_closes(1, top) {
        const int n = legs.n;
        m_walks[1] = Rows(n, top);
        for (int v = 2; v <= n; ++v)
            if (legs.at(1, v) != 0) m_walks[1].set(v, legs.at(1, v));
        for (int j = 1; j < kMostVisits; ++j) {
            m_walks[size_t(j + 1)] = Rows(n, top);
            for (int v = 2; v <= n; ++v)
                for (const Leg& leg : into[size_t(v)])
                    if (leg.from != 1)
                        m_walks[size_t(j + 1)].orShifted(v, m_walks[size_t(j)], leg.from, leg.km);
            progress.keepResponsive();
        }
        for (int j = 1; j <= kMostVisits; ++j)
            for (int v = 2; v <= n; ++v)
                if (legs.at(v, 1) != 0) m_closes.orShifted(1, m_walks[size_t(j)], v, legs.at(v, 1));
    }
    // The lengths 1..top a round may have: those of no walk have none.
    std::vector<int> lengths() const {
        std::vector<int> out;
        for (int length = 1; length <= m_closes.top(); ++length)
            if (m_closes.has(1, length)) out.push_back(length);
        return out;
    }
    // Up to want different rounds of exactly length, fewer partners first, the search started at
    // random places. Once one is found, more are looked for only a while (variety, not proof).
    // effort > 0 bounds the search also before that: exhausted then tells whether none means none.
    std::vector<QVector<int>> find(int length, int want, Random& random, qint64 effort, bool& exhausted) {
        m_found.clear();
        m_want = want;
        m_random = &random;
        m_steps = 0;
        m_effort = effort;
        const int n = m_legs.n;
        for (int m = 1; m <= kMostVisits && !enough(); ++m) {
            const int start = below(random, n - 1);
            for (int t = 0; t < n - 1 && !enough(); ++t) {
                ++m_steps;
                const int v = 2 + (start + t) % (n - 1);
                const int home = m_legs.at(v, 1);
                if (home == 0 || !m_walks[size_t(m)].has(v, length - home)) continue;
                m_length = length;
                m_chain = {v};
                back(v, length - home, m);
            }
        }
        exhausted = !outOfEffort();
        return m_found;
    }

private:
    bool outOfEffort() const { return m_effort > 0 && m_steps > m_effort; }
    bool enough() const {
        return int(m_found.size()) >= m_want || (!m_found.empty() && m_steps > kVarietyEffort) ||
               outOfEffort();
    }
    // Whether the partner after at and at, driven the other way round between u and what follows
    // them, would be shorter: then no round goes u, at, after.
    bool swapIsShorter(int u, int at) const {
        const qsizetype size = m_chain.size();
        const int after = size >= 2 ? m_chain[size - 2] : 1;
        if (after == 1) return false;
        const int then = size >= 3 ? m_chain[size - 3] : 1;
        const int driven = m_legs.at(u, at) + m_legs.at(at, after) + m_legs.at(after, then);
        const int a = m_legs.at(u, after), b = m_legs.at(after, at), c = m_legs.at(at, then);
        return a != 0 && b != 0 && c != 0 && a + b + c < driven;
    }

    // m_chain holds the partners from the last one back to at; rest is the walk still to find
    // from partner 1 to at, of j legs.
    void back(int at, int rest, int j) {
        if (j == 1) { // rest is the leg from partner 1
            QVector<int> chain{1};
            for (auto it = m_chain.crbegin(); it != m_chain.crend(); ++it)
                chain.append(*it);
            chain.append(1);
            if (shortestOrder(m_legs, chain, m_length) &&
                std::find(m_found.begin(), m_found.end(), chain) == m_found.end())
                m_found.push_back(chain);
            return;
        }
        // The legs shorter than what is left, shortest first.
        const std::vector<Leg>& in = m_into[size_t(at)];
        const int size =
            int(std::lower_bound(in.begin(), in.end(), rest, [](const Leg& l, int km) { return l.km < km; }) -
                in.begin());
        const int start = size > 0 ? below(*m_random, size) : 0;
        for (int t = 0; t < size && !enough(); ++t) {
            ++m_steps;
            const Leg& leg = in[size_t((start + t) % size)];
            if (leg.from == 1 || m_chain.contains(leg.from) ||
                !m_walks[size_t(j - 1)].has(leg.from, rest - leg.km) || swapIsShorter(leg.from, at))
                continue;
            m_chain.append(leg.from);
            back(leg.from, rest - leg.km, j - 1);
            m_chain.removeLast();
        }
    }

    const Legs& m_legs;
    const Into& m_into;
    std::array<Rows, kMostVisits + 1> m_walks;
    Rows m_closes;
    std::vector<QVector<int>> m_found;
    QVector<int> m_chain;
    Random* m_random = nullptr;
    int m_want = 0;
    int m_length = 0;
    qint64 m_steps = 0;
    qint64 m_effort = 0;
};

// A month of trip days, in units of the legs.
struct Plan {
    QVector<int> days;                // the trip days, in order
    std::vector<QVector<int>> chains; // each trip day's stops
    QVector<int> lengths;             // each trip day's length
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

// The days in order: each takes a length still due and a round of it, never the round of the day
// before while the lengths and rounds left allow another. A length with a single round that would
// otherwise be left for consecutive days goes first.
void assignRounds(Plan& plan, const std::map<int, std::vector<QVector<int>>>& rounds, Random& random) {
    std::map<int, int> due; // length -> days still to get it
    for (int length : std::as_const(plan.lengths))
        ++due[length];
    QHash<QVector<int>, int> uses;
    QVector<int> previous;
    const int k = int(plan.lengths.size());
    plan.lengths.clear();
    plan.chains.clear();
    for (int left = k; left > 0; --left) {
        auto differs = [&](int length) {
            const auto& of = rounds.at(length);
            return of.size() > 1 || of.front() != previous;
        };
        int pick = 0;
        // A single-round length due on more than half the days left must take every other day.
        for (const auto& [length, count] : due)
            if (count > 0 && rounds.at(length).size() == 1 && 2 * count > left && differs(length))
                pick = length;
        if (pick == 0) {
            int valid = 0;
            for (const auto& [length, count] : due)
                if (count > 0 && differs(length)) valid += count;
            if (valid == 0) { // unavoidable: only the same round is left
                for (const auto& [length, count] : due)
                    if (count > 0) pick = length;
            } else {
                int draw = below(random, valid);
                for (const auto& [length, count] : due)
                    if (count > 0 && differs(length) && pick == 0 && (draw -= count) < 0) pick = length;
            }
        }
        --due[pick];
        // The least used of its rounds that differs from the day before.
        const QVector<int>* chosen = nullptr;
        for (const QVector<int>& chain : rounds.at(pick))
            if (chain != previous && (!chosen || uses.value(chain) < uses.value(*chosen))) chosen = &chain;
        if (!chosen) chosen = &rounds.at(pick).front();
        ++uses[*chosen];
        previous = *chosen;
        plan.lengths.append(pick);
        plan.chains.push_back(*chosen);
    }
}

// The believable month: every trip day a round of 1..4 different partners in their shortest order,
// the number of trip days near what the target takes at the rounds' middle length, fewer days first,
// every day between half and twice the month's average trip day, no two consecutive days alike while
// the rounds allow. Decided over every round: a length no round has is dropped and the month looked
// for again. preferred: the number of trip days aimed at, also for when no such month exists.
std::optional<Plan> believableMonth(RoundSearch& search, int target, int limit, const MonthHalves& halves,
                                    int mostDays, Random& random, MonthsProgress& progress, int& preferred) {
    std::vector<int> kms = search.lengths();
    if (kms.empty()) return std::nullopt;
    const int middle = kms[kms.size() / 2];
    preferred = std::clamp(int(std::lround(double(target) / middle)), 1, mostDays);
    QVector<int> order{preferred};
    for (int distance = 1; distance < mostDays; ++distance)
        order << preferred - distance << preferred + distance;
    std::map<int, std::vector<QVector<int>>> found; // the rounds of each length looked at
    std::map<int, int> asked;                       // ... and how many were asked for
    // A length only zig-zags or walks with a partner twice have may take long to rule out: first
    // such searches are cut short and their lengths left out; only when no month is found so
    // are they searched to the end.
    std::set<int> doubtful;
    const std::vector<int> all = kms;
    for (const qint64 effort : {kFirstEffort, qint64(0)}) {
        if (effort == 0) {
            if (doubtful.empty()) break;
            for (int length : doubtful) {
                found.erase(length);
                asked.erase(length);
            }
            doubtful.clear();
            kms = all;
            kms.erase(std::remove_if(kms.begin(), kms.end(),
                                     [&](int km) { return found.count(km) && found[km].empty(); }),
                      kms.end());
        }
        for (const int k : std::as_const(order)) {
            if (k < 1 || k > mostDays || !halves.fits(k)) continue;
            // Whatever the total in [target, limit], each day stays between half and twice the average.
            const int lo = int((qint64(limit) + 2 * k - 1) / (2 * k));
            const int hi = int(std::min<qint64>(2 * qint64(target) / k, limit));
            for (;;) {
                Totals allowed(hi);
                int shortest = 0, longest = 0;
                for (int km : kms)
                    if (km >= lo && km <= hi) {
                        allowed.set(km);
                        shortest = shortest == 0 ? km : shortest;
                        longest = km;
                    }
                if (shortest == 0 || qint64(k) * longest < target || qint64(k) * shortest > limit)
                    break; // too short or too long even at the extremes
                const std::vector<Totals> sums = monthSums(runsOf(allowed, hi), k, limit, progress);
                if (int(sums.size()) <= k || !sums[size_t(k)].any(target, limit)) break;
                Plan plan;
                plan.lengths = splitMonth(sums, allowed, hi, k, target, limit, random, plan.total);
                bool realised = true;
                for (int length : std::as_const(plan.lengths)) {
                    // Enough to give each of its days another round, and one more.
                    const int want = int(std::min<qsizetype>(plan.lengths.count(length) + 1, 32));
                    auto& of = found[length];
                    if (asked.count(length) && (int(of.size()) < asked[length] || asked[length] >= want)) {
                        if (of.empty()) realised = false;
                        continue;
                    }
                    bool exhausted = true;
                    of = search.find(length, want, random, effort, exhausted);
                    asked[length] = want;
                    progress.keepResponsive();
                    if (of.empty()) realised = false;
                    if (of.empty() && !exhausted) doubtful.insert(length);
                }
                if (!realised) { // lengths of walks only: gone, and the month drawn again
                    kms.erase(std::remove_if(kms.begin(), kms.end(),
                                             [&](int km) { return found.count(km) && found[km].empty(); }),
                              kms.end());
                    continue;
                }
                for (int i = int(plan.lengths.size()) - 1; i > 0; --i)
                    std::swap(plan.lengths[i], plan.lengths[below(random, i + 1)]);
                plan.days = placeDays(halves, k, random);
                assignRounds(plan, found, random);
                return plan;
            }
        }
    }
    return std::nullopt;
}

// Why no day or no month of walks can be made at all, empty when that is not the reason. Figures
// in km.
QString spanReason(const AppState& s, const DaySpan& span, qint64 unit, int target, qint64 limit,
                   int mostDays, int allowed) {
    if (span.shortest == 0)
        return u"Az 1. partnertől (%1) nem indul olyan kör, amely megadott távolságokon, legfeljebb %2 "
               u"megállóval visszaér oda, ezért nem készíthető minta."_s.arg(PartnerLabel(s, 1))
                   .arg(kMostLegs);
    if (span.shortest * unit > limit)
        return u"A legrövidebb kör %1 km; %2 km-hez (a hibahatárral legfeljebb %3 km-ig) egyetlen nap sem "
               u"fér bele."_s.arg(groupedDigits(span.shortest * unit))
                   .arg(groupedDigits(target))
                   .arg(groupedDigits(limit));
    const qint64 most = qint64(mostDays) * span.longest * unit;
    if (most >= target) return {};
    return mostDays == allowed ? u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 "
                                 u"megengedett napján így legfeljebb "
                                 u"%4 km tehető meg, kevesebb a kért %5 km-nél."_s.arg(kMostLegs)
                                     .arg(groupedDigits(span.longest * unit))
                                     .arg(allowed)
                                     .arg(groupedDigits(most))
                                     .arg(groupedDigits(target))
                               : u"A leghosszabb, legfeljebb %1 megállós kör %2 km; a hónap %3 "
                                 u"megengedett napjából a hónap két "
                                 u"felére elosztva legfeljebb %4 nap használható, ezeken legfeljebb %5 "
                                 u"km tehető meg, kevesebb a kért "
                                 u"%6 km-nél."_s.arg(kMostLegs)
                                     .arg(groupedDigits(span.longest * unit))
                                     .arg(allowed)
                                     .arg(mostDays)
                                     .arg(groupedDigits(most))
                                     .arg(groupedDigits(target));
}

// The month when no believable one exists: decided exactly over every walk of at most 49 legs. Days
// as long as the target takes on about preferred days; reason tells why there is none. Lengths in
// units of the legs; target and limit too, realTarget and realLimit in km for the reason.
std::optional<Plan> exactMonth(const Legs& legs, const Into& into, const DaySpan& span, int target, int limit,
                               int realTarget, qint64 realLimit, const MonthHalves& halves, int mostDays,
                               int preferred, Random& random, MonthsProgress& progress, QString& reason) {
    const int n = legs.n;
    // The lengths a day can have, and the month totals of exactly j trip days (j = 0 .. the most
    // days), first with days up to about twice the average, then longer ones until the limit.
    // A month found with the shorter days is a month; only the last round proves there is none.
    const int top = int(std::min<qint64>(limit, span.longest));
    const int monthTop = int(std::min<qint64>(limit, qint64(mostDays) * span.longest));
    const FewestLegs fewest(into, n, top, progress);
    Totals day(top);
    std::vector<Totals> sums;
    int tripDays = 0;
    int unseen = 1;
    for (int reach = std::min(top, 2 * (target / std::max(preferred, 1)) + 64); tripDays == 0;
         reach = std::min(top, 2 * reach)) {
        for (int length = unseen; length <= reach; ++length)
            if (fewest.at(length, 1) != kUnreachable) day.set(length);
        unseen = reach + 1;
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
                 u"egyetlen havi összeg sem esik %2 és %4 km közé"_s.arg(groupedDigits(span.shortest * legs.unit))
                     .arg(groupedDigits(realTarget))
                     .arg(fitting)
                     .arg(groupedDigits(realLimit)) +
                 (nearest > 0 ? u" (a legközelebbi kisebb: %1 km)."_s.arg(groupedDigits(nearest * legs.unit)) : u"."_s);
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

// What a month of long walks looks like, for the one who decides whether to keep it.
QString longWalksText(const Plan& plan) {
    std::vector<int> legs;
    int mostTimes = 0;
    for (const QVector<int>& chain : plan.chains) {
        legs.push_back(int(chain.size()) - 1);
        std::map<std::pair<int, int>, int> pairs;
        for (qsizetype k = 1; k < chain.size(); ++k)
            mostTimes = std::max(mostTimes, ++pairs[std::minmax(chain[k - 1], chain[k])]);
    }
    std::sort(legs.begin(), legs.end());
    return u"A kért km-hez nincs hihető hónap: olyan, amelynek minden napja egy kör a cégtől 1-4 különböző "
           u"partnerhez (mindegyikhez egyszer, a legrövidebb sorrendben) és vissza, és minden nap a hónap "
           u"átlagos napjának fele és kétszerese között van. Csak hosszú bolyongásokból álló hónap "
           u"készíthető: "
           u"%1 napon naponta %2-%3 út, egy partnerpár között egy nap akár %4-szer."_s.arg(plan.chains.size())
               .arg(legs.front())
               .arg(legs.back())
               .arg(mostTimes);
}

} // namespace

QString longWalksQuestion(const ExactSampleResult& result) {
    return result.reason + u"\r\n\r\nKívánja mégis ezt a mintát használni?"_s;
}

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
    const Legs legs = legsOf(s, n);
    const Into into = legsInto(legs);
    // In units of the legs: the totals that are multiples of the unit within [target, limit].
    const int unit = legs.unit;
    const int lowest = (target + unit - 1) / unit;
    const int highest = int(std::min<qint64>(limit / unit, std::numeric_limits<int>::max() / 4));
    int preferred = mostDays;
    std::optional<Plan> plan;
    if (mostDays > 0 && lowest <= highest) {
        const int top = int(std::min<qint64>(highest, qint64(kMostVisits + 1) * legs.longest));
        RoundSearch search(legs, into, top, progress);
        plan = believableMonth(search, lowest, highest, halves, mostDays, random, progress, preferred);
    }
    if (!plan) {
        const DaySpan span = daySpan(into, n);
        result.reason = spanReason(s, span, unit, target, limit, mostDays, allowed);
        if (result.reason.isEmpty() && lowest > highest)
            result.reason =
                u"Minden megadott távolság %1 km többszöröse, így minden nap és a hónap km-e is az; "
                u"%2 és %3 km között nincs ilyen szám."_s.arg(groupedDigits(unit))
                    .arg(groupedDigits(target))
                    .arg(groupedDigits(limit));
        // Among many partners a month of walks is nearly always among a few of them: looked for
        // there first, and among all only to find one or to prove there is none.
        if (result.reason.isEmpty() && n > kFewPartners) {
            const Legs few = fewOf(legs, kFewPartners);
            const Into fewInto = legsInto(few);
            const DaySpan fewSpan = daySpan(fewInto, few.n);
            QString unused;
            if (fewSpan.shortest != 0 && fewSpan.shortest <= highest)
                plan = exactMonth(few, fewInto, fewSpan, lowest, highest, target, limit, halves, mostDays,
                                  preferred, random, progress, unused);
            if (plan)
                for (QVector<int>& chain : plan->chains)
                    for (int& p : chain)
                        p = few.id[size_t(p)];
        }
        if (result.reason.isEmpty() && !plan)
            plan = exactMonth(legs, into, span, lowest, highest, target, limit, halves, mostDays, preferred,
                              random, progress, result.reason);
        if (!plan) {
            result.outcome = ExactOutcome::Impossible;
            return result;
        }
        result.longWalks = true;
        result.reason = longWalksText(*plan);
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
        m.dayKm[size_t(plan->days[i] - 1)] = plan->lengths[i] * unit;
    }
    m.monthKm = plan->total * unit;
    s.month = std::move(m);
    result.outcome = ExactOutcome::Generated;
    result.tripDays = tripDays;
    return result;
}

} // namespace rv
