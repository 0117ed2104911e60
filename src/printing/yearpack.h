#pragma once

#include "storage/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace rv {

struct AppState;
struct YearSummary;
class Canvas;

// The year-end pack: one PDF with everything an accountant keeps of a car's year. A cover (car,
// driver, norm and its source, the year's figures and readings), the contents, the NAV prices of
// the months used, every month's logbook, statement and (for a car whose driver has a tax ID)
// travel orders, the year overview, and a last page with each month file's SHA-256 and the
// program's version, so that a file changed or swapped later shows.
struct PackSection {
    QString title;
    int firstPage = 0;
};
struct PackFile {
    int month = 0;
    QString fileName;
    QString sha256; // lower-case hex; empty when the file could not be read
    QStringList faults;
};
struct YearPackInfo {
    QVector<PackSection> sections;
    QVector<PackFile> files;
    int pages = 0;
    bool travelOrders = false;
    // A month with a fault: printed with it, and the pack is not accepted without being told to.
    bool faulty() const;
};

// Lays out the pack on a canvas of the given page height (twips), pages numbered in a footer.
YearPackInfo layoutYearPack(Canvas& canvas, const AppState& s, const YearSummary& y, double pageHeight);

// The pack as a PDF file, written through the program's one file writer.
Result yearPackToPdf(const AppState& s, const YearSummary& y, const QString& path, YearPackInfo* info = nullptr);

// "ABC-123_2026_eves_csomag.pdf".
QString suggestedPackFileName(const AppState& s, int year);

} // namespace rv
