#include "monthprice.h"

#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/navprices.h"
#include "model/state.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

bool sameMonth(const QDate& a, const QDate& b) { return a.year() == b.year() && a.month() == b.month(); }

bool hasMonth(const QVector<FuelPrice>& list, const QDate& first) {
    return std::any_of(list.begin(), list.end(), [&](const FuelPrice& p) { return p.month.isValid() && sameMonth(p.month, first); });
}

// Month names end in a back or a front vowel: "januárra", "novemberre".
QString monthOnto(const QDate& d) {
    return navMonthText(d) + (d.month() >= 9 ? u"re"_s : u"ra"_s);
}

} // namespace

QVector<FuelPrice> publishedList(const AppState& s, int fuelIndex) {
    QVector<FuelPrice> prices;
    if (fuelIndex < 0 || fuelIndex >= kFuelTypeCount || s.programDir.isEmpty())
        return prices;
    const QString path = s.usersDir() + fuelTypeTable()[size_t(fuelIndex)].oldFile;
    QByteArray data;
    if (!QFileInfo::exists(path) || !readDataFile(s.programDir, path, data) || !parseFuelPrices(data, path, prices))
        prices.clear();
    return prices;
}

QString PriceFault::text() const {
    return u"%1 nincs közzétett NAV-ár (%2); a %3i %4 Ft/l-rel számolva"_s.arg(monthOnto(month), fuelName,
                                                                                  navMonthText(from))
        .arg(price);
}

QString navFuelName(int fuelIndex) {
    static const std::array<QString, kNavColumnCount> names = {u"ESZ-95"_s, u"gázolaj"_s, u"keverék"_s, u"LPG"_s,
                                                              u"CNG"_s};
    if (const auto column = navColumnOf(fuelIndex))
        return names[size_t(*column)];
    return fuelIndex >= 0 && fuelIndex < kFuelTypeCount ? fuelTypeTable()[size_t(fuelIndex)].name : QString();
}

std::optional<PriceFault> priceFaultOf(const QVector<FuelPrice>& prices, const QVector<FuelPrice>& published,
                                       int year, int month, const QVector<int>& legDays) {
    const QDate first(year, month, 1);
    QDate earliest;
    for (const FuelPrice& p : published)
        if (p.month.isValid() && (!earliest.isValid() || p.month < earliest))
            earliest = p.month;
    // Before the list begins there is nothing it could have said.
    if (!first.isValid() || !earliest.isValid() || first <= QDate(earliest.year(), earliest.month(), 1) ||
        hasMonth(published, first))
        return std::nullopt;
    for (int day : legDays) {
        const QDate date(year, month, day);
        const FuelPrice* used = nullptr;
        for (auto it = prices.crbegin(); it != prices.crend() && !used; ++it)
            if (it->month.isValid() && it->month <= date)
                used = &*it;
        if (used && used->month < first)
            return PriceFault{first, used->month, used->price, {}};
    }
    return std::nullopt;
}

std::optional<PriceFault> monthPriceFault(const AppState& s, const MonthLog& log) {
    if (s.currentCar < 1 || s.currentCar > s.carCount())
        return std::nullopt;
    const int fuel = s.car(s.currentCar).fuelType - 1;
    if (fuel < 0 || fuel >= kFuelTypeCount)
        return std::nullopt;
    QVector<int> legDays;
    const int width = std::min(log.stopWidth, log.stops.columns());
    const int days = daysInMonth(log.year, log.month);
    for (int day = 1; day <= days && width >= 2; ++day)
        if (log.stops.at(day, 1) != 0 && log.stops.at(day, 2) != 0)
            legDays.append(day);
    if (legDays.isEmpty())
        return std::nullopt;
    auto fault = priceFaultOf(s.fuelPrices, publishedList(s, fuel), log.year, log.month, legDays);
    if (fault)
        fault->fuelName = navFuelName(fuel);
    return fault;
}

QVector<QDate> missingRecentMonths(const QVector<FuelPrice>& published, const QDate& today) {
    QVector<QDate> missing;
    if (published.isEmpty() || !today.isValid())
        return missing;
    const QDate current(today.year(), today.month(), 1);
    for (const QDate& d : {current.addMonths(-1), current})
        if (!hasMonth(published, d))
            missing.append(d);
    return missing;
}

} // namespace rv
