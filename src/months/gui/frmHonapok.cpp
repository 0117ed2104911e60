#include "frmHonapok.h"

#include "editor/logbookfile.h"
#include "months/chain.h"
#include "months/gui/frmEves.h"
#include "months/monthlist.h"
#include "months/newmonth.h"
#include "months/openmonth.h"
#include "months/sample.h"
#include "months/targetsample.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "storage/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "ui/prompter.h"

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
const QString kAllYears = u"Mind"_s;
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

// "200209": year and two-digit month, the key the hidden sorted list holds.
QString sortKey(int year, int month) { return QString::number(year) + u"%1"_s.arg(month, 2, 10, QChar(u'0')); }

} // namespace

frmHonapok::frmHonapok(AppState& state, QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_mainWindow(mainWindow) {
    setObjectName(u"frmHonapok"_s);
    openEditor = [this](bool newMonth) { showEditor(m_state, newMonth, this); };
    build();
    FormLoad();
    showReadOnly(this, m_state, {u"cmdTorol", u"cmdSzerkesztUj"});
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
    auto* existingButtons = new QHBoxLayout;
    existingButtons->addWidget(cmdSzerkeszt);
    existingButtons->addWidget(cmdTorol);
    left->addWidget(heading);
    left->addWidget(cboEv);
    left->addWidget(lstHonapok, 1);
    left->addWidget(lblFileInfo);
    left->addLayout(existingButtons);
    left->addWidget(cmdEves);

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
    chkSzunnap = new QCheckBox(u"&Nemzeti ünnep"_s, fraNapok);
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
    setTabOrder(cmdEves, txtEvSzam);
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
    connect(cmdSzerkesztUj, &QPushButton::clicked, this,
            [this] { trap(u"cmdSzerkesztUjClick"_s, [this] { cmdSzerkesztUjClick(); }); });
    connect(txtEvSzam, &QLineEdit::returnPressed, cmdSzerkesztUj, &QPushButton::click);
    connect(txtKm, &QLineEdit::returnPressed, cmdSzerkesztUj, &QPushButton::click);
    connect(cmdPlus, &QPushButton::clicked, this, [this] { stepYear(1); });
    connect(cmdMinus, &QPushButton::clicked, this, [this] { stepYear(-1); });
    connect(chkMinta, &QCheckBox::toggled, this, &frmHonapok::showSampleControls);
    connect(cmdVissza, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, kHelpContext); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, cmdSugo, &QPushButton::click);

    setBusy(false);
    // As wide as the sample options need, so that the window keeps its width as they come and go.
    showSampleControls(true);
    resize(sizeHint());
    showSampleControls(false);
}

bool frmHonapok::trap(const QString& handler, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmHonapok - "_s + handler + u':', fn);
}

// ---- filling ----------------------------------------------------------------------------------

void frmHonapok::FormLoad() {
    trap(u"FormLoad"_s, [this] {
        fillLists(true);
        cboHonapok->setCurrentIndex(QDate::currentDate().month() - 1);
        txtEvSzam->setText(QString::number(QDate::currentDate().year()));
    });
}

namespace {

QString monthFilesOnDisk(const AppState& s) {
    QString signature = s.carPath(QString()) + u'\n'; // another car is another list
    // What the listing looks at, FIFOs and folders of a month's name included.
    const QDir::Filters what = QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& f : QDir(s.carPath(QString())).entryInfoList({u"*.rvn"_s}, what, QDir::Name))
        signature += f.fileName() + u'/' + QString::number(f.size()) + u'/' +
                     QString::number(f.lastModified().toMSecsSinceEpoch()) + u'\n';
    return signature;
}

} // namespace

void frmHonapok::fillLists(bool warn) {
    m_listedFiles = monthFilesOnDisk(m_state);
    const LogbookListing listing = listLogbooks(m_state);
    lstFile->clear();
    lstFile->addItems(listing.files);
    lstTmp->clear();
    for (const LogbookEntry& e : listing.entries) {
        auto* item = new QListWidgetItem(sortKey(e.year, e.month), lstTmp);
        item->setData(Qt::UserRole, e.position);
    }
    cboEv->clear();
    for (int year : listing.years)
        cboEv->addItem(QString::number(year), year);
    cboEv->addItem(kAllYears);
    cboEv->setCurrentIndex(cboEv->count() - 1);
    if (warn && m_state.prompter)
        for (const QString& w : listing.warnings)
            m_state.prompter->ask(w, Ok, MsgIcon::Exclamation);
    cboEvClick();
}

void frmHonapok::cboEvClick() {
    const QVariant year = cboEv->currentData();
    const bool all = !year.isValid();
    const QSignalBlocker block(lstHonapok);
    lstHonapok->clear();
    for (int i = 0; i < lstTmp->count(); ++i) {
        const QString key = lstTmp->item(i)->text();
        const int position = lstTmp->item(i)->data(Qt::UserRole).toInt();
        const int y = key.left(key.size() - 2).toInt();
        if (!all && y != year.toInt())
            continue;
        auto* item = new QListWidgetItem(monthsListLine(y, key.right(2).toInt()), lstHonapok);
        item->setData(Qt::UserRole, position);
    }
    lblFileInfo->setText(u"-"_s);
    if (lstHonapok->count() > 0) {
        lstHonapok->setCurrentRow(0);
        lstHonapokClick();
    }
    updateButtons();
}

QString frmHonapok::selectedFile() const {
    const QListWidgetItem* item = lstHonapok->currentItem();
    if (!item || lstHonapok->currentRow() < 0)
        return {};
    const int position = item->data(Qt::UserRole).toInt();
    if (position < 0 || position >= lstFile->count())
        return {};
    return lstFile->item(position)->text();
}

void frmHonapok::lstHonapokClick() {
    const QString file = selectedFile();
    lblFileInfo->setText(u"-"_s);
    if (file.isEmpty())
        return;
    const QString path = m_state.carPath(file);
    LogbookHeader h;
    const Result r = readLogbookHeader(path, h, m_state.programDir);
    if (!r) {
        if (m_state.prompter)
            m_state.prompter->ask(r.message(), Ok, MsgIcon::Exclamation);
        return;
    }
    if (!h.isLogbook() || !isReadableLogbookVersion(h.version)) {
        if (m_state.prompter)
            m_state.prompter->ask(unreadableVersionWarning(path), Ok, MsgIcon::Exclamation);
        return;
    }
    lblFileInfo->setText(selectedMonthKmText(h.monthKm));
}

void frmHonapok::updateButtons() {
    const bool selected = lstHonapok->currentRow() >= 0 && lstHonapok->currentItem() != nullptr;
    cmdSzerkeszt->setEnabled(selected && !m_busy);
    cmdEves->setEnabled(lstTmp->count() > 0 && !m_busy);
    cmdTorol->setEnabled(selected && !m_busy);
}

// ---- deleting ---------------------------------------------------------------------------------

void frmHonapok::cmdTorolClick() {
    QListWidgetItem* item = lstHonapok->currentItem();
    const QString file = selectedFile();
    if (!item || file.isEmpty() || !m_state.prompter)
        return;
    const QString line = item->text();
    if (!askYesNo(*m_state.prompter, deleteMonthQuestion(line)))
        return;
    const QString path = m_state.carPath(file);
    if (QFileInfo::exists(path) && std::remove(QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        m_state.prompter->ask(u"A fájl nem törölhető: %1\r\n%2"_s.arg(QDir::toNativeSeparators(path),
                                                                      fileErrorText(error)),
                              Ok, MsgIcon::Exclamation);
        return;
    }
    m_state.prompter->inform(line + u" törölve."_s);
    // Gone from the sorted list too, so that another year filter does not bring it back.
    const int position = item->data(Qt::UserRole).toInt();
    for (int i = lstTmp->count() - 1; i >= 0; --i)
        if (lstTmp->item(i)->data(Qt::UserRole).toInt() == position)
            delete lstTmp->takeItem(i);
    {
        const QSignalBlocker block(lstHonapok);
        delete lstHonapok->takeItem(lstHonapok->row(item));
        lstHonapok->setCurrentRow(-1);
    }
    lblFileInfo->setText(u"-"_s);
    updateButtons();
}

// ---- the new-month controls -------------------------------------------------------------------

void frmHonapok::stepYear(int delta) {
    const double year = toNumber(txtEvSzam->text()).value_or(0) + delta;
    txtEvSzam->setText(QString::number(year, 'g', 15));
}

void frmHonapok::clampKm(const QString& text) {
    const QString clamped = clampTargetText(text);
    if (clamped != text)
        txtKm->setText(clamped);
}

void frmHonapok::showSampleControls(bool on) {
    fraMinta->setVisible(on);
    for (QWidget* w = fraMinta->parentWidget(); w; w = w->parentWidget())
        if (w->layout())
            w->layout()->activate(); // the new size hints, before the window takes them
    // The height follows the options; the width only grows.
    resize(std::max(width(), sizeHint().width()), sizeHint().height());
}

void frmHonapok::setBusy(bool busy) {
    m_busy = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{txtEvSzam, cmdPlus, cmdMinus, cboHonapok, chkMinta, fraMinta,
                                                      cmdSzerkesztUj, cboEv, lstHonapok, cmdVissza})
        w->setEnabled(!busy);
    lblStatusz->setVisible(busy);
    pgbStatusz->setVisible(busy);
    if (!busy) {
        pgbStatusz->setMaximum(100);
        pgbStatusz->setValue(0);
    }
    updateButtons();
}

void frmHonapok::cmdSzerkesztUjClick() {
    const std::optional<int> year = newMonthYear(txtEvSzam->text());
    if (!year) {
        if (m_state.prompter)
            m_state.prompter->ask(badYearMessage(), Ok, MsgIcon::Exclamation);
        txtEvSzam->setFocus();
        txtEvSzam->selectAll();
        return;
    }
    const int month = cboHonapok->currentIndex() + 1;
    const MonthTarget file = monthTarget(m_state, *year, month);
    if (file.exists && m_state.prompter && !askYesNo(*m_state.prompter, overwriteMonthQuestion()))
        return;
    // The file as the user agreed to replace it (or its absence): a change before the save is asked.
    const FileStamp onDisk = stampOf(m_state.carPath(file.fileName));

    setBusy(true);
    lblStatusz->setText(u"Töltés..."_s);
    if (m_state.partnerCount() < 2) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Nincsenek adatok az adatbázisban."_s, Ok, MsgIcon::Exclamation);
        setBusy(false);
        return;
    }
    // A new month starts from a clean record: nothing of the month opened before carries over.
    m_state.month = MonthLog{};
    m_state.month.year = *year;
    m_state.month.month = month;
    m_state.month.onDisk = onDisk;
    m_state.month.startOdometer = chainedStart(previousReading(m_state, *year, month));

    if (!chkMinta->isChecked()) {
        handOver(true);
        return;
    }
    const int target = targetKm(txtKm->text());
    if (target == 0) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Kérem adja meg a kívánt távolságot."_s, Ok, MsgIcon::Information);
        setBusy(false);
        txtKm->setFocus();
        return;
    }
    MintaKeszites(target);
}

void frmHonapok::MintaKeszites(int target) {
    SampleRequest request;
    request.year = m_state.month.year;
    request.month = m_state.month.month;
    request.target = target;
    for (int d = 1; d <= 7; ++d)
        request.weekdays[size_t(d)] = chkNap[size_t(d)]->isChecked();
    request.holidays = chkSzunnap->isChecked();

    if (chkPontos->isChecked()) {
        ExactSampleResult exact;
        if (!trap(u"MintaKeszites"_s, [&] { exact = PontosMintaKeszites(m_state, request, *this); }))
            return;
        if (exact.outcome == ExactOutcome::Generated) {
            m_state.mainWindowTag = u"korábbi"_s;
            m_state.month.modified = true;
            handOver(false);
            return;
        }
        if (!exact.reason.isEmpty() && m_state.prompter)
            m_state.prompter->inform(exact.reason);
        setBusy(false);
        return;
    }

    SampleOutcome outcome = SampleOutcome::NoPartners;
    if (!trap(u"MintaKeszites"_s, [&] { outcome = ::rv::MintaKeszites(m_state, request, *this); }))
        return;
    if (outcome == SampleOutcome::Generated && !offerExactMonth(request))
        return;
    switch (outcome) {
    case SampleOutcome::Generated:
        m_state.mainWindowTag = u"korábbi"_s;
        // Offered for saving: the editor takes the month as it is.
        m_state.month.modified = true;
        handOver(false);
        break;
    case SampleOutcome::FallbackDeclined: {
        const qint32 start = m_state.month.startOdometer;
        m_state.month = MonthLog{};
        m_state.month.year = request.year;
        m_state.month.month = request.month;
        m_state.month.startOdometer = start;
        handOver(true);
        break;
    }
    case SampleOutcome::NoWorkingDays:
    case SampleOutcome::NoPartners:
    case SampleOutcome::DaysCut:
        setBusy(false);
        break;
    }
}

// A month below the target or over the limit: when one that reaches the target exists, the user
// may take it instead. False when the error trap ended the handler.
bool frmHonapok::offerExactMonth(const SampleRequest& request) {
    if (m_state.month.monthKm >= request.target &&
        m_state.month.monthKm <= sampleLimit(request.target, sampleSettings(m_state.settings).factor))
        return true;
    MonthLog present = m_state.month;
    ExactSampleResult exact;
    if (!trap(u"MintaKeszites"_s, [&] { exact = PontosMintaKeszites(m_state, request, *this); }))
        return false;
    if (exact.outcome != ExactOutcome::Generated)
        return true;
    const QString question = u"Készíthető olyan minta is, amely a kért %1 km-t a hibahatáron belül eléri "
                             u"(%2 napon, összesen %3 km).\r\nKívánja ezt a mintát használni?"_s.arg(request.target)
                                 .arg(exact.tripDays)
                                 .arg(m_state.month.monthKm);
    if (!m_state.prompter || !askYesNo(*m_state.prompter, question))
        m_state.month = std::move(present);
    return true;
}

// ---- opening a stored month -------------------------------------------------------------------

void frmHonapok::cmdSzerkesztClick() {
    const QString file = selectedFile();
    if (file.isEmpty() || m_busy)
        return;
    setBusy(true);
    if (openStoredMonth(m_state, file, *this) == OpenOutcome::Opened)
        handOver(false);
    else
        setBusy(false);
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

void frmHonapok::refreshFromDisk() {
    if (m_listedFiles.isEmpty() || monthFilesOnDisk(m_state) == m_listedFiles)
        return;
    const QString file = selectedFile();
    const QVariant year = cboEv->currentData();
    fillLists(false);
    if (const int y = cboEv->findData(year); year.isValid() && y >= 0) {
        cboEv->setCurrentIndex(y);
        cboEvClick();
    }
    for (int i = 0; i < lstHonapok->count(); ++i)
        if (lstFile->item(lstHonapok->item(i)->data(Qt::UserRole).toInt())->text() == file) {
            lstHonapok->setCurrentRow(i);
            lstHonapokClick();
        }
}

bool frmHonapok::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstHonapok && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete && cmdTorol->isEnabled()) {
            cmdTorol->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
