#include "frmSplash.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(u"frmSplash"_s);
    setWindowTitle(u"Rovanta+"_s);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(24, 20, 24, 16);

    lblProductName = new QLabel(frame);
    lblProductName->setObjectName(u"lblProductName"_s);
    QFont big = lblProductName->font();
    big.setPointSize(big.pointSize() * 2 + 4);
    big.setBold(true);
    lblProductName->setFont(big);
    lblVersion = new QLabel(frame);
    lblVersion->setObjectName(u"lblVersion"_s);
    auto* subtitle = new QLabel(u"Útnyilvántartás és költségelszámolás"_s, frame);
    lblTask = new QLabel(frame);
    lblTask->setObjectName(u"lblTask"_s);
    pgbStartup = new QProgressBar(frame);
    pgbStartup->setObjectName(u"pgbStartup"_s);
    pgbStartup->setRange(0, 100);
    pgbStartup->setValue(0);
    pgbStartup->setTextVisible(false);

    layout->addWidget(lblProductName);
    layout->addWidget(subtitle);
    layout->addWidget(lblVersion);
    layout->addStretch(1);
    layout->addWidget(lblTask);
    layout->addWidget(pgbStartup);
    resize(460, 240);
}

void frmSplash::setTask(const QString& text) {
    lblTask->setText(text);
    keepResponsive();
}

void frmSplash::setTitles(const QString& productName, const QString& version) {
    lblProductName->setText(productName);
    lblVersion->setText(version);
}

int frmSplash::progressMaximum() const { return pgbStartup->maximum(); }
void frmSplash::setProgressMaximum(int maximum) { pgbStartup->setMaximum(maximum); }
int frmSplash::progressValue() const { return pgbStartup->value(); }
void frmSplash::setProgressValue(int value) { pgbStartup->setValue(value); }
void frmSplash::keepResponsive() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

} // namespace rv
