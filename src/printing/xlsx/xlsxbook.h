#pragma once

#include "printing/spreadsheet.h"
#include "storage/result.h"

#include <QByteArray>

namespace rv {

// The table as the bytes of an .xlsx workbook of one worksheet: typed cells with Hungarian number
// formats, a bold header row that stays in view, columns as wide as their texts.
Result xlsxBytes(const SheetTable& table, QByteArray& out);

// Writes the workbook through the program's one file writer, as a file the user names.
Result saveXlsx(const QString& dataDir, const SheetTable& table, const QString& path);

} // namespace rv
