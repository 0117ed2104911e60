#pragma once

#include "printing/spreadsheet.h"
#include "storage/result.h"

#include <QString>

class QPagedPaintDevice;

namespace rv {

struct AppState;
struct YearSummary;
class Canvas;

// The year on one page: car, plate, company, year, a row per month, the totals, the opening and
// closing readings and bars of kilometres and cost by month.
void layoutYear(Canvas& canvas, const AppState& s, const YearSummary& y);

// The year's kilometres (business, the private stacked on top) and cost by month as bars with
// their legend, between x1 and x2 from top down: a line of legend, a plot of the given height,
// the month names under it. The printout and the year window draw it alike.
void drawYearBars(Canvas& canvas, const YearSummary& y, double x1, double top, double x2, double height);

// On a printer or a PDF writer.
Result paintYear(QPagedPaintDevice& device, const AppState& s, const YearSummary& y);
// A PDF file, written through the program's one file writer.
Result yearToPdf(const AppState& s, const YearSummary& y, const QString& path);

// "ABC-123_2024_eves.pdf".
QString suggestedYearFileName(const AppState& s, int year, const QString& extension);

// The year for spreadsheets: a row per month, then the totals and the opening and closing readings.
SheetTable yearTable(const YearSummary& y);

} // namespace rv
