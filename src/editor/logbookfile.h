#pragma once

#include "editor/monthlog.h"
#include "storage/result.h"

#include <QByteArray>
#include <QString>

namespace rv {

struct AppState;

// Name of a new month's file: year, month key and ".rvn" (2002jan.rvn).
QString newMonthFileName(int year, int month);

// The file text of a month, stops written by their partners' three texts.
QByteArray serializeLogbook(const AppState& s, const MonthLog& log);

// Saves state.month into the car's directory: refuses a month without stops ("Nincs mit
// elmenteni."), names a new month, writes atomically and clears the modified flag. Returns
// false when nothing was written.
bool SaveLogbook(AppState& s);

} // namespace rv
