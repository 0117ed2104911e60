#include "partnerpage.h"

#include "database/gui/frmInput.h"
#include "database/partners.h"
#include "ui/gui/listkeys.h"
#include "storage/prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

PartnerPage::PartnerPage(AppState& state, DatabaseMode mode, const QString& caption)
    : DatabasePage(state, mode, u"picPartner"_s), resultFlag(u"N"_s), m_caption(caption) {
    runInput = [](frmInput& dialog) { dialog.exec(); };
    openPartnerChange = [this](const Partner& oldTexts, const Partner& newTexts) {
        showPartnerChange(m_state, oldTexts, newTexts, window());
    };

    lstPartnerek = new QListWidget(this);
    lstPartnerek->setObjectName(u"lstPartnerek"_s);
    auto* caption_ = label(u"&Partnerek:"_s, lstPartnerek);
    cmdUj = button(u"cmdUj", u"Ú&j"_s);
    cmdModosit = button(u"cmdModosit", u"&Módosít"_s);
    cmdTorol = button(u"cmdTorol", u"&Töröl"_s);
    lblCim = new QLabel(this);
    lblCim->setObjectName(u"lblCim"_s);
    lblCim->setWordWrap(true);
    lblPartnerekSzama = new QLabel(this);
    lblPartnerekSzama->setObjectName(u"lblPartnerekSzama"_s);
    cmdUj->setToolTip(u"Új partner felvétele (Insert)"_s);
    cmdModosit->setToolTip(u"A kiválasztott partner adatainak módosítása (Enter)"_s);
    cmdTorol->setToolTip(u"A kiválasztott partner törlése (Delete)"_s);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdUj);
    buttons->addWidget(cmdModosit);
    buttons->addWidget(cmdTorol);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(lstPartnerek, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addLayout(top, 1);
    layout->addWidget(lblCim);
    layout->addWidget(lblPartnerekSzama);

    connect(lstPartnerek, &QListWidget::currentRowChanged, this, [this] {
        const int d = selectedPartner();
        lblCim->setText(d ? PartnerAddress(m_state, d) : QString());
        cmdModosit->setEnabled(d != 0);
        cmdTorol->setEnabled(canDeletePartner(m_state, d));
    });
    connect(lstPartnerek, &QListWidget::itemActivated, this, &PartnerPage::cmdModositClick);
    onListRowKeys(lstPartnerek, [this] { cmdModositClick(); });
    connect(cmdUj, &QPushButton::clicked, this, &PartnerPage::cmdUjClick);
    connect(cmdModosit, &QPushButton::clicked, this, &PartnerPage::cmdModositClick);
    connect(cmdTorol, &QPushButton::clicked, this, &PartnerPage::cmdTorolClick);
    auto* del = new QShortcut(QKeySequence::Delete, lstPartnerek, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &PartnerPage::cmdTorolClick);
    auto* ins = new QShortcut(QKeySequence(Qt::Key_Insert), lstPartnerek, nullptr, nullptr, Qt::WidgetShortcut);
    connect(ins, &QShortcut::activated, this, &PartnerPage::cmdUjClick);

    fillPartnerList();
}

int PartnerPage::selectedPartner() const {
    const QListWidgetItem* item = lstPartnerek->currentItem();
    if (!item)
        return 0;
    const int d = item->data(Qt::UserRole).toInt();
    return d >= 1 && d <= m_state.partnerCount() ? d : 0;
}

void PartnerPage::fillPartnerList() {
    const int keep = lstPartnerek->currentRow();
    lstPartnerek->clear();
    for (int i = 1; i <= m_state.partnerCount(); ++i) {
        auto* item = new QListWidgetItem(PartnerLabel(m_state, i), lstPartnerek);
        item->setData(Qt::UserRole, i);
    }
    if (lstPartnerek->count() > 0)
        lstPartnerek->setCurrentRow(std::clamp(keep, 0, lstPartnerek->count() - 1));
    else
        lblCim->clear();
    lblPartnerekSzama->setText(partnerCountText(m_state));
}

void PartnerPage::selectPartner(int index) {
    for (int row = 0; row < lstPartnerek->count(); ++row)
        if (lstPartnerek->item(row)->data(Qt::UserRole).toInt() == index) {
            lstPartnerek->setCurrentRow(row);
            return;
        }
}

void PartnerPage::cmdUjClick() {
    trap(u"cmdUjClick"_s, [&] {
        emit aboutToChange();
        // Told before the texts are typed, not after.
        if (m_state.partnerCount() >= kMaxPartners) {
            m_state.prompter->ask(u"Az adatbázisban legfeljebb %1 partner lehet."_s.arg(kMaxPartners), Ok,
                                  MsgIcon::Exclamation);
            return;
        }
        resultFlag = u"N"_s;
        frmInput dialog(m_state, u"ujadat"_s, &resultFlag, 0, window());
        dialog.setWindowTitle(m_caption + u" - Új partner -"_s);
        runInput(dialog);
        if (resultFlag == u"N"_s)
            return;
        // A failed save leaves memory as the disk holds it: no new partner.
        if (const Result r = addPartner(m_state, dialog.result()); !r) {
            reportFailure(r);
            return;
        }
        fillPartnerList();
        emit partnersChanged();
        selectPartner(m_state.partnerCount());
    });
}

void PartnerPage::cmdModositClick() {
    trap(u"cmdModositClick"_s, [&] {
        const int d = selectedPartner();
        if (d == 0)
            return;
        if (m_mode == DatabaseMode::Editor &&
            !askYesNo(*m_state.prompter, u"Ha módosít egy adatot, és az már szerepel az éppen\r\n"
                                         u"szerkesztett nyilvántartásban, az ott is módosulni fog.\r\n\r\n"
                                         u"Kívánja folytatni?"_s))
            return;
        resultFlag = u"N"_s;
        frmInput dialog(m_state, u"modosit"_s, &resultFlag, d, window());
        dialog.setWindowTitle(m_caption + u" - Adatmódosítás -"_s);
        dialog.setTexts(m_state.partner(d));
        runInput(dialog);
        if (resultFlag != u"I"_s)
            return;
        const Partner oldTexts = m_state.partner(d);
        const Partner newTexts = dialog.result();
        emit aboutToChange();
        if (const Result r = modifyPartner(m_state, d, newTexts); !r) {
            reportFailure(r);
            return;
        }
        if (QListWidgetItem* item = lstPartnerek->currentItem())
            item->setText(PartnerLabel(m_state, d));
        lblCim->setText(PartnerAddress(m_state, d));
        emit partnerRenamed(d);
        // Nothing to carry into the logbooks when the texts stayed the same.
        if (oldTexts != newTexts)
            openPartnerChange(oldTexts, newTexts);
    });
}

void PartnerPage::cmdTorolClick() {
    trap(u"cmdTorolClick"_s, [&] {
        const int d = selectedPartner();
        if (d == 0)
            return;
        if (!canDeletePartner(m_state, d)) {
            m_state.prompter->ask(u"Az első partner a saját telephely, ezért nem törölhető."_s, Ok,
                                  MsgIcon::Information);
            return;
        }
        if (m_mode == DatabaseMode::Editor &&
            !askYesNo(*m_state.prompter, u"Ha kitöröl egy adatot, és az már szerepel az éppen\r\n"
                                         u"szerkesztett nyilvántartásban, az onnan is törlődni fog.\r\n\r\n"
                                         u"Kívánja folytatni?"_s))
            return;
        if (!askYesDefaultNo(*m_state.prompter, u"Biztos, hogy törli: "_s + PartnerLabel(m_state, d) + u'?'))
            return;
        emit aboutToChange();
        if (const Result r = deletePartner(m_state, d); !r) {
            reportFailure(r); // the partner stays, in memory as on disk
            return;
        }
        if (m_mode == DatabaseMode::Editor)
            removePartnerFromStops(m_state.month, d);
        fillPartnerList();
        emit partnersChanged();
        selectPartner(std::min(d, m_state.partnerCount()));
    });
}

DeletePage::DeletePage(AppState& state, DatabaseMode mode) : DatabasePage(state, mode, u"picTorles"_s) {
    auto* text = new QLabel(u"Az adatbázis minden partnerét és távolságát törli.\n"
                            u"Az első partner, a saját telephely megmarad."_s,
                            this);
    text->setWordWrap(true);
    cmdAdatTorles = button(u"cmdAdatTorles", u"&Minden adat törlése"_s);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdAdatTorles);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addStretch(1);
    connect(cmdAdatTorles, &QPushButton::clicked, this, &DeletePage::cmdAdatTorlesClick);
}

void DeletePage::cmdAdatTorlesClick() {
    trap(u"cmdAdatTorlesClick"_s, [&] {
        if (m_mode == DatabaseMode::Editor) {
            m_state.prompter->ask(u"Nem törölheti az adatbázist, mert akkor nem tudja folytatni a szerkesztést.\r\n"
                                  u"Ha mindenképpen törölni akarja, előbb lépjen ki a szerkesztőből."_s,
                                  Ok, MsgIcon::Exclamation);
            return;
        }
        if (!askYesDefaultNo(*m_state.prompter, u"Biztos, hogy töröl minden adatot az adatbázisból?"_s))
            return;
        if (const Result r = deleteAllPartners(m_state); !r) {
            reportFailure(r);
            return;
        }
        emit partnersChanged();
        m_state.prompter->inform(u"Minden adat törölve."_s);
    });
}

} // namespace rv
