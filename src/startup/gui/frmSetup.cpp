#include "frmSetup.h"

#include "startup/dialogvalues.h"
#include "model/errorlog.h"
#include "storage/settings.h"
#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmSetup::frmSetup(AppState& state, const QString& mainCaption, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(u"frmSetup"_s);
    setWindowTitle(mainCaption + u" - Beállítások -"_s);

    chkExit = new QCheckBox(u"&Kilépés megerősítése"_s, this);
    chkExit->setObjectName(u"chkExit"_s);
    chkVaros = new QCheckBox(u"&Városok betöltése induláskor"_s, this);
    chkVaros->setObjectName(u"chkVaros"_s);
    txtHiba = new QLineEdit(this);
    txtHiba->setObjectName(u"txtHiba"_s);
    txtProbakSzama = new QLineEdit(this);
    txtProbakSzama->setObjectName(u"txtProbakSzama"_s);

    auto* general = new QGroupBox(u"Általános"_s, this);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(chkExit);
    generalLayout->addWidget(chkVaros);

    auto* sample = new QGroupBox(u"Mintagenerálás"_s, this);
    auto* sampleLayout = new QFormLayout(sample);
    auto* lblHiba = new QLabel(u"&Hibahatár (%):"_s, sample);
    lblHiba->setBuddy(txtHiba);
    auto* lblProbak = new QLabel(u"&Próbák száma:"_s, sample);
    lblProbak->setBuddy(txtProbakSzama);
    sampleLayout->addRow(lblHiba, txtHiba);
    sampleLayout->addRow(lblProbak, txtProbakSzama);

    const DialogButtons buttons = dialogButtons(this, true);
    cmdOK = buttons.ok;
    cmdMegsem = buttons.cancel;
    cmdSugo = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(sample);
    layout->addWidget(buttons.box);

    const SetupValues v = readSetup(*m_state.settings);
    chkExit->setChecked(v.confirmExit);
    chkVaros->setChecked(v.loadCities);
    txtHiba->setText(v.tolerance);
    txtProbakSzama->setText(v.tries);
    attachNumericFilter(txtHiba);
    attachNumericFilter(txtProbakSzama);

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        runTrapped(m_state, u"frmSetup - cmdOK_Click:"_s, [this] { onOK(); });
    });
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, 12); });
    helpKey(this, 12);
}

void frmSetup::onOK() {
    SetupValues v;
    v.confirmExit = chkExit->isChecked();
    v.loadCities = chkVaros->isChecked();
    v.tolerance = txtHiba->text();
    v.tries = txtProbakSzama->text();
    if (const Result r = writeSetup(*m_state.settings, v); !r) {
        // The dialog stays open with what the user chose: another try, or Mégse.
        logCaught(m_state, r.code(), r.message());
        if (m_state.prompter)
            m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    accept();
}

} // namespace rv
