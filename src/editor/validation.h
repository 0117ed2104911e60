#pragma once

#include "model/monthlog.h"
#include "model/monthchain.h"

#include <QString>
#include <QStringList>

namespace rv {

struct AppState;

// Faults of a month as its reckoning finds them (see MonthReckoning): minor = legs of 0 km, a
// start reading that does not follow on from the previous month (or none in a car's first month),
// a private use over ten times the business km, a day that starts elsewhere than the previous trip
// day ended, a trip day without its purpose, a price the month cannot vouch for and, for a month
// as opened, a header km other than the sum of the legs; severe = the same partner twice in a row,
// a closing reading below the legs, a leg on a day the month does not have. lines: one sentence
// per fault, the reading's first, then the prices, then by day.
struct Validation {
    int minor = 0;
    int severe = 0;
    QStringList lines;
};

// Checks all 31 rows, whatever the month's length. A month whose width is below 2 has no leg and
// so no fault of its legs. previous: what the month follows on from (see previousReading);
// firstMonth: the car has no earlier month, so its first trip starts at partner 1. A trip day is
// a day of at least two stops; a journey of several days may end at a partner and go on from there.
Validation validateMonth(const AppState& s, const MonthLog& log, const std::optional<MonthReading>& previous = {},
                         bool firstMonth = false);

struct MonthReckoning;
Validation validationOf(const MonthReckoning& r);

// Asked before a month with severe faults is saved or printed.
QString severeFaultQuestion(int severe, bool printing);

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
