#include "yearchart.h"

#include "months/yearsummary.h"
#include "storage/tables.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QLegend>
#include <QStackedBarSeries>
#include <QChart>
#include <QChartView>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QChartView* chartView(QWidget* parent, const QString& name) {
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(300, 180);
    view->chart()->legend()->hide();
    view->setFocusPolicy(Qt::NoFocus);
    return view;
}

// One series of twelve bars, a bar per month.
void fill(QChartView* view, const QString& title, const QString& unit, const QColor& colour,
          const std::array<qint64, 12>& values) {
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(title);
    auto* set = new QBarSet(unit);
    set->setColor(colour);
    qint64 top = 0;
    for (qint64 v : values) {
        *set << double(v);
        top = std::max(top, v);
    }
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    // The month's number: twelve names do not fit under the bars at the window's opening size,
    // and the chart would show "…" for each.
    auto* months = new QBarCategoryAxis;
    for (int m = 1; m <= 12; ++m)
        months->append(QString::number(m));
    months->setTitleText(u"hónap"_s);
    QFont small = months->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    months->setLabelsFont(small);
    chart->addAxis(months, Qt::AlignBottom);
    series->attachAxis(months);
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(u"%.0f"_s);
    amounts->setRange(0, top > 0 ? double(top) * 1.1 : 1.0);
    amounts->applyNiceNumbers();
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(amounts);
}

// Business km with the private km stacked on them.
void fillKm(QChartView* view, const std::array<qint64, 12>& business, const std::array<qint64, 12>& privateKm) {
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(u"Megtett km havonta"_s);
    auto* work = new QBarSet(u"üzleti km"_s);
    work->setColor(QColor(0x2f, 0x6f, 0xb3));
    auto* own = new QBarSet(u"magán km"_s);
    own->setColor(QColor(0x9c, 0xb8, 0xd8));
    qint64 top = 0;
    for (size_t i = 0; i < 12; ++i) {
        *work << double(business[i]);
        *own << double(privateKm[i]);
        top = std::max(top, business[i] + privateKm[i]);
    }
    auto* series = new QStackedBarSeries;
    series->append(work);
    series->append(own);
    chart->addSeries(series);
    auto* months = new QBarCategoryAxis;
    for (const QString& name : MonthNames())
        months->append(name.left(3));
    chart->addAxis(months, Qt::AlignBottom);
    series->attachAxis(months);
    auto* amounts = new QValueAxis;
    amounts->setLabelFormat(u"%.0f"_s);
    amounts->setRange(0, top > 0 ? double(top) * 1.1 : 1.0);
    amounts->applyNiceNumbers();
    chart->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(amounts);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
}

} // namespace

QWidget* YearChart::create(QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(u"fraGrafikon"_s);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartView(box, u"chtKm"_s));
    layout->addWidget(chartView(box, u"chtKoltseg"_s));
    return box;
}

void YearChart::show(QWidget* chart, const YearSummary& y) {
    std::array<qint64, 12> km{};
    std::array<qint64, 12> privateKm{};
    std::array<qint64, 12> cost{};
    for (const YearRow& r : y.rows) {
        km[size_t(r.month - 1)] = r.km;
        privateKm[size_t(r.month - 1)] = r.privateKm;
        cost[size_t(r.month - 1)] = r.missingPrice ? 0 : r.cost;
    }
    fillKm(chart->findChild<QChartView*>(u"chtKm"_s), km, privateKm);
    fill(chart->findChild<QChartView*>(u"chtKoltseg"_s), u"Költség havonta (Ft)"_s, u"Ft"_s, QColor(0xd0, 0x7a, 0x1f),
         cost);
}

} // namespace rv
