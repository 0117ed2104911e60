#pragma once

#include "startup/startup.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace rv {

// The start-up window: the running step and its progress.
class frmSplash : public QWidget, public StartupView {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    void setTask(const QString& text) override;
    void setTitles(const QString& productName, const QString& version) override;
    int progressMaximum() const override;
    void setProgressMaximum(int maximum) override;
    int progressValue() const override;
    void setProgressValue(int value) override;
    void keepResponsive() override;

    QLabel* lblTask;
    QProgressBar* pgbStartup;
    QLabel* lblVersion;
    QLabel* lblProductName;
};

} // namespace rv
