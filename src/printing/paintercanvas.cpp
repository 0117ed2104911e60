#include "paintercanvas.h"

#include "printing/travelorder.h"
#include "storage/fileio.h"
#include "model/state.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kThinLine = 7.0; // twips, about a third of a point
} // namespace

QFont PainterCanvas::printFont() {
    QFont font;
    font.setFamilies({u"Arial"_s, u"Helvetica"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10);
    return font;
}

PainterCanvas::PainterCanvas(QPainter& painter, double width, QPagedPaintDevice* pages)
    : m_painter(painter), m_pages(pages), m_width(width),
      m_factor(double(painter.device()->logicalDpiX()) / kTwipsPerInch), m_font(printFont()) {
    m_painter.setFont(m_font);
    m_painter.setPen(QPen(Qt::black, std::max(1.0, kThinLine * m_factor)));
    m_painter.setBrush(Qt::NoBrush);
}

void PainterCanvas::setFontSize(double points) {
    m_font.setPointSizeF(points);
    m_painter.setFont(m_font);
}

void PainterCanvas::setBold(bool on) {
    m_font.setBold(on);
    m_painter.setFont(m_font);
}

void PainterCanvas::setUnderline(bool on) {
    m_font.setUnderline(on);
    m_painter.setFont(m_font);
}

double PainterCanvas::textWidth(const QString& text) const {
    return QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(text) / m_factor;
}

void PainterCanvas::printText(double x, double y, const QString& text) {
    const QFontMetricsF metrics(m_font, m_painter.device());
    m_painter.drawText(QPointF(x * m_factor, y * m_factor + metrics.ascent()), text);
    m_currentY = y + metrics.height() / m_factor;
}

void PainterCanvas::line(double x1, double y1, double x2, double y2) {
    m_painter.drawLine(QPointF(x1 * m_factor, y1 * m_factor), QPointF(x2 * m_factor, y2 * m_factor));
}

void PainterCanvas::box(double x1, double y1, double x2, double y2) {
    m_painter.drawRect(QRectF(QPointF(x1 * m_factor, y1 * m_factor), QPointF(x2 * m_factor, y2 * m_factor)));
}

void PainterCanvas::bar(double x1, double y1, double x2, double y2) {
    m_painter.fillRect(QRectF(QPointF(x1 * m_factor, y1 * m_factor), QPointF(x2 * m_factor, y2 * m_factor)), Qt::black);
}

void PainterCanvas::newPage() {
    if (m_pages)
        m_pages->newPage();
}

QPageLayout defaultPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6.35, 6.35, 6.35, 6.35),
                       QPageLayout::Millimeter);
}

Result paintPrintout(QPagedPaintDevice& device, const AppState& s, const MonthLog& log, Printout which,
                     const Season& season, int onlyDay) {
    if (which != Printout::Logbook && computeStatement(s, log, season.multiplier).missingPrice)
        return Result::failure(noPriceForMonthMessage(log));
    // A day without a trip is refused before the device starts a page.
    if (which == Printout::TravelOrder && onlyDay != 0 &&
        !travelOrderHasDay(computeTravelOrder(s, log, season.multiplier), onlyDay))
        return Result::failure(noTripOnDayMessage(log, onlyDay));
    QPainter painter;
    if (!painter.begin(&device))
        return Result::failure(u"A nyomtatás nem indítható el."_s, 75);
    const double width = double(device.width()) / double(device.logicalDpiX()) * kTwipsPerInch;
    PainterCanvas canvas(painter, width, &device);
    const Result result = layoutPrintout(canvas, s, log, which, season, Twin::printer(), nullptr, onlyDay);
    if (!painter.end() && result)
        return Result::failure(u"A nyomtatás nem fejeződött be."_s, 75);
    return result;
}

Result printToPdf(const AppState& s, const MonthLog& log, Printout which, const Season& season, const QString& path,
                  const QPageLayout& layout, int onlyDay) {
    if (which != Printout::Logbook && computeStatement(s, log, season.multiplier).missingPrice)
        return Result::failure(noPriceForMonthMessage(log));
    // The target is refused before the work, and the bytes go to the one writer only when whole.
    if (Result r = checkExportTarget(s.programDir, path); !r)
        return r;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Result result = Result::success();
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setResolution(1200);
        writer.setCreator(programTitle());
        writer.setTitle(which == Printout::Logbook       ? u"Útnyilvántartás"_s
                        : which == Printout::TravelOrder ? u"Kiküldetési rendelvény"_s
                                                         : u"Költségelszámolás"_s);
        result = paintPrintout(writer, s, log, which, season, onlyDay);
    }
    if (!result)
        return result;
    return saveExportFile(s.programDir, path, buffer.data());
}

} // namespace rv
