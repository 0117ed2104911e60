#pragma once

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

// On a printer or a PDF writer.
Result paintYear(QPagedPaintDevice& device, const AppState& s, const YearSummary& y);
// A PDF file, written through the program's one file writer.
Result yearToPdf(const AppState& s, const YearSummary& y, const QString& path);

// "ABC-123_2024_eves.pdf".
QString suggestedYearFileName(const AppState& s, int year, const QString& extension);

} // namespace rv
