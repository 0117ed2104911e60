#pragma once

// The data folder's table of swapped working days (munkarend.tsv): the user's years beside the
// shipped ones, read at start and extended by an import.

#include "model/holidays.h"

namespace rv {

QString swappedDayPath(const QString& programDir);

// Reads the data folder's table and puts it over the shipped one. No file: the shipped table
// alone. A file that does not read leaves the shipped table alone in use, and says why.
Result loadUserSwappedDays(const QString& programDir);

// Merges a table file's rows into the data folder's table (a day given again takes the new
// row), writes it through the one writer and puts it in use. count: the rows imported.
Result importSwappedDays(const QString& programDir, const QByteArray& data, const QString& name, int* count = nullptr);

} // namespace rv
