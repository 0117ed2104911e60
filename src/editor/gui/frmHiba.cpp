#include "frmHiba.h"

#include "editor/gui/editorcaption.h"
#include "ui/gui/windowparts.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QResizeEvent>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmHiba::frmHiba(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"frmHiba"_s);
    setWindowTitle(mainCaption() + u" - Hibalista -"_s);
    lstHiba = new QListWidget(this);
    lstHiba->setObjectName(u"lstHiba"_s);
    lstHiba->move(0, 0);
    // A long fault is read whole: lines wrap at the window's width instead of running off it.
    lstHiba->setWordWrap(true);
    lstHiba->setTextElideMode(Qt::ElideNone);
    lstHiba->setResizeMode(QListView::Adjust);
    lstHiba->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resize(520, 260);
    helpKey(this, 50);
    closeKeys(this);
}

void frmHiba::setLines(const QStringList& lines) {
    lstHiba->clear();
    lstHiba->addItems(lines);
}

void frmHiba::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The list keeps a margin of 120 twips across and 450 down.
    lstHiba->resize(std::max(0, width() - twipsToPixels(this, 120)), std::max(0, height() - twipsToPixels(this, 450)));
}

void frmHiba::closeEvent(QCloseEvent* event) {
    emit closed();
    QWidget::closeEvent(event);
}

} // namespace rv
