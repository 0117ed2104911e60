#pragma once

#include "command.h"

namespace rv::cli {

// trips AUTÓ FÁJL ...: a month's logbook from a tracker's or an app's export.
Command tripsCommand();

} // namespace rv::cli
