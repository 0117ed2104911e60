#pragma once

#include "command.h"

namespace rv::cli {

// year AUTÓ ÉÉÉÉ [-o FÁJL]: a line per month with a logbook, then the year's totals; with -o the
// year as .pdf, .xlsx or .csv by the file's extension.
Command yearCommand();
// pack AUTÓ ÉÉÉÉ -o FÁJL.pdf [--elfogad]: the year-end pack.
Command packCommand();

} // namespace rv::cli
