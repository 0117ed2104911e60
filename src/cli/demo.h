#pragma once

#include "command.h"

namespace rv::cli {

// demo KÖNYVTÁR: a data directory to try the program on.
Command demoCommand();

} // namespace rv::cli
