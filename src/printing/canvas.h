#pragma once

#include <QString>

namespace rv {

// What a printout is drawn on. Positions are twips from the top-left corner of the printable
// area; a text's position is the top-left corner of the text. The face is the canvas's own:
// a layout sets only size, bold and underline.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Printable width of the page.
    virtual double scaleWidth() const = 0;

    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;
    virtual void setBold(bool on) = 0;
    virtual void setUnderline(bool on) = 0;
    virtual double textWidth(const QString& text) const = 0;

    virtual void printText(double x, double y, const QString& text) = 0;
    // A text that belongs to the room from left to right (its cell, the space between rules, the
    // page): the layout has fitted it there, and a canvas that checks layouts keeps the room.
    virtual void printTextIn(double x, double y, const QString& text, double left, double right) {
        (void)left;
        (void)right;
        printText(x, y, text);
    }
    // Just below the last text printed.
    virtual double currentY() const = 0;

    // A thin line, a rectangle outline and a filled black bar.
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    virtual void box(double x1, double y1, double x2, double y2) = 0;
    virtual void bar(double x1, double y1, double x2, double y2) = 0;

    virtual void newPage() = 0;
};

} // namespace rv
