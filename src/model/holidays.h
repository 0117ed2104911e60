#pragma once

// The Hungarian public holidays (munkaszüneti napok), as data: a day off for the calendar and for
// the sample months.

#include <QDate>
#include <QString>

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

// Munka törvénykönyve (2012. évi I. törvény) 102. § (1), as amended by 2017. évi XIII. törvény:
// január 1., március 15., nagypéntek, húsvéthétfő, május 1., pünkösdhétfő, augusztus 20.,
// október 23., november 1., december 25-26.
std::span<const HolidayRule> holidayTable();

// Easter Sunday of a year of the Gregorian calendar.
QDate easterSunday(int year);

// The holiday's name ("Nagypéntek"), empty on any other day.
QString holidayName(const QDate& date);
bool isPublicHoliday(const QDate& date);

} // namespace rv
