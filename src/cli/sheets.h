#pragma once

#include "printing/spreadsheet.h"
#include "storage/result.h"

#include <QByteArray>
#include <QString>

namespace rv {
struct AppState;
struct MonthLog;
struct MonthReckoning;
}

namespace rv::cli {

// The reckoned month's legs with the day's price, where it came from and the leg's cost; under
// them the month's totals and its verdict.
SheetTable monthLegTable(const AppState& s, const MonthReckoning& r);

// The table in the CSV the program writes (see CsvWriter).
QByteArray csvOfTable(const SheetTable& table);

// .xlsx by the file's extension, else CSV; the old file stays whole until the new one is written.
bool isXlsxPath(const QString& path);
Result writeTable(const QString& dataDir, const SheetTable& table, const QString& path);

} // namespace rv::cli
