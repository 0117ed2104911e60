#pragma once

#include <QDate>
#include <QString>

#include <array>

namespace rv {

// The constant tables. Indices are 0-based; partner, car and day numbers elsewhere are 1-based.
struct MultiplierEntry {
    QString name;
    float value = 1; // never 0: a multiplier that failed to load must not zero every cost
};

struct FuelType {
    QString name;
    QString oldFile; // the published-price file of this fuel type, under Users/
    int storedAs = 0; // the kind user.rvd holds for it (1-based): the nearest the older program knows
};

constexpr int kMultiplierCount = 8;
constexpr int kRouteTypeCount = 6;   // route types 1..6 are multiplier entries 0..5
constexpr int kAirConditioningRow = 6; // 0-based entry of "Klímahasználat"
constexpr int kWinterRow = 7;          // 0-based entry of "Téli üzemeltetés"
// The fuel kinds a car may have: ESZ-95, ESZ-98, dízel, keverék, then the gas kinds LPG (tiszta
// gázüzemű), LPG (kettős üzemű) and CNG. The first kOlderFuelTypeCount are the kinds the older
// program knows, the only ones user.rvd holds, each with a published list of its own; the gas
// kinds share the LPG and the CNG list and are kept in the car's facts file (model/carfacts).
constexpr int kFuelTypeCount = 7;
constexpr int kOlderFuelTypeCount = 4;
inline constexpr const char16_t* kLpgListFile = u"blpg.rvd";
inline constexpr const char16_t* kCngListFile = u"bcng.rvd";

std::array<QString, kMultiplierCount> multiplierNames();

// What a stored number may be. A file holding anything else is damaged, and no form stores it:
// these bound every cost and kilometre sum far below what the arithmetic can hold.
enum class Quantity { Consumption, GeneralCost, Multiplier, Price, Distance };
struct ValueRange {
    Quantity quantity;
    const char16_t* name; // as the messages say it
    double min;
    double max;
    bool contains(double v) const { return v >= min && v <= max; }
};
inline constexpr std::array<ValueRange, 5> kValueRanges = {{
    {Quantity::Consumption, u"fogyasztás (l/100 km)", 0, 100},
    {Quantity::GeneralCost, u"általános költség (Ft/km)", 0, 1000},
    {Quantity::Multiplier, u"szorzó", 0.1, 10},
    {Quantity::Price, u"üzemanyagár (Ft/l)", 0, 32767},
    {Quantity::Distance, u"távolság (km)", 0, 32767},
}};
constexpr const ValueRange& rangeOf(Quantity q) { return kValueRanges[size_t(q)]; }
// "a fogyasztás (l/100 km) (150) nem 0 és 100 közötti"
QString outOfRangeText(Quantity q, double value);

// The longest text field a data file may hold; a longer one is damage, refused as soon as it is
// met. Messages and the error log quote at most kQuotedChars of a field.
constexpr int kMaxFieldChars = 4096;
constexpr int kQuotedChars = 100;
QString quotedField(const QString& text);
std::array<FuelType, kFuelTypeCount> fuelTypeTable();
// The name of a fuel type (0-based index), "CNG"; empty outside the table.
QString fuelTypeName(int fuelIndex);
// What user.rvd holds for a fuel type (1-based): itself for the older kinds, the nearest of them
// (ESZ-95) for a gas kind; 1 outside the table.
int storedFuelType(int fuelType);
// The word a fuel's price is named by ("benzin", "gázolaj", "keverék", "autógáz", "földgáz"), as in "gázolajár",
// "gázolajárai"; "üzemanyag" for an index outside the table.
QString fuelPriceStem(int fuelIndex);

// February is always 28 here; daysInMonth() below knows leap years.
constexpr std::array<int, 12> MonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const std::array<QString, 12>& MonthAbbrev();
const std::array<QString, 12>& MonthNames();
const std::array<QString, 7>& DayNames();  // Monday first
const std::array<QString, 7>& DayAbbrev(); // Monday first

// Days of a month of a year, February 29 in leap years. Every day loop of a month uses this.
int daysInMonth(int year, int month);

bool IsBlank(const QString& text);

// Name of the program's version in data files and captions: "2.2".
QString versionText();
constexpr int kVersionMajor = ROVANTA_VERSION_MAJOR;
constexpr int kVersionMinor = ROVANTA_VERSION_MINOR;
constexpr int kVersionPatch = ROVANTA_VERSION_PATCH;
inline const QString kAppTitle = QStringLiteral("Rovanta+");

} // namespace rv
