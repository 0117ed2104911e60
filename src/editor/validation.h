#pragma once

#include "editor/monthlog.h"

#include <QString>
#include <QStringList>

namespace rv {

struct AppState;

// Faults of a month: minor = legs of 0 km, severe = the same partner twice in a row. lines: one
// sentence per fault, by day, then by position within the day.
struct Validation {
    int minor = 0;
    int severe = 0;
    QStringList lines;
};

// Checks all 31 rows, whatever the month's length. A month whose width is below 2 has no leg and
// so no fault.
Validation validateMonth(const AppState& s, const MonthLog& log);

enum class ErrorPicture { None = 0, Minor = 1, Severe = 2 };

// What the editor's "Hibák" frame shows for a validation.
struct ErrorFrame {
    QString minorText;
    QString severeText;
    ErrorPicture picture = ErrorPicture::None;
    bool detailsEnabled = false;
};
ErrorFrame errorFrame(const Validation& v);

// The partner's display text, empty for a number the database does not hold.
QString stopLabel(const AppState& s, int partner);

} // namespace rv
