#pragma once

#include <QString>
#include <QStringList>

namespace rv {

class Canvas;

enum class Align { Left, Right, Centre };

// The smallest size a printout shrinks a text to; below it the text takes more lines.
constexpr double kSmallestPoints = 6.0;

// The height the layouts give a line of text: 1,2 em, in twips.
inline double lineHeight(double points) { return points * 24.0; }

// The text broken between words into lines no wider than width at the canvas's size; a word
// wider than the line is broken inside.
QStringList wrapText(const Canvas& c, const QString& text, double width);

struct FittedText {
    double size = 0;
    QStringList lines;
};
// The largest size from `size` down to `smallest`, in half points, at which the text's
// lines fit width and, one under the other, height; failing that, the smallest size on as many
// lines as it takes. The canvas's size is left as it was.
FittedText fitText(Canvas& c, const QString& text, double width, double height, double size,
                   double smallest = kSmallestPoints);

// The text fitted into the room from left to right and from y down by height (0: one line of
// the current size), aligned within it. A text that fits is drawn as it stands. The canvas's
// size stays. Returns the height taken; with draw false, only measures. The preview, drawn at
// 80 %, passes a smallest size as much smaller.
double drawFitted(Canvas& c, double left, double right, double y, const QString& text, Align align = Align::Left,
                  double height = 0, bool draw = true, double smallest = kSmallestPoints);

} // namespace rv
