#pragma once

class QWidget;

namespace rv {

struct YearSummary;

// The year's kilometres and cost by month as bars: the only place that speaks to Qt Charts.
class YearChart {
public:
    // A widget of two bar charts (kilometres, cost) under the parent.
    static QWidget* create(QWidget* parent);
    // Shows the year on a widget made by create().
    static void show(QWidget* chart, const YearSummary& y);
};

} // namespace rv
