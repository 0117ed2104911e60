#pragma once

class QWidget;

namespace rv {

struct YearSummary;

// The year's kilometres and cost by month as bars, drawn as on the year's printout.
class YearChart {
public:
    // An empty chart under the parent.
    static QWidget* create(QWidget* parent);
    // Shows the year on a widget made by create().
    static void show(QWidget* chart, const YearSummary& y);
};

} // namespace rv
