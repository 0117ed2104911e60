#pragma once

// What the settings and multipliers dialogs show and store.

#include "storage/result.h"

#include <QString>

#include <array>
#include <optional>

namespace rv {

struct AppState;
class Settings;

// ---- settings dialog ----------------------------------------------------------------------------
struct SetupValues {
    bool confirmExit = true;
    bool loadCities = false;
    QString tolerance; // shown through a numeric conversion: a stored "010" reads 10
    QString tries;
};
// The dialog's own defaults for missing keys: exit confirmation on, city loading off, 10, 100.
SetupValues readSetup(const Settings& settings);
// Check boxes as "1"/"0", the numbers as typed (an empty text too). A store that cannot be
// written fails and keeps the values it had.
Result writeSetup(Settings& settings, const SetupValues& values);
// The number a stored text reads as, in its shortest form ("010" -> "10", "abc" -> "0").
QString numericDisplay(const QString& stored);

// ---- multipliers dialog -------------------------------------------------------------------------
// The seven boxes edit multiplier entries 1..7 (rows 2..8); entry 0 keeps its value.
constexpr int kMultiplierBoxCount = 7;
using MultiplierTexts = std::array<QString, kMultiplierBoxCount>;

// A multiplier as its box shows it: value x 100, the shortest text that converts back to the
// same value (1.15 -> "115", 1.075 -> "107.5").
QString multiplierBoxText(float value);
MultiplierTexts multiplierTexts(const AppState& s);

// "Törvényi értékek": the question explaining when the legal multipliers apply, and the boxes
// with them filled in (the other boxes as they were).
QString legalMultipliersQuestion(const AppState& s);
MultiplierTexts withLegalMultipliers(MultiplierTexts texts);

struct MultiplierProblem {
    int box; // 0..6
    QString message;
};
// Checks every box, then stores text / 100 into entries 1..7 and the default route type
// (1..6) and writes szorzo.rvd. Nothing changes when a box is empty or the file cannot be written.
std::optional<MultiplierProblem> applyMultipliers(AppState& s, const MultiplierTexts& texts, int defaultRouteType);

} // namespace rv
