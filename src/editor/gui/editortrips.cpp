#include "frmSzerkeszto.h"

#include "editor/calendar.h"
#include "editor/gui/editorcaption.h"
#include "editor/tripentry.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

// The editor's trip entry: the partners, the day's stops, copying between days, the comment.
namespace rv {

void frmSzerkeszto::fillPartners() {
    m_loading = true;
    lstPartnerek->clear();
    for (int i = 1; i <= m_state.partnerCount(); ++i) {
        auto* item = new QListWidgetItem(PartnerLabel(m_state, i), lstPartnerek);
        item->setData(Qt::UserRole, i);
    }
    m_loading = false;
}

void frmSzerkeszto::fillDayList(int selected) {
    m_loading = true;
    lstKesz->clear();
    for (int p : dayStops(m_state.month, m_day))
        lstKesz->addItem(stopLabel(m_state, p));
    if (selected >= 0 && selected < lstKesz->count())
        lstKesz->setCurrentRow(selected);
    const bool any = lstKesz->count() > 0;
    cmdTorol->setEnabled(any);
    cmdMindentTorol->setEnabled(any);
    m_loading = false;
}

int frmSzerkeszto::selectedStopLine() const {
    const auto items = lstKesz->selectedItems();
    return items.isEmpty() ? -1 : lstKesz->row(items.first());
}

void frmSzerkeszto::afterStopChange(int selected) {
    fillDayList(selected);
    paintCalendar(); // a copy may have filled another day
    validate();
    recomputeCost();
    refreshKilometres(m_day);
    // The stop the hint spoke of may be gone.
    updateDistanceHint();
}

void frmSzerkeszto::addSelectedPartner() {
    // The list stays for reading; a car open for reading takes no stop by its keys either.
    const auto items = lstPartnerek->selectedItems();
    if (items.isEmpty() || m_state.readOnly())
        return;
    const int partner = items.first()->data(Qt::UserRole).toInt();
    const TripType type = optOdaVissza->isChecked() ? TripType::ReturnTrip
                          : optACeghez->isChecked() ? TripType::BackToBase
                                                    : TripType::OneWay;
    const StopEdit edit = addPartner(m_state, m_state.month, m_day, selectedStopLine(), partner, type);
    lblTavolsag->setText(u"-"_s);
    if (edit.changed)
        afterStopChange(edit.selected);
}

void frmSzerkeszto::deleteSelectedStop() {
    const StopEdit edit = deleteStop(m_state.month, m_day, selectedStopLine());
    if (edit.changed)
        afterStopChange(edit.selected);
}

void frmSzerkeszto::deleteAllStops() {
    if (dayStopCount(m_state.month, m_day) == 0)
        return;
    if (!m_state.prompter || !askYesDefaultNo(*m_state.prompter, u"Biztos, hogy mindent töröl az adott napról?"_s))
        return;
    if (deleteDay(m_state.month, m_day))
        afterStopChange(-1);
}

void frmSzerkeszto::copyBetweenDays() {
    const auto days = copyDays(m_state.month, m_day, txtHonnan->text(), txtHova->text());
    if (!days)
        return;
    if (!copyDay(m_state.month, days->first, days->second, optCsatol->isChecked()))
        return;
    // The list follows the table when the current day was the target.
    const int selected = days->second == m_day ? dayStopCount(m_state.month, m_day) - 1 : selectedStopLine();
    afterStopChange(selected);
}

void frmSzerkeszto::dayFieldChanged(QLineEdit* edit, QString& lastAccepted) {
    if (m_busy)
        return;
    if (m_loading) {
        lastAccepted = edit->text();
        return;
    }
    const QString text = edit->text();
    const QString accepted =
        filterDayField(text, lastAccepted, daysInMonth(m_state.month.year, m_state.month.month));
    lastAccepted = accepted;
    if (accepted != text) {
        m_busy = true;
        edit->setText(accepted);
        m_busy = false;
    }
    if (!accepted.isEmpty())
        edit->setCursorPosition(int(accepted.size()));
}

void frmSzerkeszto::commentChanged() {
    if (m_loading)
        return;
    MonthLog& log = m_state.month;
    log.comments[size_t(m_day - 1)] = removeQuotes(txtComment->text()).trimmed();
    log.modified = true;
}

void frmSzerkeszto::updateDistanceHint() {
    if (lstKesz->count() == 0) {
        lblTavolsag->setText(u"-"_s);
        return;
    }
    const auto partners = lstPartnerek->selectedItems();
    const int partner = partners.isEmpty() ? 0 : partners.first()->data(Qt::UserRole).toInt();
    const int line = selectedStopLine();
    const QVector<int> stops = dayStops(m_state.month, m_day);
    const int stop = (line >= 0 && line < stops.size()) ? stops.at(line) : 0;
    lblTavolsag->setText(distanceHint(m_state, partner, stop));
}

} // namespace rv
