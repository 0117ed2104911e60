#pragma once

#include <QString>

namespace rv {

// The status label and progress bar of the months window, as the long month operations (the
// sample generation, the opening of a stored month) drive them.
class MonthsProgress {
public:
    virtual ~MonthsProgress() = default;
    virtual void setStatus(const QString& text) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual int progressValue() const = 0;
    // Lets pending paint events run so the window stays drawn during a long loop.
    virtual void keepResponsive() = 0;
};

// For callers without a window.
class NoProgress : public MonthsProgress {
public:
    void setStatus(const QString&) override {}
    void setProgressMaximum(int) override {}
    void setProgressValue(int value) override { m_value = value; }
    int progressValue() const override { return m_value; }
    void keepResponsive() override {}

private:
    int m_value = 0;
};

} // namespace rv
