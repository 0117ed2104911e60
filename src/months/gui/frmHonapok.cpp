#include "frmHonapok.h"

#include "model/logbookfile.h"
#include "model/monthchain.h"
#include "months/gui/frmEves.h"
#include "months/gui/frmUtImport.h"
#include "model/monthlist.h"
#include "months/newmonth.h"
#include "months/openmonth.h"
#include "months/sample.h"
#include "months/targetsample.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <array>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <cerrno>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kHelpContext = 40;
const QString kEditing = u"szerkeszt"_s;

QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QString& tip = {}) {
    auto* b = namedButton(parent, name, text);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

// A short box for a number, named, beside its label.
QLineEdit* numberBox(QWidget* parent, const QString& name, QLabel* label) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaximumWidth(80);
    label->setBuddy(box);
    return box;
}

// The months list takes the height the new-month side needs, so that the window grows and
// shrinks with the sample controls.
class MonthList : public QListWidget {
public:
    using QListWidget::QListWidget;
    QSize sizeHint() const override { return {220, 120}; }
};

} // namespace

frmHonapok::frmHonapok(AppState& state, QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_mainWindow(mainWindow) {
    setObjectName(u"frmHonapok"_s);
    openEditor = [this](bool newMonth) { showEditor(m_state, newMonth, this); };
    build();
    FormLoad();
    showReadOnly(this, m_state,
                 {u"cmdTorol", u"cmdSzerkesztUj", u"txtEvSzam", u"cmdPlus", u"cmdMinus", u"cboHonapok", u"chkMinta",
                  u"txtKm", u"chkNap1", u"chkNap2", u"chkNap3", u"chkNap4", u"chkNap5", u"chkNap6", u"chkNap7",
                  u"chkSzunnap", u"chkPontos", u"cmdUtimport"});
}

void frmHonapok::build() {
    const QString mainCaption = m_mainWindow ? m_mainWindow->windowTitle() : kAppTitle + u' ' + versionText();
    setWindowTitle(mainCaption + u" - Nyilvántartások -"_s);

    lstFile = new QListWidget(this);
    lstFile->setObjectName(u"lstFile"_s);
    lstFile->hide();
    lstTmp = new QListWidget(this);
    lstTmp->setObjectName(u"lstTmp"_s);
    lstTmp->hide();

    // Existing months.
    auto* existing = new QWidget(this);
    auto* left = new QVBoxLayout(existing);
    left->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(u"Meglévő nyilvántartások:"_s, existing);
    cboEv = new QComboBox(existing);
    cboEv->setObjectName(u"cboEv"_s);
    cboEv->setToolTip(u"Csak a kiválasztott év hónapjai látszanak."_s);
    lstHonapok = new MonthList(existing);
    lstHonapok->setObjectName(u"lstHonapok"_s);
    lstHonapok->installEventFilter(this);
    heading->setBuddy(lstHonapok);
    lblFileInfo = new QLabel(u"-"_s, existing);
    lblFileInfo->setObjectName(u"lblFileInfo"_s);
    cmdSzerkeszt = button(existing, u"cmdSzerkeszt"_s, u"Szer&keszt"_s, u"Kiválasztott hónap szerkesztése"_s);
    cmdTorol = button(existing, u"cmdTorol"_s, u"&Töröl"_s, u"Kiválasztott hónap törlése"_s);
    cmdEves = button(existing, u"cmdEves"_s, u"&Éves összesítő"_s,
                     u"A kiválasztott év hónapjai, összesítése és grafikonja"_s);
    cmdUtimport = button(existing, u"cmdUtimport"_s, u"&Utak betöltése..."_s,
                         u"Hónap nyomkövető vagy telefonos alkalmazás exportjából (CSV vagy GPX)"_s);
    auto* existingButtons = new QHBoxLayout;
    existingButtons->addWidget(cmdSzerkeszt);
    existingButtons->addWidget(cmdTorol);
    left->addWidget(heading);
    left->addWidget(cboEv);
    left->addWidget(lstHonapok, 1);
    left->addWidget(lblFileInfo);
    left->addLayout(existingButtons);
    left->addWidget(cmdEves);
    left->addWidget(cmdUtimport);

    // A new month.
    auto* fresh = new QGroupBox(u"Új hónap szerkesztése"_s, this);
    auto* right = new QVBoxLayout(fresh);
    auto* yearRow = new QHBoxLayout;
    auto* yearLabel = new QLabel(u"Évszá&m:"_s, fresh);
    txtEvSzam = numberBox(fresh, u"txtEvSzam"_s, yearLabel);
    cmdPlus = button(fresh, u"cmdPlus"_s, u"+"_s, u"Következő év"_s);
    cmdMinus = button(fresh, u"cmdMinus"_s, u"-"_s, u"Előző év"_s);
    for (QPushButton* b : {cmdPlus, cmdMinus})
        b->setFixedWidth(32);
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(txtEvSzam);
    yearRow->addWidget(cmdPlus);
    yearRow->addWidget(cmdMinus);
    yearRow->addStretch(1);
    cboHonapok = new QComboBox(fresh);
    cboHonapok->setObjectName(u"cboHonapok"_s);
    for (const QString& name : MonthNames())
        cboHonapok->addItem(name);
    chkMinta = new QCheckBox(u"M&inta létrehozása"_s, fresh);
    chkMinta->setObjectName(u"chkMinta"_s);

    fraMinta = new QWidget(fresh);
    fraMinta->setObjectName(u"fraMinta"_s);
    auto* sample = new QVBoxLayout(fraMinta);
    sample->setContentsMargins(0, 0, 0, 0);
    auto* kmRow = new QHBoxLayout;
    auto* kmLabel = new QLabel(u"&Generálni kívánt kilóméter:"_s, fraMinta);
    txtKm = numberBox(fraMinta, u"txtKm"_s, kmLabel);
    kmRow->addWidget(kmLabel);
    kmRow->addWidget(txtKm);
    kmRow->addStretch(1);
    fraNapok = new QGroupBox(u"Milyen napokra generáljon"_s, fraMinta);
    fraNapok->setObjectName(u"fraNapok"_s);
    auto* days = new QGridLayout(fraNapok);
    // Shown Monday first; the boxes are numbered from Sunday = 1 as the weekdays of a date.
    // Each day its own Alt key, none taken elsewhere in the window.
    static const std::array<QString, 7> dayCaptions = {u"&hétfő"_s,   u"ke&dd"_s,    u"sze&rda"_s,    u"&csütörtök"_s,
                                                       u"&péntek"_s, u"szom&bat"_s, u"v&asárnap"_s};
    for (int shown = 0; shown < 7; ++shown) {
        const int index = (shown + 1) % 7 + 1;
        auto* box = new QCheckBox(dayCaptions[size_t(shown)], fraNapok);
        box->setObjectName(u"chkNap%1"_s.arg(index));
        box->setChecked(SampleRequest::defaultWeekdays()[size_t(index)]);
        chkNap[size_t(index)] = box;
        days->addWidget(box, shown / 2, shown % 2); // read along the rows, as Tab goes
    }
    chkSzunnap = new QCheckBox(u"Munkaszüneti &nap"_s, fraNapok);
    chkSzunnap->setObjectName(u"chkSzunnap"_s);
    days->addWidget(chkSzunnap, 3, 1);
    chkPontos = new QCheckBox(u"P&ontos km-cél"_s, fraMinta);
    chkPontos->setObjectName(u"chkPontos"_s);
    chkPontos->setToolTip(u"A kért km-t a hibahatáron belül éri el; ha kell, kevesebb napra tesz utat."_s);
    sample->addLayout(kmRow);
    sample->addWidget(fraNapok);
    sample->addWidget(chkPontos);

    cmdSzerkesztUj = button(fresh, u"cmdSzerkesztUj"_s, u"S&zerkeszt"_s, u"Új hónap szerkesztése"_s);
    right->addLayout(yearRow);
    right->addWidget(cboHonapok);
    right->addWidget(chkMinta);
    right->addWidget(fraMinta);
    right->addStretch(1);
    right->addWidget(cmdSzerkesztUj, 0, Qt::AlignRight);

    // Status and the window's own buttons.
    lblStatusz = new QLabel(u"Töltés..."_s, this);
    lblStatusz->setObjectName(u"lblStatusz"_s);
    pgbStatusz = new QProgressBar(this);
    pgbStatusz->setObjectName(u"pgbStatusz"_s);
    pgbStatusz->setTextVisible(false);
    for (QWidget* w : std::initializer_list<QWidget*>{lblStatusz, pgbStatusz}) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true); // the window does not jump when they appear
        w->setSizePolicy(p);
    }
    cmdVissza = button(this, u"cmdVissza"_s, u"&Vissza"_s, u"Visszalépés a főmenübe"_s);
    cmdSugo = button(this, u"cmdSugo"_s, u"&Súgó"_s);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatusz);
    bottom->addWidget(pgbStatusz, 1);
    bottom->addSpacing(12);
    bottom->addWidget(cmdSugo);
    bottom->addWidget(cmdVissza);

    auto* top = new QHBoxLayout;
    top->addWidget(existing, 1);
    top->addWidget(fresh, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    setTabOrder(cboEv, lstHonapok);
    setTabOrder(lstHonapok, cmdSzerkeszt);
    setTabOrder(cmdSzerkeszt, cmdTorol);
    setTabOrder(cmdTorol, cmdEves);
    setTabOrder(cmdEves, cmdUtimport);
    setTabOrder(cmdUtimport, txtEvSzam);
    // Súgó stands left of Vissza.
    setTabOrder(cmdSzerkesztUj, cmdSugo);
    setTabOrder(cmdSugo, cmdVissza);

    attachNumericFilter(txtEvSzam);
    NumericFilter* kmFilter = attachNumericFilter(txtKm);
    connect(kmFilter, &NumericFilter::accepted, this, &frmHonapok::clampKm);

    connect(cboEv, &QComboBox::activated, this, [this] { trap(u"cboEvClick"_s, [this] { cboEvClick(); }); });
    connect(lstHonapok, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !m_busy)
            trap(u"lstHonapokClick"_s, [this] { lstHonapokClick(); });
        updateButtons();
    });
    onListRowKeys(lstHonapok, [this] {
        if (cmdSzerkeszt->isEnabled())
            cmdSzerkeszt->click();
    });
    connect(lstHonapok, &QListWidget::itemDoubleClicked, this,
            [this] { trap(u"cmdSzerkesztClick"_s, [this] { cmdSzerkesztClick(); }); });
    connect(cmdSzerkeszt, &QPushButton::clicked, this,
            [this] { trap(u"cmdSzerkesztClick"_s, [this] { cmdSzerkesztClick(); }); });
    connect(cmdTorol, &QPushButton::clicked, this, [this] { trap(u"cmdTorolClick"_s, [this] { cmdTorolClick(); }); });
    connect(cmdEves, &QPushButton::clicked, this, [this] { trap(u"cmdEvesClick"_s, [this] { cmdEvesClick(); }); });
    connect(cmdUtimport, &QPushButton::clicked, this, [this] { trap(u"cmdUtimportClick"_s, [this] { cmdUtimportClick(); }); });
    connect(cmdSzerkesztUj, &QPushButton::clicked, this,
            [this] { trap(u"cmdSzerkesztUjClick"_s, [this] { cmdSzerkesztUjClick(); }); });
    connect(txtEvSzam, &QLineEdit::returnPressed, cmdSzerkesztUj, &QPushButton::click);
    connect(txtKm, &QLineEdit::returnPressed, cmdSzerkesztUj, &QPushButton::click);
    connect(cmdPlus, &QPushButton::clicked, this, [this] { stepYear(1); });
    connect(cmdMinus, &QPushButton::clicked, this, [this] { stepYear(-1); });
    connect(chkMinta, &QCheckBox::toggled, this, &frmHonapok::showSampleControls);
    connect(cmdVissza, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, kHelpContext); });
    closeKeys(this, cmdVissza);
    buttonKeys(this, cmdSugo, {QKeySequence(Qt::Key_F1)});

    setBusy(false);
    // As wide as the sample options need, so that the window keeps its width as they come and go.
    showSampleControls(true);
    resize(sizeHint());
    showSampleControls(false);
}

bool frmHonapok::trap(const QString& handler, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmHonapok - "_s + handler + u':', fn);
}

// ---- the year overview -------------------------------------------------------------------------

void frmHonapok::cmdEvesClick() {
    if (m_busy)
        return;
    // The year chosen above the list, else the latest year with a logbook.
    const QVariant chosen = cboEv->currentData();
    int year = chosen.isValid() ? chosen.toInt() : 0;
    for (int i = 0; !chosen.isValid() && i < cboEv->count(); ++i)
        year = std::max(year, cboEv->itemData(i).toInt());
    auto* window = new frmEves(m_state, year, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

// ---- the trip import -----------------------------------------------------------------------------

void frmHonapok::cmdUtimportClick() {
    if (m_busy)
        return;
    if (m_state.partnerCount() < 1) {
        m_state.prompter->inform(u"Nincsenek adatok az adatbázisban."_s, MsgIcon::Exclamation);
        return;
    }
    showTripImport(m_state, this);
    fillLists(false);
}

void frmHonapok::handOver(bool newMonth) {
    tag = kEditing;
    pgbStatusz->setMaximum(100);
    if (openEditor)
        openEditor(newMonth);
    setBusy(false);
    hide();
}

// ---- progress ---------------------------------------------------------------------------------

void frmHonapok::setStatus(const QString& text) { lblStatusz->setText(text); }
void frmHonapok::setProgressMaximum(int maximum) { pgbStatusz->setMaximum(std::max(maximum, 1)); }
void frmHonapok::setProgressValue(int value) { pgbStatusz->setValue(std::clamp(value, 0, pgbStatusz->maximum())); }
int frmHonapok::progressValue() const { return pgbStatusz->value(); }
void frmHonapok::keepResponsive() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// ---- window events ----------------------------------------------------------------------------

void frmHonapok::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        event->ignore(); // a generation or an opening is running
        return;
    }
    if (tag != kEditing && m_mainWindow)
        m_mainWindow->show();
    event->accept();
}

void frmHonapok::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (tag == kEditing) {
        // Back from the editor: it may have saved a month.
        tag.clear();
        trap(u"FormLoad"_s, [this] { fillLists(false); });
    }
}

// Another program (the command line, a second copy) may have written months meanwhile: the list
// shows them as they are on disk when the user comes back to the window.
void frmHonapok::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_busy && tag != kEditing)
        trap(u"Form_Activate"_s, [this] { refreshFromDisk(); });
}

// ---- opening the window -----------------------------------------------------------------------

void showMonthsWindow(AppState& state, QWidget* mainWindow) {
    auto* window = new frmHonapok(state, mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (mainWindow)
        mainWindow->hide();
    window->show();
}

} // namespace rv
