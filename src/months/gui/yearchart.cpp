#include "yearchart.h"

#include "model/yearsummary.h"
#include "printing/paintercanvas.h"
#include "printing/yearprintout.h"
#include "storage/tables.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr double kTwipsPerInch = 1440.0;

// The printout's drawing on a widget: one picture for the window and the paper, and no chart
// library to ship.
class YearChartWidget : public QWidget {
public:
    explicit YearChartWidget(QWidget* parent) : QWidget(parent) {
        setObjectName(u"fraGrafikon"_s);
        setMinimumSize(300, 240);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void setYear(const YearSummary& y) {
        m_year = y;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        const double twipsPerPixel = kTwipsPerInch / double(logicalDpiX());
        const double w = width() * twipsPerPixel;
        const double h = height() * twipsPerPixel;
        PainterCanvas canvas(painter, w);
        // Room for the legend above and the month names below the plot.
        constexpr double margin = 150;
        drawYearBars(canvas, m_year, margin, margin, w - margin, std::max(300.0, h - 2 * margin - 700));
    }

private:
    YearSummary m_year;
};

} // namespace

QWidget* YearChart::create(QWidget* parent) { return new YearChartWidget(parent); }

void YearChart::show(QWidget* chart, const YearSummary& y) { static_cast<YearChartWidget*>(chart)->setYear(y); }

} // namespace rv
