#include "frmInput.h"

#include "database/partners.h"
#include "storage/fieldtext.h"
#include "model/state.h"
#include "storage/datafiles.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmInput::frmInput(AppState& state, const QString& mode, QString* resultFlag, int modified, QWidget* parent)
    : QDialog(parent), tag(mode), m_state(state), m_flag(resultFlag), m_modified(modified) {
    setObjectName(u"frmInput"_s);
    setModal(true);

    txtNev = new QLineEdit(this);
    txtNev->setObjectName(u"txtNev"_s);
    txtNev->setMaxLength(100);
    cboVaros = new QComboBox(this);
    cboVaros->setObjectName(u"cboVaros"_s);
    setUpCityCombo(cboVaros);
    cboVaros->lineEdit()->setMaxLength(100);
    txtCim = new QLineEdit(this);
    txtCim->setObjectName(u"txtCim"_s);
    txtCim->setMaxLength(100);
    cmdVarosLoad = namedButton(this, u"cmdVarosLoad"_s, u"&Városok betöltése"_s);
    cmdVarosLoad->setAutoDefault(false);
    lblLoad = new QLabel(this);
    lblLoad->setObjectName(u"lblLoad"_s);
    cmdOK = namedButton(this, u"cmdOK"_s, u"OK"_s);
    cmdOK->setDefault(true);
    cmdMegsem = namedButton(this, u"cmdMegsem"_s, u"&Mégsem"_s);
    cmdMegsem->setAutoDefault(false);

    auto* nameLabel = new QLabel(u"Partner &neve:"_s, this);
    nameLabel->setBuddy(txtNev);
    auto* cityLabel = new QLabel(u"Vá&ros:"_s, this);
    cityLabel->setBuddy(cboVaros);
    auto* addressLabel = new QLabel(u"Partner &címe:"_s, this);
    addressLabel->setBuddy(txtCim);

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(txtNev, 0, 1, 1, 2);
    grid->addWidget(cityLabel, 1, 0);
    grid->addWidget(cboVaros, 1, 1);
    grid->addWidget(cmdVarosLoad, 1, 2);
    grid->addWidget(addressLabel, 2, 0);
    grid->addWidget(txtCim, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblLoad, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdMegsem);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());

    attachQuoteFilter(txtNev, state, quoteMessage(u"sajnos nem megengedett a cégnévben."_s));
    attachQuoteFilter(txtCim, state, quoteMessage(u"sajnos nem megengedett a címben."_s));
    attachQuoteFilter(cboVaros, state, quoteMessage(u"sajnos nem megengedett a város nevében."_s));

    fillCities();
    cmdVarosLoad->setVisible(!state.citiesLoaded);

    connect(cmdOK, &QPushButton::clicked, this, &frmInput::cmdOKClick);
    connect(cmdMegsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdVarosLoad, &QPushButton::clicked, this, &frmInput::cmdVarosLoadClick);
}

void frmInput::setTexts(const Partner& p) {
    txtNev->setText(p.name);
    cboVaros->setEditText(p.city);
    txtCim->setText(p.address);
}

void frmInput::fillCities() { fillCityCombo(cboVaros, m_state.cities); }

void frmInput::cmdVarosLoadClick() {
    runTrapped(m_state, u"frmInput - cmdVarosLoad_Click:"_s, [&] {
        lblLoad->setText(u"Városok betöltése..."_s);
        cmdVarosLoad->setEnabled(false);
        const Result r = loadCitiesOnDemand(m_state);
        lblLoad->clear();
        cmdVarosLoad->setEnabled(true);
        if (!r)
            return;
        fillCities();
        cmdVarosLoad->hide();
        cboVaros->setFocus();
    });
}

void frmInput::cmdOKClick() {
    runTrapped(m_state, u"frmInput - cmdOK_Click:"_s, [&] {
        const Partner input = trimmedPartner(txtNev->text(), cboVaros->currentText(), txtCim->text());
        const PartnerInputError e =
            checkPartnerInput(m_state, input, tag == u"modosit"_s ? m_modified : 0);
        if (e != PartnerInputError::None) {
            if (m_state.prompter)
                m_state.prompter->ask(partnerInputMessage(e, input), Ok, MsgIcon::Exclamation);
            if (e == PartnerInputError::NoName ||
                (e == PartnerInputError::Unstorable && !unstorableTextProblem(input.name).isEmpty()))
                txtNev->setFocus();
            else if (e == PartnerInputError::NoCity ||
                     (e == PartnerInputError::Unstorable && !unstorableTextProblem(input.city).isEmpty()))
                cboVaros->setFocus();
            else if (e == PartnerInputError::Unstorable)
                txtCim->setFocus();
            return;
        }
        m_result = input;
        if (m_flag)
            *m_flag = u"I"_s;
        accept();
    });
}

} // namespace rv
