#pragma once

#include "model/monthlog.h"

#include <QString>
#include <QVector>

#include <optional>

namespace rv {

struct AppState;

// What is added after the chosen partner: "csak oda", "visszaút is", "vissza a céghez".
enum class TripType { OneWay, ReturnTrip, BackToBase };

// Outcome of a change to a day's stops. selected: the line of the day's list to select
// afterwards (0-based), -1 for none.
struct StopEdit {
    bool changed = false;
    int selected = -1;
};

// Columns of the stop table that hold data: the stop width, never more than the table has.
int usableWidth(const MonthLog& log);
// Stops of a day, packed from column 1.
int dayStopCount(const MonthLog& log, int day);
QVector<int> dayStops(const MonthLog& log, int day);

// Places partner p on a day. With the last line selected (or an empty day) it is appended,
// otherwise it goes before the selected line. A partner is never put next to itself: then nothing
// happens. Grows the table when needed.
StopEdit insertStop(MonthLog& log, int day, int selected, int partner);

// The add button: inserts the partner, then the return leg the trip type asks for. Nothing
// happens for an unknown partner or when the partner itself could not be placed.
StopEdit addPartner(const AppState& s, MonthLog& log, int day, int selected, int partner, TripType type);

// Deletes the selected stop and drops the columns that became empty on every day.
StopEdit deleteStop(MonthLog& log, int day, int selected);

// Empties a day (its comment stays) and drops the columns that became empty.
bool deleteDay(MonthLog& log, int day);

// Cuts the table to its widest day; the width never drops below 1 once the month had a stop.
void shrinkStops(MonthLog& log);

// Copies the stops of one day onto another: overwrite makes the target an exact copy, append
// puts the source's stops after the target's. Nothing happens unless both days are valid and
// differ.
bool copyDay(MonthLog& log, int from, int to, bool append);

// The copy button's own conditions: the current day has stops and the two day fields hold
// different, non-empty day numbers. Returns the two days when the copy may go ahead.
std::optional<std::pair<int, int>> copyDays(const MonthLog& log, int currentDay, const QString& fromText,
                                            const QString& toText);

// The day fields: blank is kept, a non-number falls back to the last accepted text, a number is
// held within 1..days.
QString filterDayField(const QString& text, const QString& lastAccepted, int days);

// The start odometer box: blank is 0, a number is rounded to a whole number, anything else is
// refused (nullopt) and the box goes back to its last accepted text.
std::optional<qint32> odometerFromText(const QString& text);

// Removes double quotes from a text. caret, when given, is moved back by the quotes before it.
QString removeQuotes(const QString& text, int* caret = nullptr);
QString commentQuoteMessage();

// "Távolságuk … km, <route type>" between a partner and a stop; "-" when either is missing or
// they are the same.
QString distanceHint(const AppState& s, int partner, int stop);

} // namespace rv
