#include "sample.h"

#include "model/grouping.h"
#include "model/holidays.h"
#include "storage/numeric.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kColumns = 50; // a generated day has at most this many stops

using DayStops = std::array<qint16, kColumns + 1>; // columns 1..50, [0] unused
using Table = std::array<DayStops, kLogDays + 1>;  // days 1..31, [0] unused

// Draws the next stop among the partners the current one has a known distance to, each with the
// same chance, as drawing from all partners until one fits would. Rows with many known
// distances are drawn that way; sparse rows from a list, so a large sparse matrix stays fast.
class NextStop {
public:
    NextStop(const AppState& s, Random& random) : m_s(s), m_random(random), m_rows(size_t(s.partnerCount()) + 1) {}

    // 0 when the partner has no known distance to anybody.
    int draw(int from) {
        Row& row = m_rows[size_t(from)];
        if (!row.ready)
            build(from, row);
        if (row.count == 0)
            return 0;
        const int n = m_s.partnerCount();
        if (row.dense) {
            for (int miss = 0; miss < 64; ++miss) {
                const int p = pick(n) + 1;
                if (m_s.distances.at(from, p).distance >= 1)
                    return p;
            }
            listRow(from, row); // an unlucky streak: draw from the list instead
        }
        return row.list[size_t(pick(row.count))];
    }

private:
    struct Row {
        bool ready = false;
        bool dense = false;
        int count = 0;
        std::vector<qint16> list;
    };

    // Int(n * Rnd) in single precision: 0..n-1.
    int pick(int n) {
        const int k = int(std::floor(float(n) * m_random.next()));
        return std::clamp(k, 0, n - 1);
    }

    void build(int from, Row& row) {
        const int n = m_s.partnerCount();
        for (int p = 1; p <= n; ++p)
            if (m_s.distances.at(from, p).distance >= 1)
                ++row.count;
        row.dense = qint64(row.count) * 4 >= n; // at most four draws on average
        if (!row.dense)
            listRow(from, row);
        row.ready = true;
    }

    void listRow(int from, Row& row) {
        const int n = m_s.partnerCount();
        row.dense = false;
        row.list.reserve(size_t(row.count));
        for (int p = 1; p <= n; ++p)
            if (m_s.distances.at(from, p).distance >= 1)
                row.list.push_back(qint16(p));
    }

    const AppState& m_s;
    Random& m_random;
    std::vector<Row> m_rows;
};

bool anyDistance(const AppState& s) {
    const int n = s.partnerCount();
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (s.distances.at(i, j).distance != 0)
                return true;
    return false;
}

// Int(scale * Rnd + offset) in single precision, kept within offset .. offset + scale - 1: the
// largest Rnd rounds the float sum up to offset + scale, a partner that does not exist.
int drawPartner(Random& random, int scale, int offset) {
    const int p = int(std::floor(float(scale) * random.next() + float(offset)));
    return std::clamp(p, offset, offset + scale - 1);
}

// The month as a fresh record, filled from a table of the given width.
void storeMonth(AppState& s, const SampleRequest& request, const Table& table, int width, qint64 monthKm,
                const std::array<int, kLogDays + 1>& dayKm) {
    MonthLog m;
    m.year = request.year;
    m.month = request.month;
    m.startOdometer = s.month.startOdometer; // the reading the caller chained on stays
    m.stopWidth = width;
    m.stops.reset(width);
    for (int d = 1; d <= kLogDays; ++d) {
        for (int c = 1; c <= width; ++c)
            m.stops.at(d, c) = table[size_t(d)][size_t(c)];
        m.dayKm[size_t(d - 1)] = dayKm[size_t(d)];
    }
    m.monthKm = qint32(std::min<qint64>(monthKm, std::numeric_limits<qint32>::max()));
    m.onDisk = s.month.onDisk;
    s.month = std::move(m);
}

SampleOutcome fallbackWithoutDistances(AppState& s, const SampleRequest& request, Random& random) {
    if (s.prompter && s.prompter->ask(u"Nincs megadava a távolság semelyik két partner között.\r\n"
                                      u"Kívánja így létrehozni a minta-nyilvántartást?"_s,
                                      Yes | No, MsgIcon::Question) != Yes)
        return SampleOutcome::FallbackDeclined;
    const int n = s.partnerCount();
    Table table{};
    const int days = daysInMonth(request.year, request.month);
    for (int d = 1; d <= days; ++d) {
        DayStops& day = table[size_t(d)];
        day[1] = 1;
        day[2] = qint16(drawPartner(random, n - 1, 2));
        do
            day[3] = qint16(drawPartner(random, n, 1));
        while (day[3] == day[2]);
        do
            day[4] = qint16(drawPartner(random, n - 1, 2));
        while (day[4] == day[3]);
        day[5] = 1;
    }
    storeMonth(s, request, table, 5, 0, {});
    return SampleOutcome::Generated;
}

} // namespace

SampleSettings sampleSettings(const Settings* settings) {
    SampleSettings out;
    double tolerance = settings ? leadingNumber(settings->text(keys::Tolerance, u"10"_s)) : 10;
    if (tolerance == 0)
        tolerance = 10;
    out.factor = float(1.0 + tolerance / 100.0);
    // A 16-bit value, rounded half to even.
    const double tries = settings ? leadingNumber(settings->text(keys::Tries, u"100"_s)) : 100;
    out.tries = roundHalfEven(std::clamp(tries, -32768.0, 32767.0));
    if (out.tries == 0)
        out.tries = 100;
    return out;
}

qint64 sampleLimit(int target, float factor) { return qint64(std::floor(double(target) * double(factor))); }

QVector<int> sampleWorkingDays(int year, int month, const std::array<bool, 8>& weekdays, bool holidays) {
    QVector<int> days;
    const int n = daysInMonth(year, month);
    for (int d = 1; d <= n; ++d) {
        const QDate date(year, month, d);
        const int weekday = workingWeekday(date) % 7 + 1; // Sunday = 1
        if (weekdays[size_t(weekday)] && !(isPublicHoliday(date) && !holidays))
            days.append(d);
    }
    return days;
}

QString noWorkingDaysMessage() {
    return u"A kiválasztott hónapban egyetlen nap sem felel meg a megjelölt napoknak,\r\n"
           u"ezért nem készíthető minta. Kérem jelöljön ki más napokat is."_s;
}

QString daysCutMessage() {
    return u"Nagyon kicsik a megadott távolságok: egyik próbálkozásban sem ért vissza minden nap legfeljebb %1 "
           u"megállóval a céghez, ezért nem készült minta.\r\nA „Pontos km-cél” jelölővel a kért km kevesebb napra "
           u"is kerülhet."_s.arg(kColumns - 1);
}

QString sampleStatusText(int tryNumber, int tries, qint64 bestTotal) {
    return u"Minta készítése... (%1/%2 %3 km)"_s.arg(tryNumber).arg(tries).arg(groupedDigits(bestTotal));
}

SampleOutcome MintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress) {
    if (s.partnerCount() < 2 || request.month < 1 || request.month > 12)
        return SampleOutcome::NoPartners;
    MersenneRandom clockRandom{unsigned(QDateTime::currentMSecsSinceEpoch())};
    Random& random = s.random ? *s.random : clockRandom;

    const SampleSettings settings = sampleSettings(s.settings);
    const int tries = std::max(settings.tries, 1); // one try when the setting is negative

    if (!anyDistance(s))
        return fallbackWithoutDistances(s, request, random);

    const QVector<int> workingDays = sampleWorkingDays(request.year, request.month, request.weekdays, request.holidays);
    if (workingDays.isEmpty()) {
        if (s.prompter)
            s.prompter->inform(noWorkingDaysMessage());
        return SampleOutcome::NoWorkingDays;
    }

    int dailyTarget = request.target / int(workingDays.size());
    const qint64 limit = sampleLimit(request.target, settings.factor);

    progress.setProgressMaximum(tries);
    progress.setProgressValue(0);
    progress.setStatus(sampleStatusText(1, tries, 0));

    NextStop next(s, random);
    auto dist = [&](int i, int j) { return int(s.distances.at(i, j).distance); };

    Table trial{};
    Table best{};
    std::array<int, kLogDays + 1> dayKm{};
    std::array<int, kLogDays + 1> bestDayKm{};
    qint64 total = 0;
    qint64 bestTotal = 0;
    bool haveBest = false;
    bool succeeded = false;
    bool cut = false; // a day of the try ended away from partner 1: the try is never used
    int stuckAt = 0;  // the first partner a day could not leave
    int tryNumber = 1;
    do {
        cut = false;
        total = 0;
        trial = Table{};
        dayKm = {};
        for (int d : workingDays) {
            DayStops& day = trial[size_t(d)];
            int km = 0;
            int c = 1;
            day[1] = 1;
            for (;;) {
                const int from = day[size_t(c)];
                const int p = next.draw(from);
                if (p == 0) {
                    if (stuckAt == 0)
                        stuckAt = from;
                    cut = cut || from != 1; // no way on from here: the day ends where it stands
                    break;
                }
                ++c;
                day[size_t(c)] = qint16(p);
                km += dist(from, p);
                if (c == kColumns) {
                    cut = true;
                    break;
                }
                if (dailyTarget <= km + dist(1, p) && dist(1, p) != 0) {
                    day[size_t(c + 1)] = 1;
                    km += dist(p, 1);
                    break;
                }
            }
            dayKm[size_t(d)] = km;
            total += km;
        }

        ++tryNumber;
        dailyTarget = std::max(dailyTarget - tryNumber, 0);
        if (cut) {
            // not a month anybody drove
        } else if (total <= limit) {
            succeeded = true;
        } else if (!haveBest || total < bestTotal) {
            best = trial;
            bestDayKm = dayKm;
            bestTotal = total;
            haveBest = true;
        }
        if (succeeded)
            tryNumber = tries;
        progress.keepResponsive();
        progress.setProgressValue(progress.progressValue() + 1);
        progress.setStatus(sampleStatusText(tryNumber, tries, bestTotal));
    } while (tryNumber < tries);

    if (stuckAt != 0 && s.prompter)
        s.prompter->inform(u"A(z) „%1” partnertől egyetlen partnerhez sincs megadva távolság,\r\n"_s.arg(PartnerLabel(s, stuckAt)) +
                           (stuckAt == 1 ? u"ezért a minta egyes napjai ott véget értek."_s
                                         : u"ezért onnan nem vezet út vissza a céghez."_s));
    if (!succeeded && !haveBest) {
        if (s.prompter)
            s.prompter->inform(daysCutMessage());
        progress.setProgressValue(0);
        return SampleOutcome::DaysCut;
    }
    if (!succeeded) {
        if (s.prompter)
            s.prompter->inform(u"Túl nagyok a távolságok, nem sikerült\r\n"
                               u"a hibakorláton belül megközelíteni a kívánt távolságot."_s);
    }

    const Table& chosen = succeeded ? trial : best;
    int width = 1;
    for (int c = kColumns; c >= 1 && width == 1; --c)
        for (int d = 1; d <= kLogDays; ++d)
            if (chosen[size_t(d)][size_t(c)] != 0) {
                width = c;
                break;
            }
    storeMonth(s, request, chosen, width, succeeded ? total : bestTotal, succeeded ? dayKm : bestDayKm);
    progress.setProgressValue(0);
    return SampleOutcome::Generated;
}

} // namespace rv
