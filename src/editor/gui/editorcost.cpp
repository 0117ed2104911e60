#include "frmSzerkeszto.h"

#include "editor/calendar.h"
#include "editor/gui/editorcaption.h"
#include "model/logbookfile.h"
#include "model/cost.h"
#include "model/grouping.h"
#include "model/monthfacts.h"
#include "model/monthprice.h"
#include "model/reckoning.h"
#include "model/norms.h"
#include "printing/travelorder.h"
#include "model/state.h"

#include <QCheckBox>
#include <QLabel>

using namespace Qt::Literals::StringLiterals;

// The editor's figures: the kilometres, the closing reading, the season boxes and the cost.
namespace rv {

void frmSzerkeszto::recomputeCost() {
    const MonthReckoning r = reckonMonth(m_state, m_state.month, seasonOf(m_state, chkKlima->isChecked(), chkTeliUzem->isChecked()));
    m_totalCost = r.total;
    // What makes the cost doubtful is named under it, with the month's verdict, until it is mended.
    QString caption = costCaption(r.total);
    if (r.verdict() == Verdict::Doubtful)
        caption += u'\n' + verdictText(r);
    lblOsszKoltseg->setText(caption);
}

void frmSzerkeszto::refreshKilometres(int day) {
    const qint64 month = rv::refreshKilometres(m_state, m_state.month);
    if (day >= 1 && day <= kLogDays)
        lblKmANapon->setText(dayKmText(m_state.month.dayKm[size_t(day - 1)]));
    lblKmAHonapban->setText(monthKmText(month));
    showClosingReading();
}

void frmSzerkeszto::showClosingReading() {
    const MonthLog& log = m_state.month;
    const MonthReading reading = monthReading(log.year, log.month, log.startOdometer, log.monthKm, monthFactsOf(log));
    lblZaroAllas->setText(u"Záró: "_s + closingReadingText(reading, Digits::Grouped));
    lblMagan->setText(u"Magánhasználat: %1 km, üzleti arány: %2"_s.arg(groupedDigits(reading.privateKm))
                          .arg(businessShareText(log.monthKm, reading.privateKm)));
}

void frmSzerkeszto::seasonClicked(QCheckBox* clicked, QCheckBox* other) {
    if (clicked->isChecked())
        other->setChecked(false);
    const SeasonBox box = chkKlima->isChecked()     ? SeasonBox::AirConditioning
                          : chkTeliUzem->isChecked() ? SeasonBox::Winter
                                                     : SeasonBox::None;
    if (box != m_state.month.season) {
        // The box is kept with the month: the reprinted statement must match this one.
        m_state.month.season = box;
        m_state.month.modified = true;
    }
    recomputeCost();
}

} // namespace rv
