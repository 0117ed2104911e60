#pragma once

#include "model/state.h"
#include "storage/datafiles.h"

#include <functional>

namespace rv {

// The shared files loaded into the state and saved from it. Loads read into temporaries and
// touch the state only when the whole file was read; a failed load is logged with ErrorLocation
// and leaves the state as it was. Saves are atomic.

// A damaged file leaves the list as it was and is kept aside; the message names the copy.
Result LoadCars(AppState& s);
Result SaveCars(AppState& s);

// resize true: replaces Partners and Distances; false: the arrays must already hold at least
// as many partners as the file, whose content overwrites theirs (PartnerCount is kept).
Result LoadDatabase(AppState& s, bool resize);
// When the directory is missing the user is asked Abort/Retry/Ignore; Abort raises a
// RuntimeError for the error trap.
Result SaveDatabase(AppState& s);

// A missing file is created empty with the message of the program; an unreadable one is kept
// aside first (keepAside).
Result LoadFuelPrices(AppState& s);
Result SaveFuelPrices(AppState& s);

// A missing file is written with every multiplier 1 and default route type 1. A damaged one is
// kept aside and replaced the same way; the result then fails with the message for the user.
Result LoadMultipliers(AppState& s);
Result SaveMultipliers(AppState& s);

// The data directory's own list, else the one shipped with the program.
QString citiesPath(const AppState& s);

Result LoadCities(AppState& s, const std::function<void(int count)>& started = {},
                  const std::function<void(int done)>& progress = {});

} // namespace rv
