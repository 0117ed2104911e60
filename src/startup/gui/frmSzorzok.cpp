#include "frmSzorzok.h"

#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmSzorzok::frmSzorzok(AppState& state, const QString& mainCaption, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName(u"frmSzorzok"_s);
    setWindowTitle(mainCaption + u" - Szorzók - "_s);

    const QString names[kMultiplierBoxCount] = {u"txtBudaPest"_s, u"txtMegyeSzekhely"_s, u"txtEgyebVaros"_s,
                                                u"txtTerep"_s,    u"txtAkadalyozott"_s,  u"txtKlima"_s,
                                                u"txtTeliUzem"_s};
    QLineEdit** members[kMultiplierBoxCount] = {&txtBudaPest, &txtMegyeSzekhely, &txtEgyebVaros, &txtTerep,
                                                &txtAkadalyozott, &txtKlima, &txtTeliUzem};
    auto* grid = new QGridLayout;
    auto* heading = new QLabel(u"Szorzók százalékban (100 = nincs eltérés):"_s, this);
    grid->addWidget(heading, 0, 0, 1, 3);
    const MultiplierTexts texts = multiplierTexts(m_state);
    // The names come from the multiplier file: their Alt keys are given around the fixed ones
    // (OK, Mégsem, Súgó, Alapértelmezett, Törvényi).
    QString taken = u"omsat"_s;
    for (int i = 0; i < kMultiplierBoxCount; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(names[i]);
        box->setText(texts[size_t(i)]);
        box->setAlignment(Qt::AlignRight);
        box->setMaximumWidth(90);
        *members[i] = box;
        auto* label = new QLabel(withFreeMnemonic(m_state.multipliers[size_t(i + 1)].name, taken) + u':', this);
        label->setObjectName(u"lblMegnevezes"_s + QString::number(i + 2));
        label->setBuddy(box);
        lblMegnevezes[size_t(i)] = label;
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(box, i + 1, 1);
        grid->addWidget(new QLabel(u"%"_s, this), i + 1, 2);
        attachNumericFilter(box);
    }
    cboAlapErtelmezettSzorzo = new QComboBox(this);
    cboAlapErtelmezettSzorzo->setObjectName(u"cboAlapErtelmezettSzorzo"_s);
    for (int i = 0; i < kRouteTypeCount; ++i)
        cboAlapErtelmezettSzorzo->addItem(m_state.multipliers[size_t(i)].name);
    cboAlapErtelmezettSzorzo->setCurrentIndex(std::clamp(int(m_state.defaultRouteType), 1, kRouteTypeCount) - 1);
    auto* lblDefault = new QLabel(u"&Alapértelmezett szorzó:"_s, this);
    lblDefault->setBuddy(cboAlapErtelmezettSzorzo);
    grid->addWidget(lblDefault, kMultiplierBoxCount + 1, 0);
    grid->addWidget(cboAlapErtelmezettSzorzo, kMultiplierBoxCount + 1, 1, 1, 2);

    const DialogButtons buttons = dialogButtons(this, true);
    cmdOK = buttons.ok;
    cmdMegsem = buttons.cancel;
    cmdSugo = buttons.help;

    cmdTorvenyi = namedButton(this, u"cmdTorvenyi"_s, u"&Törvényi értékek"_s);
    grid->addWidget(cmdTorvenyi, kMultiplierBoxCount + 2, 1, 1, 2);
    // Tab reaches it below the combo, before the closing buttons, as on the screen.
    setTabOrder(cboAlapErtelmezettSzorzo, cmdTorvenyi);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons.box);

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        runTrapped(m_state, u"frmSzorzok - cmdOK_Click:"_s, [this] { onOK(); });
    });
    connect(cmdTorvenyi, &QPushButton::clicked, this, [this] {
        if (m_state.prompter && !askYesNo(*m_state.prompter, legalMultipliersQuestion(m_state)))
            return;
        MultiplierTexts texts;
        const auto all = boxes();
        for (int i = 0; i < kMultiplierBoxCount; ++i)
            texts[size_t(i)] = all[size_t(i)]->text();
        texts = withLegalMultipliers(texts);
        for (int i = 0; i < kMultiplierBoxCount; ++i)
            all[size_t(i)]->setText(texts[size_t(i)]);
    });
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, 15); });
    helpKey(this, 15);
}

std::array<QLineEdit*, kMultiplierBoxCount> frmSzorzok::boxes() const {
    return {txtBudaPest, txtMegyeSzekhely, txtEgyebVaros, txtTerep, txtAkadalyozott, txtKlima, txtTeliUzem};
}

void frmSzorzok::onOK() {
    MultiplierTexts texts;
    const auto all = boxes();
    for (int i = 0; i < kMultiplierBoxCount; ++i)
        texts[size_t(i)] = all[size_t(i)]->text();
    if (auto problem = applyMultipliers(m_state, texts, cboAlapErtelmezettSzorzo->currentIndex() + 1)) {
        if (m_state.prompter)
            m_state.prompter->inform(problem->message, MsgIcon::Exclamation);
        if (problem->box >= 0)
            all[size_t(problem->box)]->setFocus();
        return;
    }
    accept();
}

} // namespace rv
