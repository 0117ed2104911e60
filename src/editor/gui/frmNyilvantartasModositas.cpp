#include "frmNyilvantartasModositas.h"

#include "editor/partnerchange.h"
#include "ui/errortrap.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmNyilvantartasModositas::frmNyilvantartasModositas(AppState& state, const Partner& oldTexts,
                                                     const Partner& newTexts, QWidget* parent)
    : QDialog(parent), m_state(state), m_old(oldTexts), m_new(newTexts) {
    setObjectName(u"frmNyilvantartasModositas"_s);
    setWindowTitle(kAppTitle + u' ' + versionText() + u" - Nyilvántartások -"_s);
    setModal(true);

    auto makeLabel = [this](const char16_t* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromUtf16(name));
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    lblNev = makeLabel(u"lblNev", oldTexts.name);
    lblVaros = makeLabel(u"lblVaros", oldTexts.city);
    lblCim = makeLabel(u"lblCim", oldTexts.address);
    lblUjNev = makeLabel(u"lblUjNev", newTexts.name);
    lblUjVaros = makeLabel(u"lblUjVaros", newTexts.city);
    lblUjCim = makeLabel(u"lblUjCim", newTexts.address);
    lstHonapok = new QListWidget(this);
    lstHonapok->setObjectName(u"lstHonapok"_s);
    lstHonapok->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdOK = namedButton(this, u"cmdOK"_s, u"OK"_s);
    cmdOK->setDefault(true);
    cmdVissza = namedButton(this, u"cmdVissza"_s, u"&Vissza"_s);
    cmdVissza->setAutoDefault(false);

    auto* grid = new QGridLayout;
    auto* oldHeading = new QLabel(u"Régi adatok"_s, this);
    auto* newHeading = new QLabel(u"Új adatok"_s, this);
    for (QLabel* l : {oldHeading, newHeading}) {
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    }
    grid->addWidget(oldHeading, 0, 1);
    grid->addWidget(newHeading, 0, 2);
    grid->addWidget(new QLabel(u"Név:"_s, this), 1, 0);
    grid->addWidget(lblNev, 1, 1);
    grid->addWidget(lblUjNev, 1, 2);
    grid->addWidget(new QLabel(u"Város:"_s, this), 2, 0);
    grid->addWidget(lblVaros, 2, 1);
    grid->addWidget(lblUjVaros, 2, 2);
    grid->addWidget(new QLabel(u"Cím:"_s, this), 3, 0);
    grid->addWidget(lblCim, 3, 1);
    grid->addWidget(lblUjCim, 3, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    auto* listLabel = new QLabel(u"&Mely nyilvántartásokban módosuljon? (több is kijelölhető, Ctrl+A: mind)"_s, this);
    listLabel->setBuddy(lstHonapok);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdVissza);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(listLabel);
    layout->addWidget(lstHonapok, 1);
    layout->addLayout(buttons);
    resize(520, 420);
    helpKey(this, 30);
    closeKeys(this, cmdVissza);

    connect(cmdOK, &QPushButton::clicked, this, &frmNyilvantartasModositas::cmdOKClick);
    connect(cmdVissza, &QPushButton::clicked, this, &QDialog::reject);
    fillMonths();
}

void frmNyilvantartasModositas::fillMonths() {
    runTrapped(m_state, u"frmNyilvantartasModositas - Form_Load:"_s, [&] {
        lstHonapok->clear();
        for (const ChangeableLogbook& book : logbooksUsing(m_state, m_old)) {
            auto* item = new QListWidgetItem(book.label, lstHonapok);
            item->setData(Qt::UserRole, book.fileName);
        }
    });
}

void frmNyilvantartasModositas::cmdOKClick() {
    const bool ok = runTrapped(m_state, u"frmNyilvantartasModositas - cmdOK_Click:"_s, [&] {
        QStringList files;
        for (int row = 0; row < lstHonapok->count(); ++row)
            if (lstHonapok->item(row)->isSelected())
                files << lstHonapok->item(row)->data(Qt::UserRole).toString();
        const PartnerChangeReport report = carryPartnerChange(m_state, files, m_old, m_new);
        if (m_state.prompter)
            m_state.prompter->inform(report.message(),
                                     report.skipped.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
    });
    if (ok)
        accept();
}

void showPartnerChange(AppState& state, const Partner& oldTexts, const Partner& newTexts, QWidget* parent) {
    // Asked only when a stored logbook has the partner: otherwise there is nothing to choose from.
    bool used = false;
    runTrapped(state, u"frmNyilvantartasModositas - logbooksUsing:"_s,
               [&] { used = !logbooksUsing(state, oldTexts).isEmpty(); });
    if (!used || !state.prompter ||
        !askYesNo(*state.prompter, u"Kívánja a már meglévő nyilvántartásaiban is megváltoztatni a most "
                                   u"módosított partner adatait?"_s))
        return;
    frmNyilvantartasModositas dialog(state, oldTexts, newTexts, parent);
    dialog.exec();
}

} // namespace rv
