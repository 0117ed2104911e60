#include "frmNorma.h"

#include "model/carfacts.h"
#include "model/norms.h"
#include "storage/records.h"
#include "storage/numeric.h"
#include "storage/fieldtext.h"
#include "ui/gui/filters.h"
#include "ui/gui/windowparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
constexpr int kLargestEngine = kLargestEngineCm3;
}

frmNorma::frmNorma(int fuelIndex, int engineCm3, QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmNorma"_s);
    setWindowTitle(u"Fogyasztási norma"_s);
    cboUzemanyag = new QComboBox(this);
    cboUzemanyag->setObjectName(u"cboUzemanyag"_s);
    // In the order of NormFuel.
    for (const QString& name : {u"Benzin"_s, u"Gázolaj"_s, u"LPG (autógáz)"_s, u"CNG (sűrített földgáz)"_s})
        cboUzemanyag->addItem(name);
    cboUzemanyag->setCurrentIndex(int(normFuelOf(fuelIndex)));
    // A diesel norm in a petrol car would be a wrong figure: the fuel follows the car's box.
    cboUzemanyag->setEnabled(false);
    cboUzemanyag->setToolTip(u"A gépkocsi üzemanyaga; a gépkocsi ablakának Üzemanyag mezőjében módosítható."_s);
    txtHengerur = new QLineEdit(this);
    txtHengerur->setObjectName(u"txtHengerur"_s);
    attachWholeNumberFilter(txtHengerur, [](const QString& t) { return isWholeNumberText(ungrouped(t), 1, kLargestEngine); });
    chkHibrid = new QCheckBox(u"Plug-in hi&brid"_s, this);
    chkHibrid->setObjectName(u"chkHibrid"_s);
    // The rules give the hybrid share for petrol and diesel only.
    chkHibrid->setEnabled(gasFactorTenths(normFuelOf(fuelIndex)) == 10);
    lblNorma = new QLabel(this);
    lblNorma->setObjectName(u"lblNorma"_s);
    lblNorma->setWordWrap(true);
    lblNorma->setMinimumHeight(lblNorma->fontMetrics().lineSpacing() * 4);

    auto* form = new QFormLayout;
    auto* lblFuel = new QLabel(u"&Üzemanyag:"_s, this);
    lblFuel->setBuddy(cboUzemanyag);
    form->addRow(lblFuel, cboUzemanyag);
    auto* lblEngine = new QLabel(u"&Hengerűrtartalom (cm³):"_s, this);
    lblEngine->setBuddy(txtHengerur);
    form->addRow(lblEngine, txtHengerur);
    form->addRow(QString(), chkHibrid);

    const DialogButtons buttons = dialogButtons(this);
    cmdOK = buttons.ok;
    cmdMegsem = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Típus szerinti norma nélküli gépkocsi alapnorma-átalánya:"_s, this));
    layout->addLayout(form);
    layout->addWidget(lblNorma);
    layout->addWidget(buttons.box);
    helpKey(this, 20);

    connect(cboUzemanyag, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(txtHengerur, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(chkHibrid, &QCheckBox::toggled, this, [this] { refresh(); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(440);
    if (engineCm3 > 0)
        txtHengerur->setText(QString::number(engineCm3));
    refresh();
    txtHengerur->setFocus();
}

int frmNorma::engineCm3() const {
    const QString engine = ungrouped(txtHengerur->text()).trimmed();
    return isWholeNumberText(engine, 1, kLargestEngine) ? engine.toInt() : 0;
}

QString frmNorma::normText() const { return m_norm; }

void frmNorma::refresh() {
    const QString engine = ungrouped(txtHengerur->text()).trimmed();
    if (engine.isEmpty() || !isWholeNumberText(engine, 1, kLargestEngine)) {
        m_norm.clear();
        lblNorma->setText(u"Adja meg a motor hengerűrtartalmát."_s);
    } else {
        const FlatNorm n = flatNorm(NormFuel(cboUzemanyag->currentIndex()), engine.toInt(), chkHibrid->isChecked());
        m_norm = singleText(float(n.hundredths) / 100.0f);
        lblNorma->setText(n.rule);
    }
    cmdOK->setEnabled(!m_norm.isEmpty());
}

} // namespace rv
