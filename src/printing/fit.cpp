#include "fit.h"

#include "printing/canvas.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QStringList wrapText(const Canvas& c, const QString& text, double width) {
    QStringList lines;
    QString line;
    const auto flush = [&] {
        if (!line.isEmpty())
            lines.append(line);
        line.clear();
    };
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (c.textWidth(joined) <= width) {
            line = joined;
            continue;
        }
        flush();
        // A word too long for a line of its own is broken where it must be.
        QString rest = word;
        while (c.textWidth(rest) > width && rest.size() > 1) {
            qsizetype n = rest.size() - 1;
            while (n > 1 && c.textWidth(rest.left(n)) > width)
                --n;
            lines.append(rest.left(n));
            rest = rest.mid(n);
        }
        line = rest;
    }
    flush();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

FittedText fitText(Canvas& c, const QString& text, double width, double height, double size, double smallest) {
    const double was = c.fontSize();
    FittedText fit;
    for (double points = size;; points -= 0.5) {
        points = std::max(points, smallest);
        c.setFontSize(points);
        fit = FittedText{points, wrapText(c, text, width)};
        if (double(fit.lines.size()) * lineHeight(points) <= height + 0.5 || points <= smallest)
            break;
    }
    c.setFontSize(was);
    return fit;
}

double drawFitted(Canvas& c, double left, double right, double y, const QString& text, Align align, double height,
                  bool draw, double smallest) {
    const double was = c.fontSize();
    const double room = height > 0 ? height : lineHeight(was);
    const FittedText fit = c.textWidth(text) <= right - left ? FittedText{was, {text}}
                                                             : fitText(c, text, right - left, room, was, smallest);
    c.setFontSize(fit.size);
    double at = y;
    for (const QString& line : fit.lines) {
        const double w = c.textWidth(line);
        const double x = align == Align::Left ? left : align == Align::Right ? right - w : left + (right - left - w) / 2;
        if (draw)
            c.printTextIn(x, at, line, left, right);
        at += lineHeight(fit.size);
    }
    c.setFontSize(was);
    return at - y;
}

} // namespace rv
