#pragma once

#include "model/monthlog.h"
#include "storage/result.h"

#include <QByteArray>
#include <QString>

namespace rv {

struct AppState;

// Every change of a month as a whole (saving, generating, replacing, deleting) goes through
// these, so that the month's facts beside the logbooks (season, private km, closing reading)
// always follow its logbook.
struct MonthChange {
    Result file = Result::success();  // the logbook file
    Result facts = Result::success(); // the month's facts; only tried once the file is done
    QByteArray bytes;                 // what the logbook file now holds (writing only)
};

// Writes log as the car's logbook fileName, then sets the month's facts to log's own: a month
// generated in the place of another brings blank facts, so the replaced month's private km and
// closing reading do not carry over to it.
MonthChange writeMonth(const AppState& s, const QString& fileName, const MonthLog& log);

// Deletes the car's logbook fileName. The month's facts go with it unless another logbook of the
// same month remains: a month made later in its place must not inherit a private use that no one
// gave for it.
MonthChange deleteMonth(const AppState& s, const QString& fileName);

} // namespace rv
