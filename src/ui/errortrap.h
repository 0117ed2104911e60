#pragma once

#include <QString>

#include <functional>

namespace rv {

struct AppState;

// Runs a window's handler under the common error trap. location is the window and handler
// ("frmHonapok - MintaKeszites:"); handlers may narrow it through ErrorLocation as they go. An
// unexpected error is logged, reported with "Ismeretlen hiba!" and ends the program. Returns
// false when the handler failed.
bool runTrapped(AppState& state, const QString& location, const std::function<void()>& handler);

// The text of the critical message for an error number and description.
QString unknownErrorText(int number, const QString& description);

} // namespace rv
