#pragma once

#include <QDate>
#include <QString>

#include <array>

namespace rv {

// The constant tables. Indices are 0-based; partner, car and day numbers elsewhere are 1-based.
struct MultiplierEntry {
    QString name;
    float value = 0;
};

struct FuelType {
    QString name;
    QString oldFile; // the published-price file of this fuel type, under Users/
};

constexpr int kMultiplierCount = 8;
constexpr int kRouteTypeCount = 6;   // route types 1..6 are multiplier entries 0..5
constexpr int kAirConditioningRow = 6; // 0-based entry of "Klímahasználat"
constexpr int kWinterRow = 7;          // 0-based entry of "Téli üzemeltetés"
constexpr int kFuelTypeCount = 4;

std::array<QString, kMultiplierCount> multiplierNames();
std::array<FuelType, kFuelTypeCount> fuelTypeTable();

// February is always 28 here; daysInMonth() below knows leap years.
constexpr std::array<int, 12> MonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const std::array<QString, 12>& MonthAbbrev();
const std::array<QString, 12>& MonthNames();
const std::array<QString, 7>& DayNames();  // Monday first
const std::array<QString, 7>& DayAbbrev(); // Monday first

// Days of a month of a year, February 29 in leap years. Every day loop of a month uses this.
int daysInMonth(int year, int month);

bool IsBlank(const QString& text);
bool IsHoliday(const QDate& date);

// Name of the program's version in data files and captions: "2.2".
QString versionText();
constexpr int kVersionMajor = ROVANTA_VERSION_MAJOR;
constexpr int kVersionMinor = ROVANTA_VERSION_MINOR;
constexpr int kVersionPatch = ROVANTA_VERSION_PATCH;
inline const QString kAppTitle = QStringLiteral("Rovanta+");

} // namespace rv
