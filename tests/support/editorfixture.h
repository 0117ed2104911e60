#pragma once

#include "testenv.h"

#include <memory>

namespace rv {

// Partners 1..n ("Partner k - Város k", odd ones with an address), every pair 10 × (i + j) km
// apart on route type 1, all multipliers 1.
inline void fillPartners(AppState& s, int n) {
    s.partners.clear();
    for (int i = 1; i <= n; ++i)
        s.partners.append(Partner{QStringLiteral("Partner %1").arg(i), QStringLiteral("Város %1").arg(i),
                                  i % 2 ? QStringLiteral("Fő utca %1").arg(i) : QString()});
    s.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            s.distances.at(i, j) = DistanceCell{qint16(i == j ? 0 : 10 * (i + j)), 1};
    for (auto& m : s.multipliers)
        m.value = 1.0f;
}

// Replaces a day's stops, widening the table when needed. A day of trips gets a purpose, as a
// filled-in month has: a trip without one is a fault of its own.
inline void setDay(MonthLog& log, int day, const QVector<int>& stops) {
    const int n = int(stops.size());
    if (log.stops.columns() < n)
        log.stops.resize(n);
    log.stopWidth = std::max(log.stopWidth, n);
    for (int k = 1; k <= log.stops.columns(); ++k)
        log.stops.at(day, k) = qint16(k <= n ? stops[k - 1] : 0);
    if (n >= 2 && log.comments[size_t(day - 1)].isEmpty())
        log.comments[size_t(day - 1)] = QStringLiteral("Tárgyalás");
}

inline QVector<int> ints(std::initializer_list<int> v) { return QVector<int>(v); }

// A new month of a logged-in car (8 l/100 km, 10 Ft/km, 250 Ft from 2000) with nine partners.
struct MonthFixture {
    std::unique_ptr<TestEnv> env;
    AppState* s = nullptr;
    MonthLog log;

    void start(int year, int month) {
        env = std::make_unique<TestEnv>();
        env->loginCar();
        s = &env->state;
        fillPartners(*s, 9);
        s->fuelPrices = {FuelPrice{QDate(2000, 1, 1), 250}};
        log = MonthLog{};
        log.year = year;
        log.month = month;
    }
};

} // namespace rv
