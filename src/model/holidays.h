#pragma once

// The Hungarian public holidays (munkaszüneti napok), as data: a day off for the calendar and for
// the sample months.

#include "storage/result.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

#include <span>

namespace rv {

// One row of the holiday table: a fixed date (month and day), or a day counted from Easter Sunday
// (month 0, day = offset in days). since: the first year the day is a holiday.
struct HolidayRule {
    int month;
    int day;
    int since;
    const char16_t* name;
};


// Easter Sunday of a year of the Gregorian calendar.
QDate easterSunday(int year);

// A day the yearly decree on the working order around holidays moves (a munkaszüneti napok
// körüli munkarend, Mt. 102. § (5)), or a day a law makes a holiday beyond the fixed table.
enum class DayChange {
    RestDay,    // "pihenőnap": a working day off, counted as a holiday
    WorkingDay, // "munkanap": a Saturday worked for a rest day, counted as a weekday
    Holiday,    // "munkaszüneti nap": a holiday by law (24 December, should a law say so)
};
struct SwappedDay {
    QDate date;
    DayChange change = DayChange::RestDay;
    QDate insteadOf; // a working day: the rest day it is worked for
    QString source;  // the decree or law
};

// The table data/munkarend.tsv: "datum nap helyett forras", tab-separated, # comments; nap is
// "pihenőnap", "munkanap" or "munkaszüneti nap". A working day needs the rest day it stands in
// for. Refused whole, the line named, on a bad date, kind or missing source, or a day twice.
Result parseSwappedDays(const QByteArray& data, const QString& fileName, QVector<SwappedDay>& out);
QByteArray serializeSwappedDays(const QVector<SwappedDay>& days);
QByteArray shippedSwappedDayBytes();
const QVector<SwappedDay>& shippedSwappedDays();

// The table the holiday function uses: the shipped one with the user's rows over it (a row of
// the user's for a day the shipped table has wins). Set at start from the data folder's file.
void installSwappedDays(const QVector<SwappedDay>& userRows);
const QVector<SwappedDay>& swappedDays();
const SwappedDay* swappedDay(const QDate& date);
inline const QString kSwappedDayFile = QStringLiteral("munkarend.tsv");

// The holiday's name ("Nagypéntek", "Pihenőnap"), empty on any other day. A rest day of the
// table counts as a holiday; a working Saturday does not.
QString holidayName(const QDate& date);
bool isPublicHoliday(const QDate& date);
// Whether nobody works: a Saturday or Sunday that is no working day of the table, or a holiday.
bool isDayOff(const QDate& date);
// The weekday (Monday = 1) whose box decides a day: a working Saturday takes that of the rest
// day it is worked for.
int workingWeekday(const QDate& date);

} // namespace rv
