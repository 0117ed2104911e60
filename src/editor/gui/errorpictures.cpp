#include "errorpictures.h"

#include <QPainter>
#include <QPainterPath>

namespace rv {
namespace {

// A transparent square of the given size with draw(painter, size) painted on it.
template <typename Draw> QPixmap picture(int size, Draw draw) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    {
        QPainter g(&pix);
        g.setRenderHint(QPainter::Antialiasing);
        draw(g, qreal(size));
    }
    return pix;
}

// The round badge the "no error" and "severe error" pictures share.
void disc(QPainter& g, qreal s, const QColor& edge, const QColor& fill) {
    g.setPen(QPen(edge, s / 16));
    g.setBrush(fill);
    g.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
}

QPixmap okPicture(int size) {
    return picture(size, [](QPainter& g, qreal s) {
        disc(g, s, QColor(0x1b, 0x5e, 0x20), QColor(0x43, 0xa0, 0x47));
        g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(s * 0.28, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.68);
        tick.lineTo(s * 0.72, s * 0.34);
        g.setBrush(Qt::NoBrush);
        g.drawPath(tick);
    });
}

QPixmap warningPicture(int size) {
    return picture(size, [](QPainter& g, qreal s) {
        QPolygonF triangle;
        triangle << QPointF(s * 0.5, s * 0.06) << QPointF(s * 0.95, s * 0.9) << QPointF(s * 0.05, s * 0.9);
        g.setPen(QPen(QColor(0x8d, 0x6e, 0x00), s / 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.setBrush(QColor(0xfb, 0xc0, 0x2d));
        g.drawPolygon(triangle);
        g.setPen(QPen(Qt::black, s / 9, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(s * 0.5, s * 0.36), QPointF(s * 0.5, s * 0.6));
        g.drawPoint(QPointF(s * 0.5, s * 0.76));
    });
}

QPixmap errorPicture(int size) {
    return picture(size, [](QPainter& g, qreal s) {
        disc(g, s, QColor(0x8e, 0x00, 0x00), QColor(0xe5, 0x39, 0x35));
        g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(s * 0.34, s * 0.34), QPointF(s * 0.66, s * 0.66));
        g.drawLine(QPointF(s * 0.66, s * 0.34), QPointF(s * 0.34, s * 0.66));
    });
}

} // namespace

std::array<QPixmap, 3> errorPictures(int size) { return {okPicture(size), warningPicture(size), errorPicture(size)}; }

} // namespace rv
