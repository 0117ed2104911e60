#include "frmAdatok.h"

#include "database/dataimport.h"
#include "database/distances.h"
#include "database/gui/frmInput.h"
#include "database/partners.h"
#include "database/priceedit.h"
#include "storage/datafiles.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/windowparts.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QPushButton* button(QWidget* parent, const char16_t* name, const QString& text) {
    QPushButton* b = namedButton(parent, QString::fromUtf16(name), text);
    // Enter belongs to the text boxes here, not to a default button.
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, QWidget* buddy = nullptr) {
    auto* l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

} // namespace

frmAdatok::frmAdatok(AppState& state, DatabaseMode mode, QWidget* parent)
    : QDialog(parent), tag(mode == DatabaseMode::Editor ? u"szerk"_s : u"main"_s), resultFlag(u"N"_s),
      m_state(state), m_mode(mode) {
    setObjectName(u"frmAdatok"_s);
    setWindowTitle(caption());
    setModal(true);

    runInput = [](frmInput& dialog) { dialog.exec(); };
    openPartnerChange = [this](const Partner& oldTexts, const Partner& newTexts) {
        showPartnerChange(m_state, oldTexts, newTexts, this);
    };

    tabAdatok = new QTabWidget(this);
    tabAdatok->setObjectName(u"tabAdatok"_s);
    buildPartnerPage();
    buildDistancePage();
    buildPricePage();
    buildImportPage();
    buildDeletePage();

    cmdSugo = button(this, u"cmdSugo", u"&Súgó"_s);
    cmdBezar = button(this, u"cmdBezar", u"Be&zárás"_s);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdSugo);
    bottom->addStretch(1);
    bottom->addWidget(cmdBezar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabAdatok, 1);
    layout->addLayout(bottom);

    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, 30); });
    connect(cmdBezar, &QPushButton::clicked, this, &frmAdatok::reject);

    fillPartnerList();
    FillTavCombo();
    fillUsers();
    GetFuelPrice();
    resize(660, 460);
}

// A box that loses the focus while the window is taken down must not store into it.
frmAdatok::~frmAdatok() {
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

QString frmAdatok::caption() const { return kAppTitle + u' ' + versionText() + u" - Adatbázis -"_s; }

bool frmAdatok::trap(const QString& location, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmAdatok - "_s + location + u':', fn);
}

void frmAdatok::reportFailure(const Result& r) {
    if (!r)
        reportSaveFailure(m_state, r);
}

// ---- partners -----------------------------------------------------------------------------

void frmAdatok::buildPartnerPage() {
    picPartner = new QWidget;
    picPartner->setObjectName(u"picPartner"_s);
    lstPartnerek = new QListWidget(picPartner);
    lstPartnerek->setObjectName(u"lstPartnerek"_s);
    lblCim = new QLabel(picPartner);
    lblCim->setObjectName(u"lblCim"_s);
    lblCim->setWordWrap(true);
    lblPartnerekSzama = new QLabel(picPartner);
    lblPartnerekSzama->setObjectName(u"lblPartnerekSzama"_s);
    cmdUj = button(picPartner, u"cmdUj", u"Ú&j"_s);
    cmdModosit = button(picPartner, u"cmdModosit", u"&Módosít"_s);
    cmdTorol = button(picPartner, u"cmdTorol", u"&Töröl"_s);
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
    auto* layout = new QVBoxLayout(picPartner);
    layout->addWidget(label(picPartner, u"&Partnerek:"_s, lstPartnerek));
    layout->addLayout(top, 1);
    layout->addWidget(lblCim);
    layout->addWidget(lblPartnerekSzama);
    tabAdatok->addTab(picPartner, u"Partnerek"_s);

    connect(lstPartnerek, &QListWidget::currentRowChanged, this, [this] {
        const int d = selectedPartner();
        lblCim->setText(d ? PartnerAddress(m_state, d) : QString());
        cmdModosit->setEnabled(d != 0);
        cmdTorol->setEnabled(canDeletePartner(m_state, d));
    });
    connect(lstPartnerek, &QListWidget::itemActivated, this, &frmAdatok::cmdModositClick);
    connect(cmdUj, &QPushButton::clicked, this, &frmAdatok::cmdUjClick);
    connect(cmdModosit, &QPushButton::clicked, this, &frmAdatok::cmdModositClick);
    connect(cmdTorol, &QPushButton::clicked, this, &frmAdatok::cmdTorolClick);
    auto* del = new QShortcut(QKeySequence::Delete, lstPartnerek, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &frmAdatok::cmdTorolClick);
    auto* ins = new QShortcut(QKeySequence(Qt::Key_Insert), lstPartnerek, nullptr, nullptr, Qt::WidgetShortcut);
    connect(ins, &QShortcut::activated, this, &frmAdatok::cmdUjClick);
}

int frmAdatok::selectedPartner() const {
    const QListWidgetItem* item = lstPartnerek->currentItem();
    if (!item)
        return 0;
    const int d = item->data(Qt::UserRole).toInt();
    return d >= 1 && d <= m_state.partnerCount() ? d : 0;
}

void frmAdatok::fillPartnerList() {
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
    refreshCount();
}

void frmAdatok::refreshCount() { lblPartnerekSzama->setText(partnerCountText(m_state)); }

void frmAdatok::selectPartner(int index) {
    for (int row = 0; row < lstPartnerek->count(); ++row)
        if (lstPartnerek->item(row)->data(Qt::UserRole).toInt() == index) {
            lstPartnerek->setCurrentRow(row);
            return;
        }
}

// The partner list changed: every view of it is built again. What was on the distance page has
// been saved with the partners.
void frmAdatok::partnersChanged() {
    fillPartnerList();
    FillTavCombo();
    m_distancesDirty = false;
}

void frmAdatok::cmdUjClick() {
    trap(u"cmdUjClick"_s, [&] {
        txtTavLostFocus();
        // Told before the texts are typed, not after.
        if (m_state.partnerCount() >= kMaxPartners) {
            m_state.prompter->ask(u"Az adatbázisban legfeljebb %1 partner lehet."_s.arg(kMaxPartners), Ok,
                                  MsgIcon::Exclamation);
            return;
        }
        resultFlag = u"N"_s;
        frmInput dialog(m_state, u"ujadat"_s, &resultFlag, 0, this);
        dialog.setWindowTitle(caption() + u" - Új partner -"_s);
        runInput(dialog);
        if (resultFlag == u"N"_s)
            return;
        // A failed save leaves the partner in memory, so the lists show it either way.
        reportFailure(addPartner(m_state, dialog.result()));
        partnersChanged();
        selectPartner(m_state.partnerCount());
    });
}

void frmAdatok::cmdModositClick() {
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
        frmInput dialog(m_state, u"modosit"_s, &resultFlag, d, this);
        dialog.setWindowTitle(caption() + u" - Adatmódosítás -"_s);
        dialog.setTexts(m_state.partner(d));
        runInput(dialog);
        if (resultFlag != u"I"_s)
            return;
        const Partner oldTexts = m_state.partner(d);
        const Partner newTexts = dialog.result();
        reportFailure(modifyPartner(m_state, d, newTexts));
        m_distancesDirty = false;
        if (QListWidgetItem* item = lstPartnerek->currentItem())
            item->setText(PartnerLabel(m_state, d));
        lblCim->setText(PartnerAddress(m_state, d));
        for (QComboBox* combo : {cboHonnan, cboHova})
            combo->setItemText(d - 1, PartnerLabel(m_state, d));
        // Nothing to carry into the logbooks when the texts stayed the same.
        if (oldTexts == newTexts)
            return;
        if (askYesNo(*m_state.prompter, u"Kívánja a már meglévő nyilvántartásaiban is megváltoztatni a most "
                                        u"módosított partner adatait?"_s))
            openPartnerChange(oldTexts, newTexts);
    });
}

void frmAdatok::cmdTorolClick() {
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
        if (!askYesNo(*m_state.prompter, u"Biztos, hogy törli: "_s + PartnerLabel(m_state, d) + u'?'))
            return;
        txtTavLostFocus();
        const Result r = deletePartner(m_state, d);
        // The partner is gone from memory even when the file could not be written, so the open
        // month must follow either way.
        if (m_mode == DatabaseMode::Editor)
            removePartnerFromStops(m_state.month, d);
        reportFailure(r);
        partnersChanged();
        selectPartner(std::min(d, m_state.partnerCount()));
    });
}

// ---- deleting everything ------------------------------------------------------------------

void frmAdatok::buildDeletePage() {
    picTorles = new QWidget;
    picTorles->setObjectName(u"picTorles"_s);
    auto* text = new QLabel(u"Az adatbázis minden partnerét és távolságát törli.\n"
                            u"Az első partner, a saját telephely megmarad."_s,
                            picTorles);
    text->setWordWrap(true);
    cmdAdatTorles = button(picTorles, u"cmdAdatTorles", u"&Minden adat törlése"_s);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdAdatTorles);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(picTorles);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addStretch(1);
    tabAdatok->addTab(picTorles, u"Tö&rlés"_s);
    connect(cmdAdatTorles, &QPushButton::clicked, this, &frmAdatok::cmdAdatTorlesClick);
}

void frmAdatok::cmdAdatTorlesClick() {
    trap(u"cmdAdatTorlesClick"_s, [&] {
        if (m_mode == DatabaseMode::Editor) {
            m_state.prompter->ask(u"Nem törölheti az adatbázist, mert akkor nem tudja folytatni a szerkesztést.\r\n"
                                  u"Ha mindenképpen törölni akarja, előbb lépjen ki a szerkesztőből."_s,
                                  Ok, MsgIcon::Exclamation);
            return;
        }
        if (!askYesNo(*m_state.prompter, u"Biztos, hogy töröl minden adatot az adatbázisból?"_s))
            return;
        const Result r = deleteAllPartners(m_state);
        partnersChanged();
        if (!r) {
            reportFailure(r);
            return;
        }
        m_state.prompter->inform(u"Minden adat törölve."_s);
    });
}

// ---- distances ----------------------------------------------------------------------------

void frmAdatok::buildDistancePage() {
    picTavolsag = new QWidget;
    picTavolsag->setObjectName(u"picTavolsag"_s);
    cboHonnan = new QComboBox(picTavolsag);
    cboHonnan->setObjectName(u"cboHonnan"_s);
    cboHova = new QComboBox(picTavolsag);
    cboHova->setObjectName(u"cboHova"_s);
    for (QComboBox* c : {cboHonnan, cboHova}) {
        c->setMaxVisibleItems(20);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(30);
    }
    lblTavolsaguk = new QLabel(u"Távolságuk"_s, picTavolsag);
    lblTavolsaguk->setObjectName(u"lblTavolsaguk"_s);
    txtTav = new QLineEdit(picTavolsag);
    txtTav->setObjectName(u"txtTav"_s);
    txtTav->setMaxLength(5);
    txtTav->setAlignment(Qt::AlignRight);
    txtTav->setMaximumWidth(80);
    lblKM = new QLabel(u"km"_s, picTavolsag);
    lblKM->setObjectName(u"lblKM"_s);
    cboSzorzo = new QComboBox(picTavolsag);
    cboSzorzo->setObjectName(u"cboSzorzo"_s);
    for (int i = 0; i < kRouteTypeCount; ++i)
        cboSzorzo->addItem(m_state.multipliers[size_t(i)].name);
    cboSzorzo->setCurrentIndex(std::clamp(int(m_state.defaultRouteType), 1, kRouteTypeCount) - 1);
    cmdMentes = button(picTavolsag, u"cmdMentes", u"&Mentés"_s);
    cmdMegsem = button(picTavolsag, u"cmdMegsem", u"Mé&gsem"_s);
    cmdMentes->setToolTip(u"A távolságok mentése"_s);
    cmdMegsem->setToolTip(u"A nem mentett távolságok elvetése"_s);

    auto* grid = new QGridLayout;
    grid->addWidget(label(picTavolsag, u"&Honnan:"_s, cboHonnan), 0, 0);
    grid->addWidget(cboHonnan, 0, 1, 1, 3);
    grid->addWidget(label(picTavolsag, u"Hov&á:"_s, cboHova), 1, 0);
    grid->addWidget(cboHova, 1, 1, 1, 3);
    grid->addWidget(lblTavolsaguk, 2, 0);
    grid->addWidget(txtTav, 2, 1);
    grid->addWidget(lblKM, 2, 2);
    grid->addWidget(label(picTavolsag, u"Út&típus:"_s, cboSzorzo), 3, 0);
    grid->addWidget(cboSzorzo, 3, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdMentes);
    buttons->addWidget(cmdMegsem);
    auto* layout = new QVBoxLayout(picTavolsag);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    tabAdatok->addTab(picTavolsag, u"Tá&volságok"_s);

    attachNumericFilter(txtTav, [](const QString& t) { return isDistanceText(t); });
    connect(cboHonnan, &QComboBox::currentIndexChanged, this, &frmAdatok::TavCboClick);
    connect(cboHova, &QComboBox::currentIndexChanged, this, &frmAdatok::TavCboClick);
    connect(txtTav, &QLineEdit::textEdited, this, [this] { m_tavEdited = true; });
    connect(txtTav, &QLineEdit::editingFinished, this, &frmAdatok::txtTavLostFocus);
    // Enter moves on to the other partner, which stores the distance on the way.
    connect(txtTav, &QLineEdit::returnPressed, this, [this] { cboHova->setFocus(Qt::TabFocusReason); });
    connect(cboSzorzo, &QComboBox::activated, this, &frmAdatok::cboSzorzoClick);
    connect(cmdMentes, &QPushButton::clicked, this, &frmAdatok::cmdMentesClick);
    connect(cmdMegsem, &QPushButton::clicked, this, &frmAdatok::cmdMegsemClick);
}

void frmAdatok::FillTavCombo() {
    trap(u"FillTavCombo"_s, [&] {
        txtTavLostFocus();
        const QString saved = tag;
        tag = u"start"_s;
        for (QComboBox* combo : {cboHonnan, cboHova}) {
            combo->clear();
            for (int i = 1; i <= m_state.partnerCount(); ++i)
                combo->addItem(PartnerLabel(m_state, i), i);
            combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
        }
        tag = saved;
    });
    TavCboClick();
}

void frmAdatok::TavCboClick() {
    if (tag == u"start"_s)
        return;
    trap(u"TavCboClick"_s, [&] {
        // What was typed for the pair shown so far belongs to that pair.
        txtTavLostFocus();
        const int from = cboHonnan->currentData().toInt();
        const int to = cboHova->currentData().toInt();
        m_shownFrom = from;
        m_shownTo = to;
        const bool editable = cboHonnan->currentIndex() != cboHova->currentIndex() && isEditablePair(m_state, from, to);
        for (QWidget* w : std::initializer_list<QWidget*>{lblTavolsaguk, lblKM, txtTav, cboSzorzo})
            w->setEnabled(editable);
        if (!editable) {
            txtTav->setText(u"0"_s);
        } else {
            const DistanceCell& cell = m_state.distances.at(from, to);
            txtTav->setText(QString::number(cell.distance));
            cboSzorzo->setCurrentIndex(std::clamp(int(cell.routeType), 1, kRouteTypeCount) - 1);
        }
        m_tavEdited = false;
    });
}

void frmAdatok::txtTavLostFocus() {
    if (!m_tavEdited)
        return;
    m_tavEdited = false;
    trap(u"txtTavLostFocus"_s, [&] {
        if (!isEditablePair(m_state, m_shownFrom, m_shownTo))
            return;
        if (IsBlank(txtTav->text()))
            txtTav->setText(u"0"_s);
        const std::optional<qint16> km = distanceFromText(txtTav->text());
        if (!km)
            return;
        if (m_state.distances.at(m_shownFrom, m_shownTo).distance != *km ||
            m_state.distances.at(m_shownTo, m_shownFrom).distance != *km)
            m_distancesDirty = true;
        setDistance(m_state, m_shownFrom, m_shownTo, *km);
    });
}

void frmAdatok::cboSzorzoClick() {
    trap(u"cboSzorzoClick"_s, [&] {
        const int from = cboHonnan->currentData().toInt();
        const int to = cboHova->currentData().toInt();
        if (!isEditablePair(m_state, from, to) || cboSzorzo->currentIndex() < 0)
            return;
        const qint16 type = qint16(cboSzorzo->currentIndex() + 1);
        if (m_state.distances.at(from, to).routeType != type || m_state.distances.at(to, from).routeType != type)
            m_distancesDirty = true;
        setRouteType(m_state, from, to, type);
    });
}

void frmAdatok::cmdMentesClick() {
    trap(u"cmdMentesClick"_s, [&] {
        txtTavLostFocus();
        const Result r = SaveDatabase(m_state);
        reportFailure(r);
        if (r)
            m_distancesDirty = false;
    });
}

void frmAdatok::cmdMegsemClick() {
    trap(u"cmdMegsemClick"_s, [&] {
        m_tavEdited = false;
        const Result r = revertDistances(m_state);
        if (!r)
            m_state.prompter->ask(u"A tárolt távolságok nem olvashatók vissza, a módosítások megmaradtak.\r\n\r\n"_s +
                                      r.message(),
                                  Ok, MsgIcon::Exclamation);
        else
            m_distancesDirty = false;
    });
    TavCboClick();
}

// ---- fuel prices --------------------------------------------------------------------------

void frmAdatok::buildPricePage() {
    picBenzin = new QWidget;
    picBenzin->setObjectName(u"picBenzin"_s);
    txtEv = new QLineEdit(picBenzin);
    txtEv->setObjectName(u"txtEv"_s);
    txtEv->setMaxLength(4);
    txtEv->setMaximumWidth(70);
    cmdPlusz = button(picBenzin, u"cmdPlusz", u"+"_s);
    cmdMinusz = button(picBenzin, u"cmdMinusz", u"−"_s);
    cmdPlusz->setToolTip(u"Következő év"_s);
    cmdMinusz->setToolTip(u"Előző év"_s);
    for (QPushButton* b : {cmdPlusz, cmdMinusz})
        b->setMaximumWidth(32);
    cboHonapok = new QComboBox(picBenzin);
    cboHonapok->setObjectName(u"cboHonapok"_s);
    for (const QString& m : MonthNames())
        cboHonapok->addItem(m);
    cboNapok = new QComboBox(picBenzin);
    cboNapok->setObjectName(u"cboNapok"_s);
    txtAr = new QLineEdit(picBenzin);
    txtAr->setObjectName(u"txtAr"_s);
    txtAr->setMaxLength(9);
    txtAr->setMaximumWidth(80);
    txtAr->setAlignment(Qt::AlignRight);
    txtAr->setToolTip(u"A kiválasztott naptól érvényes ár; üresen hagyva a napnak nincs ára."_s);
    cmdBenzinMent = button(picBenzin, u"cmdBenzinMent", u"&Ment"_s);
    cmdBenzinMegsem = button(picBenzin, u"cmdBenzinMegsem", u"Mé&gsem"_s);
    cmdAPEH = button(picBenzin, u"cmdAPEH", u"&Eredeti"_s);
    cmdMindentTorol = button(picBenzin, u"cmdMindentTorol", u"&Töröl"_s);
    lstArak = new QListWidget(picBenzin);
    lstArak->setObjectName(u"lstArak"_s);
    lstArak->setMaximumWidth(220);
    cmdAPEH->setToolTip(u"Az APEH által közzétett árak visszaállítása"_s);
    cmdMindentTorol->setToolTip(u"Minden üzemanyagár törlése"_s);

    auto* year = new QHBoxLayout;
    year->setSpacing(2);
    year->addWidget(txtEv);
    year->addWidget(cmdMinusz);
    year->addWidget(cmdPlusz);
    year->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(label(picBenzin, u"&Év:"_s, txtEv), 0, 0);
    grid->addLayout(year, 0, 1);
    grid->addWidget(label(picBenzin, u"&Hónap:"_s, cboHonapok), 1, 0);
    grid->addWidget(cboHonapok, 1, 1);
    grid->addWidget(label(picBenzin, u"&Nap:"_s, cboNapok), 2, 0);
    grid->addWidget(cboNapok, 2, 1);
    grid->addWidget(label(picBenzin, u"Benzin&ár:"_s, txtAr), 3, 0);
    auto* price = new QHBoxLayout;
    price->addWidget(txtAr);
    price->addWidget(new QLabel(u"Ft/L"_s, picBenzin));
    price->addStretch(1);
    grid->addLayout(price, 3, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAPEH);
    buttons->addWidget(cmdMindentTorol);
    buttons->addStretch(1);
    buttons->addWidget(cmdBenzinMent);
    buttons->addWidget(cmdBenzinMegsem);
    auto* entry = new QVBoxLayout;
    entry->addLayout(grid);
    entry->addStretch(1);
    auto* prices = new QVBoxLayout;
    prices->addWidget(label(picBenzin, u"Bevitt ára&k:"_s, lstArak));
    prices->addWidget(lstArak, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(entry, 1);
    top->addLayout(prices);
    auto* layout = new QVBoxLayout(picBenzin);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    tabAdatok->addTab(picBenzin, u"&Benzinárak"_s);

    const QDate today = QDate::currentDate();
    m_dateBusy = true;
    txtEv->setText(QString::number(today.year()));
    cboHonapok->setCurrentIndex(today.month() - 1);
    refillDays();
    cboNapok->setCurrentIndex(today.day() - 1);
    m_dateBusy = false;

    attachNumericFilter(txtEv, [](const QString& t) { return isYearText(t); });
    attachNumericFilter(txtAr, [](const QString& t) { return isPriceText(t); });
    connect(txtEv, &QLineEdit::textChanged, this, [this] {
        if (m_dateBusy)
            return;
        txtArLostFocus();
        refillDays(); // February has 29 days in a leap year
        GetFuelPrice();
    });
    connect(cboHonapok, &QComboBox::currentIndexChanged, this, &frmAdatok::cboHonapokClick);
    connect(cboNapok, &QComboBox::currentIndexChanged, this, [this] {
        if (m_dateBusy)
            return;
        txtArLostFocus();
        GetFuelPrice();
    });
    connect(lstArak, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showDate(item->data(Qt::UserRole).toDate()); });
    connect(lstArak, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showDate(item->data(Qt::UserRole).toDate()); });
    connect(cmdPlusz, &QPushButton::clicked, this, [this] { yearStep(1); });
    connect(cmdMinusz, &QPushButton::clicked, this, [this] { yearStep(-1); });
    connect(txtAr, &QLineEdit::textEdited, this, [this] { m_arEdited = true; });
    connect(txtAr, &QLineEdit::editingFinished, this, &frmAdatok::txtArLostFocus);
    connect(cmdBenzinMent, &QPushButton::clicked, this, &frmAdatok::cmdBenzinMentClick);
    connect(cmdBenzinMegsem, &QPushButton::clicked, this, &frmAdatok::cmdBenzinMegsemClick);
    connect(cmdAPEH, &QPushButton::clicked, this, &frmAdatok::cmdAPEHClick);
    connect(cmdMindentTorol, &QPushButton::clicked, this, &frmAdatok::cmdMindentTorolClick);
}

void frmAdatok::yearStep(int delta) {
    const int year = IsBlank(txtEv->text()) ? QDate::currentDate().year() : txtEv->text().trimmed().toInt();
    txtEv->setText(QString::number(std::clamp(year + delta, 1, 9999)));
}

// The day list of the chosen month, keeping the chosen day where the month has it.
void frmAdatok::refillDays() {
    const int month = cboHonapok->currentIndex() + 1;
    const int year = IsBlank(txtEv->text()) ? 2001 : txtEv->text().trimmed().toInt(); // 2001: no leap day
    const int days = month >= 1 ? daysInMonth(year, month) : 31;
    if (cboNapok->count() == days)
        return;
    const bool busy = m_dateBusy;
    m_dateBusy = true;
    const int keep = cboNapok->currentIndex();
    cboNapok->clear();
    for (int d = 1; d <= days; ++d)
        cboNapok->addItem(QString::number(d));
    cboNapok->setCurrentIndex(keep < 0 ? 0 : std::min(keep, days - 1));
    m_dateBusy = busy;
}

void frmAdatok::cboHonapokClick() {
    if (m_dateBusy)
        return;
    txtArLostFocus();
    refillDays();
    GetFuelPrice();
}

QDate frmAdatok::selectedDate() const {
    if (cboHonapok->currentIndex() < 0 || cboNapok->currentIndex() < 0 || IsBlank(txtEv->text()))
        return {};
    return QDate(txtEv->text().trimmed().toInt(), cboHonapok->currentIndex() + 1, cboNapok->currentIndex() + 1);
}

void frmAdatok::refreshPriceList() {
    lstArak->clear();
    for (const FuelPrice& p : m_state.fuelPrices) {
        auto* item = new QListWidgetItem(p.month.toString(u"yyyy. MM. dd."_s) + u"  "_s + QString::number(p.price) +
                                             u" Ft/L"_s,
                                         lstArak);
        item->setData(Qt::UserRole, p.month);
        if (p.month == m_priceDate)
            lstArak->setCurrentItem(item);
    }
}

// Puts a day into the year, month and day boxes and shows its price.
void frmAdatok::showDate(const QDate& date) {
    if (!date.isValid())
        return;
    txtArLostFocus();
    m_dateBusy = true;
    txtEv->setText(QString::number(date.year()));
    cboHonapok->setCurrentIndex(date.month() - 1);
    refillDays();
    cboNapok->setCurrentIndex(date.day() - 1);
    m_dateBusy = false;
    GetFuelPrice();
}

void frmAdatok::GetFuelPrice() {
    trap(u"GetFuelPrice"_s, [&] {
        m_priceDate = selectedDate();
        refreshPriceList();
        const std::optional<qint16> price = m_priceDate.isValid() ? priceOn(m_state.fuelPrices, m_priceDate) : std::nullopt;
        txtAr->setText(price ? QString::number(*price) : QString());
        txtAr->setEnabled(m_priceDate.isValid());
        m_arEdited = false;
    });
}

void frmAdatok::txtArLostFocus() {
    if (!m_arEdited)
        return;
    m_arEdited = false;
    trap(u"txtArLostFocus"_s, [&] {
        if (!m_priceDate.isValid())
            return;
        const std::optional<qint16> before = priceOn(m_state.fuelPrices, m_priceDate);
        if (IsBlank(txtAr->text())) {
            // An emptied box takes the price of that day away.
            if (removePrice(m_state.fuelPrices, m_priceDate)) {
                m_pricesDirty = true;
                refreshPriceList();
            }
            return;
        }
        const std::optional<qint16> price = priceFromText(txtAr->text());
        if (!price)
            return;
        if (!storePrice(m_state.fuelPrices, m_priceDate, *price)) {
            m_state.prompter->ask(u"Több üzemanyagár nem vehető fel."_s, Ok, MsgIcon::Exclamation);
            return;
        }
        if (before != price)
            m_pricesDirty = true;
        refreshPriceList();
        if (selectedDate() == m_priceDate)
            txtAr->setText(QString::number(*price));
    });
}

void frmAdatok::cmdBenzinMentClick() {
    trap(u"cmdBenzinMentClick"_s, [&] {
        txtArLostFocus();
        const Result r = SaveFuelPrices(m_state);
        reportFailure(r);
        if (r)
            m_pricesDirty = false;
    });
}

void frmAdatok::cmdBenzinMegsemClick() {
    trap(u"cmdBenzinMegsemClick"_s, [&] {
        m_arEdited = false;
        LoadFuelPrices(m_state);
        m_pricesDirty = false;
    });
    GetFuelPrice();
}

void frmAdatok::cmdAPEHClick() {
    trap(u"cmdAPEHClick"_s, [&] {
        if (m_state.prompter->ask(u"Ezzel a művelettel törölheti az Ön adatbázisában\r\n"
                                  u"lévő üzemanyagárakat, és betöltheti az APEH\r\n"
                                  u"által közzétett, a program honlapjáról letölthető adatbázist.\r\n\r\n"
                                  u"Biztos, hogy visszaállítja az eredeti adatokat?"_s,
                                  Yes | No, MsgIcon::Question) == No)
            return;
        m_arEdited = false;
        const Result r = resetToPublishedPrices(m_state);
        if (!r) {
            m_state.prompter->ask(u"Az APEH által közzétett árak nem tölthetők be, az üzemanyagárak nem változtak.\r\n\r\n"_s +
                                      r.message(),
                                  Ok, MsgIcon::Exclamation);
            return;
        }
        m_pricesDirty = false;
        m_state.prompter->inform(u"Az üzemanyagárak törölve, és az APEH által közzétett árak betöltve."_s);
    });
    GetFuelPrice();
}

void frmAdatok::cmdMindentTorolClick() {
    trap(u"cmdMindentTorol"_s, [&] {
        if (m_state.prompter->ask(u"Ezzel a művelettel minden bevitt üzemanyagárat\r\n"
                                  u"töröl az adatbázisából.\r\n\r\n"
                                  u"Biztos, hogy törli az üzemanyagárakat?"_s,
                                  Yes | No, MsgIcon::Question) == No)
            return;
        m_arEdited = false;
        const Result r = deleteAllPrices(m_state);
        if (!r) {
            reportFailure(r);
            return;
        }
        m_pricesDirty = false;
        m_state.prompter->inform(u"Az üzemanyagárak törölve."_s);
    });
    GetFuelPrice();
}

// ---- import -------------------------------------------------------------------------------

void frmAdatok::buildImportPage() {
    picImport = new QWidget;
    picImport->setObjectName(u"picImport"_s);
    lstUsers = new QListWidget(picImport);
    lstUsers->setObjectName(u"lstUsers"_s);
    optPartner = new QRadioButton(u"Partnerek és &távolságok"_s, picImport);
    optPartner->setObjectName(u"optPartner"_s);
    optPartner->setChecked(true);
    optBenzin = new QRadioButton(u"Üzemanyag&árak"_s, picImport);
    optBenzin->setObjectName(u"optBenzin"_s);
    cmdImport = button(picImport, u"cmdImport", u"&Importálás"_s);
    auto* what = new QGroupBox(u"Mit vegyen át?"_s, picImport);
    auto* whatLayout = new QVBoxLayout(what);
    whatLayout->addWidget(optPartner);
    whatLayout->addWidget(optBenzin);
    whatLayout->addStretch(1);
    whatLayout->addWidget(cmdImport);
    auto* row = new QHBoxLayout;
    row->addWidget(lstUsers, 1);
    row->addWidget(what);
    auto* layout = new QVBoxLayout(picImport);
    layout->addWidget(label(picImport, u"&Autó, amelynek adatait átveszi:"_s, lstUsers));
    layout->addLayout(row, 1);
    tabAdatok->addTab(picImport, u"Imp&ort"_s);
    connect(cmdImport, &QPushButton::clicked, this, &frmAdatok::cmdImportClick);
    connect(lstUsers, &QListWidget::itemActivated, this, &frmAdatok::cmdImportClick);
}

void frmAdatok::fillUsers() {
    lstUsers->clear();
    for (int car : importableCars(m_state)) {
        const CarRecord& c = m_state.car(car);
        auto* item = new QListWidgetItem(c.userName + u" ("_s + c.plateNumber + u')', lstUsers);
        item->setData(Qt::UserRole, car);
    }
    cmdImport->setEnabled(lstUsers->count() > 0);
}

void frmAdatok::cmdImportClick() {
    trap(u"cmdImportClick"_s, [&] {
        const QListWidgetItem* item = lstUsers->currentItem();
        if (!item || !item->isSelected())
            return;
        const int car = item->data(Qt::UserRole).toInt();
        if (!canImportFrom(m_state, car))
            return;
        txtTavLostFocus();
        txtArLostFocus();
        {
            BusyWindow busy(this);
            if (optPartner->isChecked()) {
                int step = 0;
                importPartners(m_state, car, [&] {
                    if (++step % 50 == 0)
                        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                });
            } else {
                importFuelPrices(m_state, car);
            }
        }
        if (optPartner->isChecked()) {
            // Whatever was pending on the distance page went into the file with the import.
            partnersChanged();
        } else {
            m_pricesDirty = false;
            GetFuelPrice();
        }
    });
}

// ---- closing ------------------------------------------------------------------------------

bool frmAdatok::queryClose() {
    bool close = true;
    trap(u"Form_QueryUnload"_s, [&] {
        // Escape does not take the focus away: what was just typed counts.
        txtTavLostFocus();
        txtArLostFocus();
        // A page's edits not saved yet are saved or thrown away; false while they are still pending.
        auto settle = [this](const bool& dirty, const QString& what, void (frmAdatok::*save)(),
                             void (frmAdatok::*discard)()) {
            if (!dirty)
                return true;
            const MsgButton a = m_state.prompter->ask(what + u" módosításai nincsenek elmentve.\r\n\r\n"
                                                             u"Kívánja menteni őket?"_s,
                                                      Yes | No | Cancel, MsgIcon::Question);
            if (a == Cancel)
                return false;
            (this->*(a == Yes ? save : discard))();
            return !dirty;
        };
        if (!settle(m_distancesDirty, u"A távolságok"_s, &frmAdatok::cmdMentesClick, &frmAdatok::cmdMegsemClick) ||
            !settle(m_pricesDirty, u"Az üzemanyagárak"_s, &frmAdatok::cmdBenzinMentClick,
                    &frmAdatok::cmdBenzinMegsemClick)) {
            close = false;
            return;
        }
        if (m_mode == DatabaseMode::Editor && m_state.partnerCount() <= 1) {
            if (askYesNo(*m_state.prompter,
                         u"Nincsenek partnerek megadva. Így nem folytathatja a nyilvántartás szerkesztését.\r\n"
                         u"Kívánja folytatni az adatbázis szerkesztését?"_s)) {
                close = false;
                return;
            }
            m_state.mainWindowTag = u"exit"_s;
        }
    });
    return close;
}

void frmAdatok::reject() {
    if (queryClose())
        QDialog::reject();
}

} // namespace rv
