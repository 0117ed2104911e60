#include "qtprompter.h"

#include "storage/tables.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace rv {
namespace {

// The window a box opens over: the active one, else the one the user works in (a window being
// closed is no longer active, and a box without a parent would open at the screen's corner).
QWidget* boxParent() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip &&
            w->windowType() != Qt::Desktop)
            return w;
    return nullptr;
}

} // namespace

MsgButton QtPrompter::ask(const QString& text, MsgButtons buttons, MsgIcon icon) {
    QMessageBox box(boxParent());
    box.setWindowTitle(kAppTitle);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::None: break;
    }
    const std::pair<MsgButton, QMessageBox::StandardButton> map[] = {
        {Ok, QMessageBox::Ok},       {Cancel, QMessageBox::Cancel}, {Yes, QMessageBox::Yes},
        {No, QMessageBox::No},       {Abort, QMessageBox::Abort},   {Retry, QMessageBox::Retry},
        {Ignore, QMessageBox::Ignore}};
    QMessageBox::StandardButtons standard;
    for (auto [ours, theirs] : map)
        if (buttons & ours)
            standard |= theirs;
    if (!standard)
        standard = QMessageBox::Ok;
    box.setStandardButtons(standard);
    if ((buttons & DefaultNo) && (buttons & No))
        box.setDefaultButton(QMessageBox::No);
    // A question asked while a long step shows the hourglass still wants the normal pointer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    QApplication::restoreOverrideCursor();
    for (auto [ours, theirs] : map)
        if (pressed == theirs)
            return ours;
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

QString QtPrompter::saveFileName(const QString& caption, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(boxParent(), caption, suggested, filter);
}

QString QtPrompter::openFileName(const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

} // namespace rv
