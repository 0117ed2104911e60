#include "cost.h"
#include "model/grouping.h"

#include "model/decimal.h"
#include "storage/navprices.h"
#include "model/state.h"

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// Partners that have a row in both the partner list and the distance matrix.
bool knownLeg(const AppState& s, int p, int q) {
    const int n = std::min(s.partnerCount(), s.distances.size());
    return p >= 1 && q >= 1 && p <= n && q <= n;
}

template <typename T> T saturate(qint64 v) {
    return T(std::clamp<qint64>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// Whatever the operands in memory (a damaged file, a test), a leg's cost stays far inside
// qint64, so that the conversion is defined and sums of legs can saturate.
constexpr long double kMaxLegCost = 1e15L;
qint64 wholeForints(long double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<qint64>(std::floor(std::clamp(v, -kMaxLegCost, kMaxLegCost)));
}

} // namespace

// The correction factors adjust a type-based norm only; a flat norm takes none (see norms.h).
float seasonMultiplier(const AppState& s, bool airConditioning, bool winter) {
    if (s.carFacts.norm == NormKind::Flat)
        return 1.0f;
    if (airConditioning)
        return s.multipliers[kAirConditioningRow].value;
    if (winter)
        return s.multipliers[kWinterRow].value;
    return 1.0f;
}

std::optional<qint16> fuelPriceOn(const AppState& s, const QDate& day) {
    for (auto it = s.fuelPrices.crbegin(); it != s.fuelPrices.crend(); ++it)
        if (it->month.isValid() && it->month <= day)
            return it->price;
    return std::nullopt;
}

float routeMultiplier(const AppState& s, int routeType) {
    if (routeType < 1 || routeType > kMultiplierCount || s.carFacts.norm == NormKind::Flat)
        return 1.0f;
    return s.multipliers[size_t(routeType - 1)].value;
}

// Exact on the decimals the user typed (see Decimal). A negative, endless or huge operand, which
// only a damaged file or a test brings, is costed the old way: singles multiplied in extended
// precision and held inside kMaxLegCost.
qint64 legFuelCost(int km, float consumption, int price, float multiplier, float season) {
    long double v = static_cast<long double>(static_cast<float>(km));
    v *= static_cast<long double>(consumption);
    v /= 100.0L;
    v *= static_cast<long double>(static_cast<float>(price));
    v *= static_cast<long double>(multiplier);
    v *= static_cast<long double>(season);
    const auto c = Decimal::of(consumption);
    const auto m = Decimal::of(multiplier);
    const auto f = Decimal::of(season);
    if (c && m && f && km >= 0 && price >= 0 && v < kMaxLegCost)
        if (const auto cost = (Decimal(quint64(km)) * *c * Decimal(quint64(price)) * *m * *f).cut(2))
            return *cost;
    return wholeForints(v);
}

qint64 legGeneralCost(int km, float generalCost) {
    const long double v = static_cast<long double>(static_cast<float>(km)) * static_cast<long double>(generalCost);
    if (const auto g = Decimal::of(generalCost); g && km >= 0 && v < kMaxLegCost)
        if (const auto cost = (Decimal(quint64(km)) * *g).cut())
            return *cost;
    return wholeForints(v);
}

qint64 addSaturated(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 fuelTenthsCut(float consumption, float season, const QVector<KmAtMultiplier>& legs) {
    const auto cons = Decimal::of(consumption);
    const auto factor = Decimal::of(season);
    bool exact = cons && factor;
    Decimal sum;
    for (const KmAtMultiplier& leg : legs) {
        const auto m = Decimal::of(leg.multiplier);
        exact = exact && m && leg.km >= 0;
        if (!exact)
            break;
        sum = sum + Decimal(quint64(leg.km)) * *m;
    }
    // Litres are the product over 100; tenths drop one digit less.
    if (exact)
        if (const auto tenths = (*cons * *factor * sum).cut(1))
            return *tenths;
    // A negative or endless figure has no exact decimal: the plain product is cut instead.
    double litres = 0;
    for (const KmAtMultiplier& leg : legs)
        litres += double(consumption) / 100.0 * double(leg.km) * double(leg.multiplier) * double(season);
    return qint64(std::floor(litres * 10.0));
}

QString costCaption(qint64 total) { return u"Összes költség: "_s + groupedDigits(total) + u" Ft"_s; }

QString missingPriceText(int year, int month) {
    return u"Hiányzik a(z) %1 havi üzemanyagár (a NAV erre a hónapra közzétett ára). Adja meg az Adatbázis "
           u"ablak Üzemanyagárak lapján (az „Eredeti” gomb a közzétett árakat tölti be), vagy töltse be fájlból az "
           u"Eszközök menü „Üzemanyagárak frissítése...” pontjával (parancssorból: rovanta-cli prices import "
           u"FÁJL)."_s.arg(navMonthText(QDate(year, month, 1)));
}

qint64 refreshKilometres(const AppState& s, MonthLog& log) {
    qint64 month = 0;
    const int width = std::min(log.stopWidth, log.stops.columns());
    // A day past the month's end keeps its own figure for the editor but counts in no total.
    const bool valid = log.month >= 1 && log.month <= 12 && QDate(log.year, log.month, 1).isValid();
    const int days = valid ? daysInMonth(log.year, log.month) : kLogDays;
    for (int day = 1; day <= kLogDays; ++day) {
        qint64 km = 0;
        for (int k = 2; k <= width; ++k) {
            const int p = log.stops.at(day, k - 1);
            const int q = log.stops.at(day, k);
            if (knownLeg(s, p, q))
                km += s.distances.at(p, q).distance;
        }
        log.dayKm[size_t(day - 1)] = saturate<int>(km);
        if (day <= days)
            month += km;
    }
    log.monthKm = saturate<qint32>(month);
    return month;
}

qint64 legKilometres(const AppState& s, const MonthLog& log) {
    MonthLog copy = log;
    return refreshKilometres(s, copy);
}

Season seasonOf(const AppState& s, bool airConditioning, bool winter) {
    const SeasonBox box = airConditioning ? SeasonBox::AirConditioning : winter ? SeasonBox::Winter : SeasonBox::None;
    return Season{box, seasonMultiplier(s, airConditioning, winter)};
}

Season seasonOf(const AppState& s, SeasonBox box) {
    return seasonOf(s, box == SeasonBox::AirConditioning, box == SeasonBox::Winter);
}

} // namespace rv
