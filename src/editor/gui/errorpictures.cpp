#include "errorpictures.h"

#include <QPainter>
#include <QPainterPath>

namespace rv {
namespace {

QPixmap blank(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

QPixmap okPicture(int size) {
    QPixmap pix = blank(size);
    QPainter g(&pix);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    g.setPen(QPen(QColor(0x1b, 0x5e, 0x20), s / 16));
    g.setBrush(QColor(0x43, 0xa0, 0x47));
    g.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(s * 0.28, s * 0.52);
    tick.lineTo(s * 0.44, s * 0.68);
    tick.lineTo(s * 0.72, s * 0.34);
    g.setBrush(Qt::NoBrush);
    g.drawPath(tick);
    return pix;
}

QPixmap warningPicture(int size) {
    QPixmap pix = blank(size);
    QPainter g(&pix);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPolygonF triangle;
    triangle << QPointF(s * 0.5, s * 0.06) << QPointF(s * 0.95, s * 0.9) << QPointF(s * 0.05, s * 0.9);
    g.setPen(QPen(QColor(0x8d, 0x6e, 0x00), s / 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(QColor(0xfb, 0xc0, 0x2d));
    g.drawPolygon(triangle);
    g.setPen(QPen(Qt::black, s / 9, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(s * 0.5, s * 0.36), QPointF(s * 0.5, s * 0.6));
    g.drawPoint(QPointF(s * 0.5, s * 0.76));
    return pix;
}

QPixmap errorPicture(int size) {
    QPixmap pix = blank(size);
    QPainter g(&pix);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    g.setPen(QPen(QColor(0x8e, 0x00, 0x00), s / 16));
    g.setBrush(QColor(0xe5, 0x39, 0x35));
    g.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    g.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(s * 0.34, s * 0.34), QPointF(s * 0.66, s * 0.66));
    g.drawLine(QPointF(s * 0.66, s * 0.34), QPointF(s * 0.34, s * 0.66));
    return pix;
}

} // namespace

std::array<QPixmap, 3> errorPictures(int size) { return {okPicture(size), warningPicture(size), errorPicture(size)}; }

} // namespace rv
