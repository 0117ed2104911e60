#pragma once

#include "months/progress.h"

#include <QStringList>

namespace rv {

// Records what a month operation showed on the status label and the progress bar.
class ProgressRecorder : public MonthsProgress {
public:
    void setStatus(const QString& text) override { statuses << text; }
    void setProgressMaximum(int max) override { maximum = max; }
    void setProgressValue(int v) override { value = v; }
    int progressValue() const override { return value; }
    void keepResponsive() override {}

    QStringList statuses;
    int maximum = -1;
    int value = 0;
};

} // namespace rv
