#pragma once

#include "printing/canvas.h"
#include "printing/printout.h"

#include <QFont>
#include <QPageLayout>

class QPainter;
class QPagedPaintDevice;

namespace rv {

struct AppState;
struct MonthLog;

// A canvas on a QPainter: twips are mapped to the device by its resolution, so one class serves
// the printer, the preview picture and PDF files. The painter must be active.
class PainterCanvas : public Canvas {
public:
    // width: the printable width in twips; newPage: the device that turns pages, if any.
    PainterCanvas(QPainter& painter, double width, QPagedPaintDevice* pages = nullptr);

    double scaleWidth() const override { return m_width; }
    void setFontSize(double points) override;
    double fontSize() const override { return m_font.pointSizeF(); }
    void setBold(bool on) override;
    void setUnderline(bool on) override;
    double textWidth(const QString& text) const override;
    void printText(double x, double y, const QString& text) override;
    double currentY() const override { return m_currentY; }
    void line(double x1, double y1, double x2, double y2) override;
    void box(double x1, double y1, double x2, double y2) override;
    void bar(double x1, double y1, double x2, double y2) override;
    void newPage() override;

    // Device pixels per twip.

    // The face of every printout: a plain sans-serif found on every platform.
    static QFont printFont();

private:
    QPainter& m_painter;
    QPagedPaintDevice* m_pages;
    double m_width;
    double m_factor;
    QFont m_font;
    double m_currentY = 0;
};

// A4 portrait with narrow margins, for PDF files when no printer says otherwise.
QPageLayout defaultPageLayout();

// Lays out a printout on a paged device (a printer or a PDF writer) page by page. Nothing is
// started on the device when the statement lacks a fuel price.
// With onlyDay, the travel order of that day alone.
Result paintPrintout(QPagedPaintDevice& device, const AppState& s, const MonthLog& log, Printout which,
                     const Season& season, int onlyDay = 0);

// Writes a printout to a PDF file on the given page layout; the file is replaced only when
// complete.
Result printToPdf(const AppState& s, const MonthLog& log, Printout which, const Season& season, const QString& path,
                  const QPageLayout& layout = defaultPageLayout(), int onlyDay = 0);

} // namespace rv
