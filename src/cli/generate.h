#pragma once

#include "command.h"

namespace rv::cli {

// generate AUTÓ ÉÉÉÉ-HH --km N ...: a sample month drawn as the months window draws it, saved as
// the month's logbook.
Command generateCommand();

} // namespace rv::cli
