#include "frmImportUser.h"

#include "startup/carops.h"
#include "model/state.h"
#include "ui/gui/windowparts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmImportUser::frmImportUser(AppState& state, const QString& mainCaption, QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmImportUser"_s);
    setWindowTitle(mainCaption + u" - Importálás -"_s);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(u"Melyik gépkocsi adatait vegyem át?"_s, this);
    lstImport = new QListWidget(this);
    lstImport->setObjectName(u"lstImport"_s);
    label->setBuddy(lstImport);
    for (int i : importCandidates(state)) {
        auto* item = new QListWidgetItem(state.car(i).userName, lstImport);
        item->setData(Qt::UserRole, i);
    }
    if (lstImport->count() > 0)
        lstImport->setCurrentRow(0);

    const DialogButtons buttons = dialogButtons(this);
    cmdOK = buttons.ok;
    cmdMegsem = buttons.cancel;
    layout->addWidget(label);
    layout->addWidget(lstImport);
    layout->addWidget(buttons.box);

    connect(cmdOK, &QPushButton::clicked, this, &frmImportUser::takeChoice);
    helpKey(this, 20);
    connect(lstImport, &QListWidget::itemDoubleClicked, this, &frmImportUser::takeChoice);
    resize(340, 300);
}

void frmImportUser::takeChoice() {
    QListWidgetItem* item = lstImport->currentItem();
    m_chosen = item ? item->data(Qt::UserRole).toInt() : 0;
    accept();
}

int frmImportUser::choose(AppState& state, const QString& mainCaption, QWidget* parent) {
    frmImportUser dialog(state, mainCaption, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : 0;
}

} // namespace rv
