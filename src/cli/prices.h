#pragma once

#include "command.h"

namespace rv::cli {

// rovanta-cli prices: a car's prices, a published list, and the import of a newer NAV table.
Command pricesCommand();

} // namespace rv::cli
