#pragma once

#include "command.h"

namespace rv::cli {

// rovanta-cli munkarend: the swapped working days in use, and the import of a newer year's.
Command workdaysCommand();

} // namespace rv::cli
