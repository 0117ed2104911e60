#pragma once

#include "printing/printout.h"
#include "printing/spreadsheet.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace rv {

struct AppState;

// One month of the year that has a logbook, opened as the months window opens it (stops the
// database lacks left out, kilometres counted anew).
struct YearRow {
    int month = 0;
    QString fileName;
    qint32 start = 0;
    qint64 km = 0;
    qint64 cost = 0; // meaningless when missingPrice
    bool missingPrice = false;
    bool chainBreak = false; // the start does not follow on from the previous month
    SeasonBox season = SeasonBox::None;
    qint64 closing() const { return qint64(start) + km; }
    bool warned() const { return missingPrice || chainBreak; }
};

struct YearSummary {
    int year = 0;
    QVector<YearRow> rows; // by month
    qint64 totalKm = 0;
    qint64 totalCost = 0;       // meaningless when missingPrice
    bool missingPrice = false;  // some month lacks a price: the year has no total cost
    QStringList warnings;       // logbooks of the year that could not be read
    qint64 opening() const { return rows.isEmpty() ? 0 : rows.first().start; }
    qint64 closing() const { return rows.isEmpty() ? 0 : rows.last().closing(); }
};

// The logged-in car's year; needs its partners, distances, prices and multipliers loaded.
YearSummary summarizeYear(const AppState& s, int year);

// A cost or "-" when a price is missing.
QString yearCostText(qint64 cost, bool missingPrice);
// What a row's warning mark stands for, empty without one.
QString yearRowWarning(const YearRow& row);

// The year for spreadsheets: a row per month, then the totals and the opening and closing readings.
SheetTable yearTable(const YearSummary& y);

} // namespace rv
