#include "importpage.h"

#include "database/dataimport.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/windowparts.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

ImportPage::ImportPage(AppState& state, DatabaseMode mode) : DatabasePage(state, mode, u"picImport"_s) {
    lstUsers = new QListWidget(this);
    lstUsers->setObjectName(u"lstUsers"_s);
    optPartner = new QRadioButton(u"Partnerek és &távolságok"_s, this);
    optPartner->setObjectName(u"optPartner"_s);
    optPartner->setChecked(true);
    optBenzin = new QRadioButton(u"Üze&manyagárak"_s, this);
    optBenzin->setObjectName(u"optBenzin"_s);
    cmdImport = button(u"cmdImport", u"&Importálás"_s);
    auto* what = new QGroupBox(u"Mit vegyen át?"_s, this);
    auto* whatLayout = new QVBoxLayout(what);
    whatLayout->addWidget(optPartner);
    whatLayout->addWidget(optBenzin);
    whatLayout->addStretch(1);
    whatLayout->addWidget(cmdImport);
    auto* row = new QHBoxLayout;
    row->addWidget(lstUsers, 1);
    row->addWidget(what);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(u"&Autó, amelynek adatait átveszi:"_s, lstUsers));
    layout->addLayout(row, 1);
    connect(cmdImport, &QPushButton::clicked, this, &ImportPage::cmdImportClick);
    connect(lstUsers, &QListWidget::itemActivated, this, &ImportPage::cmdImportClick);
    onListRowKeys(lstUsers, [this] { cmdImportClick(); });
    setTabOrder(lstUsers, optPartner);
    setTabOrder(optPartner, optBenzin);
    setTabOrder(optBenzin, cmdImport);
    fillUsers();
}

void ImportPage::fillUsers() {
    lstUsers->clear();
    for (int car : importableCars(m_state)) {
        const CarRecord& c = m_state.car(car);
        auto* item = new QListWidgetItem(c.userName + u" ("_s + c.plateNumber + u')', lstUsers);
        item->setData(Qt::UserRole, car);
    }
    cmdImport->setEnabled(lstUsers->count() > 0);
}

void ImportPage::cmdImportClick() {
    trap(u"cmdImportClick"_s, [&] {
        const QListWidgetItem* item = lstUsers->currentItem();
        if (!item || !item->isSelected())
            return;
        const int car = item->data(Qt::UserRole).toInt();
        if (!canImportFrom(m_state, car))
            return;
        emit aboutToImport();
        bool written = false;
        {
            BusyWindow busy(window());
            if (optPartner->isChecked()) {
                int step = 0;
                written = importPartners(m_state, car, [&] {
                    if (++step % 50 == 0)
                        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                });
            } else {
                written = importFuelPrices(m_state, car);
            }
        }
        if (!written)
            return;
        if (optPartner->isChecked())
            emit partnersImported();
        else
            emit pricesImported();
    });
}

} // namespace rv
