#include "tables.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

std::array<QString, kMultiplierCount> multiplierNames() {
    return {u"Közút"_s,       u"Budapest"_s,           u"Megyeszékhely"_s,  u"Egyéb város"_s,
            u"Földút"_s,      u"Akadályozott forg."_s, u"Klímahasználat"_s, u"Téli üzemeltetés"_s};
}

QString outOfRangeText(Quantity q, double value) {
    const ValueRange& r = rangeOf(q);
    return u"a(z) %1 értéke (%2) nem %3 és %4 közötti"_s.arg(QString::fromUtf16(r.name))
        .arg(value, 0, 'g', 9)
        .arg(r.min)
        .arg(r.max);
}

QString quotedField(const QString& text) {
    if (text.size() <= kQuotedChars)
        return u'"' + text + u'"';
    return u'"' + text.left(kQuotedChars) + u"…\" (%1 karakter)"_s.arg(text.size());
}

std::array<FuelType, kFuelTypeCount> fuelTypeTable() {
    const QString lpg = QString::fromUtf16(kLpgListFile);
    return {FuelType{u"ESZ-95"_s, u"b95.rvd"_s, 1},
            FuelType{u"ESZ-98"_s, u"b98.rvd"_s, 2},
            FuelType{u"dízel"_s, u"bdiz.rvd"_s, 3},
            FuelType{u"keverék"_s, u"bkev.rvd"_s, 4},
            // The older program knows no gas: ESZ-95 is the nearest, the petrol norm they derive from.
            FuelType{u"LPG (tiszta gázüzemű)"_s, lpg, 1},
            FuelType{u"LPG (kettős üzemű)"_s, lpg, 1},
            FuelType{u"CNG"_s, QString::fromUtf16(kCngListFile), 1}};
}

QString fuelTypeName(int fuelIndex) {
    return fuelIndex >= 0 && fuelIndex < kFuelTypeCount ? fuelTypeTable()[size_t(fuelIndex)].name : QString();
}

int storedFuelType(int fuelType) {
    return fuelType >= 1 && fuelType <= kFuelTypeCount ? fuelTypeTable()[size_t(fuelType - 1)].storedAs : 1;
}

QString fuelPriceStem(int fuelIndex) {
    // Order of the fuel type table.
    static const std::array<QString, kFuelTypeCount> stems = {u"benzin"_s,  u"benzin"_s,  u"gázolaj"_s, u"keverék"_s,
                                                              u"autógáz"_s, u"autógáz"_s, u"földgáz"_s};
    return fuelIndex >= 0 && fuelIndex < kFuelTypeCount ? stems[size_t(fuelIndex)] : u"üzemanyag"_s;
}

const std::array<QString, 12>& MonthAbbrev() {
    static const std::array<QString, 12> t = {u"jan"_s, u"feb"_s, u"mar"_s, u"apr"_s, u"maj"_s, u"jun"_s,
                                              u"jul"_s, u"aug"_s, u"sze"_s, u"okt"_s, u"nov"_s, u"dec"_s};
    return t;
}

const std::array<QString, 12>& MonthNames() {
    static const std::array<QString, 12> t = {u"Január"_s,    u"Február"_s,   u"Március"_s,  u"Április"_s,
                                              u"Május"_s,     u"Június"_s,    u"Július"_s,   u"Augusztus"_s,
                                              u"Szeptember"_s, u"Október"_s, u"November"_s, u"December"_s};
    return t;
}

const std::array<QString, 7>& DayNames() {
    static const std::array<QString, 7> t = {u"hétfő"_s,  u"kedd"_s,    u"szerda"_s,  u"csütörtök"_s,
                                             u"péntek"_s, u"szombat"_s, u"vasárnap"_s};
    return t;
}

const std::array<QString, 7>& DayAbbrev() {
    static const std::array<QString, 7> t = {u"H"_s, u"K"_s, u"Sz"_s, u"Cs"_s, u"P"_s, u"Sz"_s, u"V"_s};
    return t;
}

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && QDate::isLeapYear(year))
        return 29;
    return MonthDays[size_t(month - 1)];
}

bool IsBlank(const QString& text) { return text.trimmed().isEmpty(); }

QString versionText() { return u"%1.%2"_s.arg(kVersionMajor).arg(kVersionMinor); }

} // namespace rv
