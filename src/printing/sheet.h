#pragma once

#include "model/chain.h"
#include "printing/canvas.h"
#include "printing/fit.h"
#include "printing/printout.h"

#include <QString>

namespace rv {

struct AppState;
struct CarRecord;

// Forwards to the canvas what belongs to the page shown; the printer is shown every page.
class Sheet {
public:
    Sheet(Canvas& canvas, const Twin& twin) : c(canvas), t(twin) {}

    bool shown() const { return !t.isPreview() || t.pageShown == page; }
    // A text from x to the right margin at most, made smaller when longer.
    void text(double x, double y, const QString& s) { cell(x, W - M, y, s); }
    // The text fitted into the room from left to right at y (see drawFitted); returns its height.
    double cell(double left, double right, double y, const QString& s, Align align = Align::Left, double height = 0) {
        return drawFitted(c, left, right, y, s, align, height, shown(), kSmallestPoints * t.scale());
    }
    // The text at the current size between the margins broken into lines from row n on, a line a
    // row; returns the rows taken.
    int paragraph(int n, const QString& s, double left = -1) {
        const double from = left < 0 ? M : left;
        const QStringList lines = wrapText(c, s, W - M - from);
        for (const QString& line : lines) {
            if (shown())
                c.printTextIn(from, n * U, line, from, W - M);
            ++n;
        }
        return int(lines.size());
    }
    void line(double x1, double y1, double x2, double y2) {
        if (shown())
            c.line(x1, y1, x2, y2);
    }
    void box(double x1, double y1, double x2, double y2) {
        if (shown())
            c.box(x1, y1, x2, y2);
    }
    void bar(double x1, double y1, double x2, double y2) {
        if (shown())
            c.bar(x1, y1, x2, y2);
    }
    void nextPage() {
        ++page;
        if (!t.isPreview())
            c.newPage();
    }
    // Scaled fixed position.
    double at(double printerTwips) const { return printerTwips * t.scale(); }

    // The title of every page, centred; leaves the plain size 10 the page goes on with.
    void title(const QString& title);
    // The page number at the right and the program at the left, in the font given, which stays.
    // On the row below the title as long as the title, centred, leaves them room; else above it,
    // at the top edge (a long title on the preview's narrower page).
    void pageLine(const QString& pageTitle, double points, bool isBold);

    Canvas& c;
    const Twin& t;
    const double W = c.scaleWidth();
    const double M = t.margin();
    const double U = t.rowUnit();
    int page = 1;
};

// The car logged in; an empty record when there is none.
const CarRecord& printedCar(const AppState& s);

// Inside a printed sentence or date a month name is written small ("2002. március hónapra",
// "március 5."); the capitalised table suits the editor's headline only.
QString printedMonthName(int month);

// The unit fuel of the logged-in car is measured in: "kg" for compressed natural gas, else "l".
QString fuelUnit(const AppState& s);

// The month's readings with its private use.
MonthReading printedReading(const MonthLog& log);

} // namespace rv
