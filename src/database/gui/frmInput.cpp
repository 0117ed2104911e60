#include "frmInput.h"

#include "database/partners.h"
#include "storage/datafiles.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
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
    cboVaros->setEditable(true);
    cboVaros->setInsertPolicy(QComboBox::NoInsert);
    cboVaros->setMaxVisibleItems(15);
    cboVaros->lineEdit()->setMaxLength(100);
    txtCim = new QLineEdit(this);
    txtCim->setObjectName(u"txtCim"_s);
    txtCim->setMaxLength(100);
    cmdVarosLoad = new QPushButton(u"&Városok betöltése"_s, this);
    cmdVarosLoad->setObjectName(u"cmdVarosLoad"_s);
    lblLoad = new QLabel(this);
    lblLoad->setObjectName(u"lblLoad"_s);
    cmdOK = new QPushButton(u"OK"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setDefault(true);
    cmdMegsem = new QPushButton(u"&Mégsem"_s, this);
    cmdMegsem->setObjectName(u"cmdMegsem"_s);
    cmdMegsem->setAutoDefault(false);
    cmdVarosLoad->setAutoDefault(false);

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

void frmInput::fillCities() {
    const QString typed = cboVaros->currentText();
    cboVaros->clear();
    cboVaros->addItems(m_state.cities);
    cboVaros->setCurrentIndex(-1);
    cboVaros->setEditText(typed);
    // Finding a city by the start of its name, as the user types.
    if (QCompleter* c = cboVaros->completer()) {
        c->setCaseSensitivity(Qt::CaseInsensitive);
        c->setCompletionMode(QCompleter::InlineCompletion);
    }
}

void frmInput::cmdVarosLoadClick() {
    runTrapped(m_state, u"frmInput - cmdVarosLoad_Click:"_s, [&] {
        lblLoad->setText(u"Városok betöltése..."_s);
        cmdVarosLoad->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const Result r = LoadCities(m_state, {}, [](int done) {
            if (done % 200 == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        QApplication::restoreOverrideCursor();
        lblLoad->clear();
        cmdVarosLoad->setEnabled(true);
        if (!r) {
            if (m_state.prompter)
                m_state.prompter->ask(u"A városok listája nem tölthető be.\r\n\r\n"_s + r.message(), Ok,
                                      MsgIcon::Exclamation);
            return;
        }
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
                m_state.prompter->ask(partnerInputMessage(e), Ok, MsgIcon::Exclamation);
            if (e == PartnerInputError::NoName)
                txtNev->setFocus();
            else if (e == PartnerInputError::NoCity)
                cboVaros->setFocus();
            return;
        }
        m_result = input;
        if (m_flag)
            *m_flag = u"I"_s;
        accept();
    });
}

} // namespace rv
