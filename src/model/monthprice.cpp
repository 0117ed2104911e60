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

bool publishedListWatched(const AppState& s, int fuelIndex) {
    if (!navColumnOf(fuelIndex))
        return false;
    if (fuelIndex < kOlderFuelTypeCount)
        return true;
    return std::any_of(s.cars.cbegin(), s.cars.cend(), [&](const CarRecord& c) {
        return navColumnOf(c.fuelType - 1) == navColumnOf(fuelIndex);
    });
}

QString PriceFault::text() const {
    // "literrel", "kilogrammal"
    const QString unit = kilograms ? u"Ft/kg"_s : u"Ft/l"_s;
    const QString with = unit + (kilograms ? u"-mal"_s : u"-rel"_s);
    if (published)
        return u"%1 a közzétett NAV-ár (%2) %3 %4, de az autó árai között nincs; a %5i %6 %7 számolva"_s
            .arg(monthOnto(month), fuelName)
            .arg(*published)
            .arg(unit, navMonthText(from))
            .arg(price)
            .arg(with);
    return u"%1 nincs közzétett NAV-ár (%2); a %3i %4 %5 számolva"_s.arg(monthOnto(month), fuelName,
                                                                        navMonthText(from))
        .arg(price)
        .arg(with);
}

QString navFuelName(int fuelIndex) {
    static const std::array<QString, kNavColumnCount> names = {u"ESZ-95"_s, u"gázolaj"_s, u"keverék"_s, u"LPG"_s,
                                                              u"CNG"_s};
    if (const auto column = navColumnOf(fuelIndex))
        return names[size_t(*column)];
    return fuelIndex >= 0 && fuelIndex < kFuelTypeCount ? fuelTypeTable()[size_t(fuelIndex)].name : QString();
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
