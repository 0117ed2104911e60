#include "frmHonapok.h"

#include "model/grouping.h"
#include "model/monthchain.h"
#include "model/monthlist.h"
#include "months/newmonth.h"
#include "months/sample.h"
#include "months/targetsample.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// The months window's new-month frame: a blank month, or a sample month generated to a target.
namespace rv {

// ---- the new-month controls -------------------------------------------------------------------

void frmHonapok::stepYear(int delta) {
    const double year = toNumber(txtEvSzam->text()).value_or(0) + delta;
    txtEvSzam->setText(QString::number(year, 'g', 15));
}

void frmHonapok::clampKm(const QString& text) {
    const QString clamped = clampTargetText(text);
    if (clamped != text)
        txtKm->setText(clamped);
}

void frmHonapok::showSampleControls(bool on) {
    fraMinta->setVisible(on);
    for (QWidget* w = fraMinta->parentWidget(); w; w = w->parentWidget())
        if (w->layout())
            w->layout()->activate(); // the new size hints, before the window takes them
    // The height follows the options; the width only grows.
    resize(std::max(width(), sizeHint().width()), sizeHint().height());
}

void frmHonapok::setBusy(bool busy) {
    m_busy = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{txtEvSzam, cmdPlus, cmdMinus, cboHonapok, chkMinta, fraMinta,
                                                      cmdSzerkesztUj, cboEv, lstHonapok, cmdVissza})
        w->setEnabled(!busy);
    lblStatusz->setVisible(busy);
    pgbStatusz->setVisible(busy);
    if (!busy) {
        pgbStatusz->setMaximum(100);
        pgbStatusz->setValue(0);
    }
    updateButtons();
}

void frmHonapok::cmdSzerkesztUjClick() {
    const std::optional<int> year = newMonthYear(txtEvSzam->text());
    if (!year) {
        if (m_state.prompter)
            m_state.prompter->ask(badYearMessage(), Ok, MsgIcon::Exclamation);
        txtEvSzam->setFocus();
        txtEvSzam->selectAll();
        return;
    }
    const int month = cboHonapok->currentIndex() + 1;
    const MonthTarget file = monthTarget(m_state, *year, month);
    if (file.exists && m_state.prompter && !askYesDefaultNo(*m_state.prompter, overwriteMonthQuestion()))
        return;
    // The file as the user agreed to replace it (or its absence): a change before the save is asked.
    const FileStamp onDisk = stampOf(m_state.carPath(file.fileName));

    setBusy(true);
    lblStatusz->setText(u"Töltés..."_s);
    if (m_state.partnerCount() < 2) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Nincsenek adatok az adatbázisban."_s, Ok, MsgIcon::Exclamation);
        setBusy(false);
        return;
    }
    // A new month starts from a clean record: nothing of the month opened before carries over.
    m_state.month = MonthLog{};
    m_state.month.year = *year;
    m_state.month.month = month;
    m_state.month.onDisk = onDisk;
    m_state.month.startOdometer = chainedStart(previousReading(m_state, *year, month));

    if (!chkMinta->isChecked()) {
        handOver(true);
        return;
    }
    const int target = targetKm(txtKm->text());
    if (target == 0) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Kérem adja meg a kívánt távolságot."_s, Ok, MsgIcon::Information);
        setBusy(false);
        txtKm->setFocus();
        return;
    }
    MintaKeszites(target);
}

void frmHonapok::MintaKeszites(int target) {
    SampleRequest request;
    request.year = m_state.month.year;
    request.month = m_state.month.month;
    request.target = target;
    for (int d = 1; d <= 7; ++d)
        request.weekdays[size_t(d)] = chkNap[size_t(d)]->isChecked();
    request.holidays = chkSzunnap->isChecked();

    if (chkPontos->isChecked()) {
        MonthLog present = m_state.month;
        ExactSampleResult exact;
        if (!trap(u"MintaKeszites"_s, [&] { exact = PontosMintaKeszites(m_state, request, *this); }))
            return;
        if (exact.outcome == ExactOutcome::Generated && exact.longWalks &&
            !(m_state.prompter && askYesDefaultNo(*m_state.prompter, longWalksQuestion(exact)))) {
            m_state.month = std::move(present);
            setBusy(false);
            return;
        }
        if (exact.outcome == ExactOutcome::Generated) {
            m_state.mainWindowTag = u"korábbi"_s;
            m_state.month.modified = true;
            handOver(false);
            return;
        }
        if (!exact.reason.isEmpty() && m_state.prompter)
            m_state.prompter->inform(exact.reason);
        setBusy(false);
        return;
    }

    SampleOutcome outcome = SampleOutcome::NoPartners;
    if (!trap(u"MintaKeszites"_s, [&] { outcome = ::rv::MintaKeszites(m_state, request, *this); }))
        return;
    if (outcome == SampleOutcome::Generated && !offerExactMonth(request))
        return;
    switch (outcome) {
    case SampleOutcome::Generated:
        m_state.mainWindowTag = u"korábbi"_s;
        // Offered for saving: the editor takes the month as it is.
        m_state.month.modified = true;
        handOver(false);
        break;
    case SampleOutcome::FallbackDeclined: {
        const qint32 start = m_state.month.startOdometer;
        m_state.month = MonthLog{};
        m_state.month.year = request.year;
        m_state.month.month = request.month;
        m_state.month.startOdometer = start;
        handOver(true);
        break;
    }
    case SampleOutcome::NoWorkingDays:
    case SampleOutcome::NoPartners:
    case SampleOutcome::DaysCut:
        setBusy(false);
        break;
    }
}

// A month below the target or over the limit: when one that reaches the target exists, the user
// may take it instead. False when the error trap ended the handler.
bool frmHonapok::offerExactMonth(const SampleRequest& request) {
    if (m_state.month.monthKm >= request.target &&
        m_state.month.monthKm <= sampleLimit(request.target, sampleSettings(m_state.settings).factor))
        return true;
    MonthLog present = m_state.month;
    ExactSampleResult exact;
    if (!trap(u"MintaKeszites"_s, [&] { exact = PontosMintaKeszites(m_state, request, *this); }))
        return false;
    if (exact.outcome != ExactOutcome::Generated)
        return true;
    if (exact.longWalks) {
        if (!m_state.prompter || !askYesDefaultNo(*m_state.prompter, longWalksQuestion(exact)))
            m_state.month = std::move(present);
        return true;
    }
    const QString question = u"Készíthető olyan minta is, amely a kért %1 km-t a hibahatáron belül eléri "
                             u"(%2 napon, összesen %3 km).\r\nKívánja ezt a mintát használni?"_s
                                 .arg(groupedDigits(request.target))
                                 .arg(exact.tripDays)
                                 .arg(groupedDigits(m_state.month.monthKm));
    if (!m_state.prompter || !askYesNo(*m_state.prompter, question))
        m_state.month = std::move(present);
    return true;
}

} // namespace rv
