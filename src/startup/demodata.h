#pragma once

#include "storage/result.h"

#include <QDate>
#include <QString>

namespace rv {

// The demo's three months: January to March of the year before today, each started where the
// previous one's odometer stopped.
constexpr int kDemoMonths = 3;
constexpr qint32 kDemoFirstOdometer = 48230;

// Writes a complete data directory to try the program on: two cars (a diesel one on its type-based
// norm, and an LPG one, kettős üzemű, on the flat norm of its engine size), a dozen partners in real
// towns with road distances and route types, the legal multipliers, the NAV fuel prices built
// into the program and three generated months of the year before today for each car; in the folder Minta-utak
// the next April as a phone app's trip report (utjelentes.csv) and a tracker's day (nyomvonal.gpx).
// dir must be empty or missing; a non-empty one is refused untouched, and a failure midway removes
// what was written.
Result writeDemoData(const QString& dir, const QDate& today);

// The directory `rovanta --demo` works in: "Rovanta-bemutato" beside the per-user data directory
// (~/.local/share/Rovanta/Rovanta-bemutato next to ~/.local/share/Rovanta/Rovanta).
QString demoDirectory();

// True when path is missing or an empty directory (hidden entries count as content).
bool isEmptyOrMissingDir(const QString& path);

} // namespace rv
