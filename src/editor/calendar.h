#pragma once

#include <QString>

namespace rv {

// The editor's calendar: six weeks of seven cells, weeks starting on Monday, cells 1..42.
constexpr int kCalendarCells = 42;

// Cell of day 1: the weekday of the 1st, Monday 1 ... Sunday 7.
int firstCell(int year, int month);
// The day shown in a cell, 0 for a blank cell.
int dayOfCell(int year, int month, int cell);
int cellOfDay(int year, int month, int day);

// "2002. január 5. szombat".
QString dateLabel(int year, int month, int day);

// The day after / before, wrapping around the month's length.
int nextDay(int year, int month, int day);
int previousDay(int year, int month, int day);

// A weekend or a public holiday: the calendar shades it.
bool isDayOff(int year, int month, int day);

QString dayCellTip(int day);
QString blankCellTip();

QString dayKmText(qint64 km);   // "… km ezen a napon."
QString monthKmText(qint64 km); // "… km ebben a hónapban."

} // namespace rv
