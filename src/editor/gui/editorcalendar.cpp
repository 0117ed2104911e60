#include "editor/gui/editorcalendar.h"
#include "frmSzerkeszto.h"

#include "editor/calendar.h"
#include "editor/gui/editorcaption.h"
#include "editor/tripentry.h"
#include "model/state.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// The editor's calendar: the day cells, the shown day, the mouse and the arrow keys.
namespace rv {
namespace {

const QColor kCurrentDay(0, 0, 255);
const QColor kWorkDay(255, 255, 255);
const QColor kDayOff(222, 222, 222); // weekends and holidays

} // namespace

void paintCell(QLabel* cell, bool current, bool dayOff, bool trips) {
    QPalette p = cell->palette();
    p.setColor(QPalette::Window, current ? kCurrentDay : dayOff ? kDayOff : kWorkDay);
    p.setColor(QPalette::WindowText, current ? QColor(255, 255, 255) : QColor(0, 0, 0));
    cell->setPalette(p);
    QFont f = cell->font();
    if (f.bold() != trips) {
        f.setBold(trips);
        cell->setFont(f);
    }
}

void frmSzerkeszto::showDay(int day) {
    const MonthLog& log = m_state.month;
    if (day < 1 || day > daysInMonth(log.year, log.month))
        return;
    const int oldDay = m_day;
    m_day = day;
    paintDay(oldDay);
    paintDay(day);
    m_loading = true;
    txtHonnan->setText(QString::number(day));
    m_lastHonnan = txtHonnan->text();
    lblDatum->setText(dateLabel(log.year, log.month, day));
    lblKmANapon->setText(dayKmText(log.dayKm[size_t(day - 1)]));
    txtComment->setText(log.comments[size_t(day - 1)]);
    m_loading = false;
    fillDayList(dayStopCount(log, day) - 1);
}

void frmSzerkeszto::paintDay(int day) {
    const MonthLog& log = m_state.month;
    const int cell = cellOfDay(log.year, log.month, day);
    if (day < 1 || day > daysInMonth(log.year, log.month) || cell < 1 || cell > kCalendarCells)
        return;
    paintCell(lblNapok[size_t(cell - 1)], day == m_day, isDayOff(log.year, log.month, day), dayStopCount(log, day) > 0);
}

void frmSzerkeszto::paintCalendar() {
    for (int cell = 1; cell <= kCalendarCells; ++cell) {
        const int day = dayOfCell(m_state.month.year, m_state.month.month, cell);
        if (day)
            paintDay(day);
        else
            paintCell(lblNapok[size_t(cell - 1)], false);
    }
}

bool frmSzerkeszto::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const QVariant cell = watched->property(kCellProperty);
        if (cell.isValid() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            const int day = dayOfCell(m_state.month.year, m_state.month.month, cell.toInt());
            if (day)
                trap(u"lblNapokClick"_s, [this, day] { showDay(day); });
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && watched == picNaptar) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : key == Qt::Key_Up ? -7 : key == Qt::Key_Down ? 7 : 0;
        if (step) {
            const int day = m_day + step;
            if (day >= 1 && day <= daysInMonth(m_state.month.year, m_state.month.month))
                trap(u"picNaptarKeyDown"_s, [this, day] { showDay(day); });
            return true;
        }
    } else if (event->type() == QEvent::FocusIn && watched == picNaptar) {
        picNaptar->setBackgroundRole(QPalette::Highlight); // shows where the keys go
    } else if (event->type() == QEvent::FocusOut && watched == picNaptar) {
        picNaptar->setBackgroundRole(QPalette::Window);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == lstKesz && key == Qt::Key_Delete && cmdTorol->isEnabled()) {
            trap(u"lstKeszKeyPress"_s, [this] { deleteSelectedStop(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rv
