#include "frmUjUser.h"

#include "frmImportUser.h"
#include "frmNorma.h"
#include "startup/carops.h"
#include "database/publishedprices.h"
#include "model/carfacts.h"
#include "model/reckoning.h"
#include "model/taxid.h"
#include "storage/datafiles.h"
#include "model/norms.h"
#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
QLineEdit* lineEdit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}
} // namespace

frmUjUser::frmUjUser(AppState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(u"frmUjUser"_s);
    txtAzonosito = lineEdit(this, u"txtAzonosito"_s);
    txtGKTip = lineEdit(this, u"txtGKTip"_s);
    txtGKTip->setMaxLength(kCarTextLimit);
    txtRendSzam = lineEdit(this, u"txtRendSzam"_s);
    txtFogyasztas = lineEdit(this, u"txtFogyasztas"_s);
    txtAltKoltseg = lineEdit(this, u"txtAltKoltseg"_s);
    cboBenzin = new QComboBox(this);
    cboBenzin->setObjectName(u"cboBenzin"_s);
    for (const FuelType& f : fuelTypeTable())
        cboBenzin->addItem(f.name);
    txtCegNev = lineEdit(this, u"txtCegNev"_s);
    txtCegNev->setMaxLength(kCarTextLimit);
    cboVaros = new QComboBox(this);
    cboVaros->setObjectName(u"cboVaros"_s);
    setUpCityCombo(cboVaros);
    txtCegCim = lineEdit(this, u"txtCegCim"_s);
    txtCegCim->setMaxLength(kCarTextLimit);
    txtAdoazonosito = lineEdit(this, u"txtAdoazonosito"_s);
    txtAdoazonosito->setMaxLength(kTaxIdLength + 2); // room for blanks around, trimmed away
    txtAdoazonosito->setToolTip(u"A gépkocsi vezetőjének adóazonosító jele (10 számjegy); a kiküldetési rendelvényre "
                                u"kerül. Üresen is hagyható."_s);

    cmdVarosLoad = namedButton(this, u"cmdVarosLoad"_s, u"Városok &betöltése"_s);
    cmdNorma = namedButton(this, u"cmdNorma"_s, u"&Norma..."_s);
    cboNorma = new QComboBox(this);
    cboNorma->setObjectName(u"cboNorma"_s);
    cboNorma->addItem(normKindName(NormKind::TypeBased));
    cboNorma->addItem(normKindName(NormKind::Flat));
    cboNorma->setToolTip(u"Korrekciós szorzó (úttípus, klíma, téli üzemeltetés) csak a típus szerinti alapnormához "
                         u"jár; az alapnorma-átalányhoz nem."_s);
    cboArForras = new QComboBox(this);
    cboArForras->setObjectName(u"cboArForras"_s);
    cboArForras->addItem(priceSourceName(PriceSource::Nav));
    cboArForras->addItem(priceSourceName(PriceSource::Own));
    cboArForras->setToolTip(u"NAV-árak: minden hónap a NAV által arra a hónapra közzétett árral számol. Saját árak: "
                            u"az Adatbázis ablak Benzinárak lapján beírt, számla szerinti árakkal."_s);
    const DialogButtons buttons = dialogButtons(this);
    cmdOK = buttons.ok;
    cmdMegsem = buttons.cancel;

    auto* form = new QFormLayout;
    auto row = [&](const QString& label, QWidget* field) {
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        form->addRow(l, field);
    };
    // A box that takes the room and a button beside it, the label naming the box.
    auto rowWithButton = [&](const QString& label, QWidget* field, QWidget* button) {
        auto* line = new QHBoxLayout;
        line->addWidget(field, 1);
        line->addWidget(button);
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        form->addRow(l, line);
        return l;
    };
    row(u"&Felhasználónév:"_s, txtAzonosito);
    row(u"Gépkocsi &típusa:"_s, txtGKTip);
    row(u"&Rendszám:"_s, txtRendSzam);
    row(u"Ü&zemanyag:"_s, cboBenzin);
    lblFogyasztas = rowWithButton(QString(), txtFogyasztas, cmdNorma);
    lblFogyasztas->setObjectName(u"lblFogyasztas"_s);
    const auto showUnit = [this](int fuelIndex) {
        lblFogyasztas->setText(u"Fo&gyasztás (%1/100 km):"_s.arg(measureUnit(fuelMeasure(fuelIndex))));
    };
    showUnit(cboBenzin->currentIndex());
    connect(cboBenzin, &QComboBox::currentIndexChanged, this, showUnit);
    row(u"A norma fa&jtája:"_s, cboNorma);
    row(u"Az üzemanyagárak forrá&sa:"_s, cboArForras);
    row(u"Általános &költség (Ft/km):"_s, txtAltKoltseg);
    row(u"&Cégnév:"_s, txtCegNev);
    rowWithButton(u"&Város:"_s, cboVaros, cmdVarosLoad);
    row(u"Cég c&íme:"_s, txtCegCim);
    row(u"A vezető a&dóazonosító jele:"_s, txtAdoazonosito);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons.box);

    // Texts end up in data files, where a double quote has no place.
    attachQuoteFilter(txtAzonosito, m_state, quoteMessage(u"sajnos nem megengedett az azonosítóban."_s));
    attachQuoteFilter(txtGKTip, m_state, quoteMessage(u"sajnos nem megengedett a gépkocsi típusában."_s));
    attachQuoteFilter(txtRendSzam, m_state, quoteMessage(u"sajnos nem megengedett a rendszámban."_s));
    attachQuoteFilter(txtCegNev, m_state, quoteMessage(u"sajnos nem megengedett a cégnévben."_s));
    attachQuoteFilter(txtCegCim, m_state, quoteMessage(u"sajnos nem megengedett a cég címében."_s));
    attachQuoteFilter(cboVaros, m_state, quoteMessage(u"nem megengedett a város nevében."_s));
    attachNumericFilter(txtFogyasztas);
    attachNumericFilter(txtAltKoltseg);

    fillCities();
    connect(cmdVarosLoad, &QPushButton::clicked, this, [this] {
        runTrapped(m_state, u"frmUjUser - cmdVarosLoad_Click:"_s, [this] { loadCities(); });
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        runTrapped(m_state, u"frmUjUser - cmdOK_Click:"_s, [this] { onOK(); });
    });
    connect(cmdNorma, &QPushButton::clicked, this, [this] { chooseNorm(); });

    // The form's order; the city's load button comes right after the city.
    tabOrder({txtAzonosito, txtGKTip, txtRendSzam, cboBenzin, txtFogyasztas, cmdNorma, cboNorma, cboArForras, txtAltKoltseg, txtCegNev, cboVaros,
              cmdVarosLoad, txtCegCim, txtAdoazonosito, cmdOK, cmdMegsem});
    helpKey(this, 20);

    chooseImportCar = [this] { return frmImportUser::choose(m_state, m_mainCaption, this); };
    setMinimumWidth(520);
}

void frmUjUser::fillCities() {
    fillCityCombo(cboVaros, m_state.cities);
    cmdVarosLoad->setVisible(!m_state.citiesLoaded);
}

void frmUjUser::loadCities() {
    loadCitiesOnDemand(m_state);
    fillCities();
}

void frmUjUser::prepareNew(const QString& mainCaption) {
    m_mode = u"uj"_s;
    m_index = 0;
    m_mainCaption = mainCaption;
    setWindowTitle(mainCaption + u" - Új gépkocsi -"_s);
    for (QLineEdit* e : {txtAzonosito, txtGKTip, txtRendSzam, txtFogyasztas, txtAltKoltseg, txtCegNev, txtCegCim,
                         txtAdoazonosito})
        e->clear();
    txtAltKoltseg->setText(QString::number(kGeneralCostPerKm));
    cboBenzin->setCurrentIndex(0);
    cboNorma->setCurrentIndex(0);
    cboArForras->setCurrentIndex(0);
    m_engineCm3 = 0;
    fillCities();
    cboVaros->setEditText(QString());
    txtAzonosito->setFocus();
}

void frmUjUser::prepareModify(int index, const QString& mainCaption) {
    prepareNew(mainCaption);
    setWindowTitle(mainCaption + u" - Gépkocsi módosítása -"_s);
    m_mode = u"modosit"_s;
    m_index = index;
    const CarForm f = formFromCar(m_state.car(index));
    txtAzonosito->setText(f.userName);
    txtGKTip->setText(f.carType);
    txtRendSzam->setText(f.plate);
    txtFogyasztas->setText(f.consumption);
    txtAltKoltseg->setText(f.generalCost);
    cboBenzin->setCurrentIndex(std::clamp(f.fuelType, 1, kFuelTypeCount) - 1);
    txtCegNev->setText(f.companyName);
    cboVaros->setEditText(f.city);
    txtCegCim->setText(f.companyAddress);
    const CarFacts facts = carFactsOf(m_state, index);
    cboNorma->setCurrentIndex(facts.norm == NormKind::Flat ? 1 : 0);
    m_engineCm3 = facts.engineCm3;
    txtAdoazonosito->setText(facts.taxId);
    cboArForras->setCurrentIndex(carPriceSource(m_state, m_state.car(index)) == PriceSource::Own ? 1 : 0);
}

CarForm frmUjUser::form() const {
    CarForm f;
    f.userName = txtAzonosito->text();
    f.carType = txtGKTip->text();
    f.plate = txtRendSzam->text();
    f.fuelType = cboBenzin->currentIndex() + 1;
    f.consumption = txtFogyasztas->text();
    f.generalCost = txtAltKoltseg->text();
    f.companyName = txtCegNev->text();
    f.city = cboVaros->currentText();
    f.companyAddress = txtCegCim->text();
    f.facts.norm = cboNorma->currentIndex() == 1 ? NormKind::Flat : NormKind::TypeBased;
    f.facts.engineCm3 = m_engineCm3;
    f.facts.taxId = txtAdoazonosito->text().trimmed();
    f.facts.priceSource = cboArForras->currentIndex() == 1 ? PriceSource::Own : PriceSource::Nav;
    return f;
}

QWidget* frmUjUser::fieldWidget(int field) const {
    switch (CarField(field)) {
    case CarField::UserName: return txtAzonosito;
    case CarField::CarType: return txtGKTip;
    case CarField::Plate: return txtRendSzam;
    case CarField::Consumption: return txtFogyasztas;
    case CarField::GeneralCost: return txtAltKoltseg;
    case CarField::CompanyName: return txtCegNev;
    case CarField::City: return cboVaros;
    case CarField::CompanyAddress: return txtCegCim;
    case CarField::TaxId: return txtAdoazonosito;
    }
    return txtAzonosito;
}

void frmUjUser::chooseNorm() {
    frmNorma dialog(cboBenzin->currentIndex(), m_engineCm3, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    txtFogyasztas->setText(dialog.normText());
    cboNorma->setCurrentIndex(1); // the flat norm by engine size
    m_engineCm3 = dialog.engineCm3();
}

void frmUjUser::onOK() {
    const CarForm f = form();
    if (auto problem = validateCarForm(f)) {
        if (m_state.prompter)
            m_state.prompter->inform(problem->message, MsgIcon::Information);
        fieldWidget(int(problem->field))->setFocus();
        return;
    }
    if (m_mode == u"modosit"_s) {
        if (!modifyCar(m_state, m_index, f, chooseImportCar))
            return;
        emit carSaved(m_index);
    } else {
        const int index = createCar(m_state, f, chooseImportCar);
        if (index == 0)
            return;
        emit carSaved(index);
    }
    accept();
}

} // namespace rv
