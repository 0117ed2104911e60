#include "frmAdatok.h"

#include "database/gui/distancepage.h"
#include "database/gui/importpage.h"
#include "database/gui/partnerpage.h"
#include "database/gui/pricepage.h"
#include "ui/errortrap.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

constexpr int kHelpContext = 30;
constexpr int kStatusMs = 4000;

frmAdatok::frmAdatok(AppState& state, DatabaseMode mode, QWidget* parent)
    : QDialog(parent), m_state(state), m_mode(mode) {
    setObjectName(u"frmAdatok"_s);
    setWindowTitle(caption());
    setModal(true);

    tabAdatok = new QTabWidget(this);
    tabAdatok->setObjectName(u"tabAdatok"_s);
    picPartner = new PartnerPage(state, mode, caption());
    picTavolsag = new DistancePage(state, mode);
    picBenzin = new PricePage(state, mode);
    picImport = new ImportPage(state, mode);
    picTorles = new DeletePage(state, mode);
    tabAdatok->addTab(picPartner, u"Partner&ek"_s);
    tabAdatok->addTab(picTavolsag, u"Tá&volságok"_s);
    tabAdatok->addTab(picBenzin, u"&Üzemanyagárak"_s);
    tabAdatok->addTab(picImport, u"Imp&ort"_s);
    tabAdatok->addTab(picTorles, u"Tö&rlés"_s);

    cmdSugo = namedButton(this, u"cmdSugo"_s, u"&Súgó"_s);
    cmdBezar = namedButton(this, u"cmdBezar"_s, u"Be&zárás"_s);
    for (QPushButton* b : {cmdSugo, cmdBezar})
        b->setAutoDefault(false);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(u"lblStatus"_s);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setSingleShot(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdSugo);
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(cmdBezar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabAdatok, 1);
    layout->addLayout(bottom);
    showReadOnly(this, state,
                 {u"cmdUj", u"cmdModosit", u"cmdTorol", u"cmdAdatTorles", u"cmdMentes", u"cmdMegsem", u"txtTav",
                  u"cboSzorzo", u"txtEv", u"cmdPlusz", u"cmdMinusz", u"cboHonapok", u"cboNapok", u"cmdBenzinMent",
                  u"cmdBenzinMegsem", u"cmdAPEH", u"cmdMindentTorol", u"txtAr", u"lstUsers", u"optPartner",
                  u"optBenzin", u"cmdImport"});
    // The grid stays for reading and scrolling; only its cells take no typing.
    if (state.readOnly())
        picTavolsag->grdTavolsagok->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, kHelpContext); });
    buttonKeys(this, cmdSugo, {QKeySequence(Qt::Key_F1)});
    connect(cmdBezar, &QPushButton::clicked, this, &frmAdatok::reject);
    closeKeys(this, cmdBezar);
    connect(m_statusTimer, &QTimer::timeout, lblStatus, &QLabel::clear);
    for (DatabasePage* page : std::initializer_list<DatabasePage*>{picPartner, picTavolsag, picBenzin, picImport, picTorles})
        connect(page, &DatabasePage::status, this, &frmAdatok::showStatus);

    // Adding, changing or deleting a partner saves the partner file with the distances in memory:
    // what was typed on the distance page goes in first, and nothing stays pending after.
    connect(picPartner, &PartnerPage::aboutToChange, picTavolsag, &DistancePage::txtTavLostFocus);
    connect(picPartner, &PartnerPage::partnersChanged, this, [this] {
        picTavolsag->FillTavCombo();
        picTavolsag->markSaved();
    });
    connect(picPartner, &PartnerPage::partnerRenamed, this, [this](int partner) {
        picTavolsag->renamePartner(partner);
        picTavolsag->markSaved();
    });
    connect(picTorles, &DeletePage::partnersChanged, this, [this] {
        picPartner->fillPartnerList();
        picTavolsag->FillTavCombo();
        picTavolsag->markSaved();
    });
    connect(picImport, &ImportPage::aboutToImport, this, [this] {
        picTavolsag->txtTavLostFocus();
        picBenzin->txtArLostFocus();
    });
    connect(picImport, &ImportPage::partnersImported, this, [this] {
        picPartner->fillPartnerList();
        picTavolsag->FillTavCombo();
        picTavolsag->markSaved();
    });
    connect(picImport, &ImportPage::pricesImported, this, [this] {
        picBenzin->markSaved();
        picBenzin->GetFuelPrice();
    });

    resize(1040, 520);
}

// A box that loses the focus while the window is taken down must not store into it.
frmAdatok::~frmAdatok() {
    const auto pages = findChildren<DatabasePage*>();
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        for (DatabasePage* page : pages)
            child->disconnect(page);
    }
}

QString frmAdatok::caption() const { return kAppTitle + u' ' + versionText() + u" - Adatbázis -"_s; }

void frmAdatok::showStatus(const QString& text) {
    lblStatus->setText(text);
    m_statusTimer->start(kStatusMs);
}

bool frmAdatok::queryClose() {
    bool close = true;
    runTrapped(m_state, u"frmAdatok - Form_QueryUnload:"_s, [&] {
        // Escape does not take the focus away: what was just typed counts.
        picTavolsag->txtTavLostFocus();
        picBenzin->txtArLostFocus();
        // A page's edits not saved yet are saved or thrown away; false while they are still pending.
        auto settle = [this](auto* page, const QString& what, void (std::remove_pointer_t<decltype(page)>::*save)(),
                             void (std::remove_pointer_t<decltype(page)>::*discard)()) {
            if (!page->pending())
                return true;
            const MsgButton a = m_state.prompter->ask(what + u" módosításai nincsenek elmentve.\r\n\r\n"
                                                             u"Kívánja menteni őket?"_s,
                                                      Yes | No | Cancel, MsgIcon::Question);
            if (a == Cancel)
                return false;
            (page->*(a == Yes ? save : discard))();
            return !page->pending();
        };
        if (!settle(picTavolsag, u"A távolságok"_s, &DistancePage::cmdMentesClick, &DistancePage::cmdMegsemClick) ||
            !settle(picBenzin, u"Az üzemanyagárak"_s, &PricePage::cmdBenzinMentClick, &PricePage::cmdBenzinMegsemClick)) {
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
