#include "frmSzerkeszto.h"
#include "model/grouping.h"

#include "editor/calendar.h"
#include "model/cost.h"
#include "model/norms.h"
#include "model/monthprice.h"
#include "editor/gui/editorcaption.h"
#include "editor/gui/errorpictures.h"
#include "editor/gui/frmHiba.h"
#include "printing/travelorder.h"
#include "model/monthfacts.h"
#include "editor/logbookfile.h"
#include "editor/tripentry.h"
#include "storage/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/windowparts.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

const QString kExit = u"exit"_s;
const char* const kCellProperty = "cell";

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// A caption whose mnemonic, if any, takes the focus to its box.
QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

const QColor kCurrentDay(0, 0, 255);
const QColor kWorkDay(255, 255, 255);
const QColor kDayOff(222, 222, 222); // weekends and holidays

// The current day is blue; days off are grey, the rest white; a day with stops is bold.
void paintCell(QLabel* cell, bool current, bool dayOff = false, bool trips = false) {
    QPalette p = cell->palette();
    p.setColor(QPalette::Window, current ? kCurrentDay : dayOff ? kDayOff : kWorkDay);
    p.setColor(QPalette::WindowText, current ? QColor(255, 255, 255) : QColor(0, 0, 0));
    cell->setPalette(p);
    QFont f = cell->font();
    if (f.bold() != trips) {
        f.setBold(trips);
        cell->setFont(f);
    }
}

} // namespace

frmSzerkeszto::frmSzerkeszto(AppState& state, QWidget* monthsWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_monthsWindow(monthsWindow) {
    setObjectName(u"frmSzerkeszto"_s);
    setWindowTitle(u"Útvonal szerkesztő"_s);
    buildUi();
    wire();
    openDatabase = [this] { showDatabaseWindow(m_state, DatabaseMode::Editor, this); };
    openPreview = [this](PrintMode mode, bool airConditioning, bool winter) {
        showPrintPreview(m_state, mode, airConditioning, winter, this);
    };
}

frmSzerkeszto::~frmSzerkeszto() = default;

void frmSzerkeszto::buildUi() {
    // Calendar.
    picNaptar = named(new QWidget(this), u"picNaptar"_s);
    picNaptar->setAutoFillBackground(true);
    // Reached with Tab; the arrows move the day, a week up and down.
    picNaptar->setFocusPolicy(Qt::StrongFocus);
    picNaptar->setToolTip(u"Naptár: a nyilakkal választhat napot."_s);
    picNaptar->installEventFilter(this);
    auto* grid = new QGridLayout(picNaptar);
    grid->setSpacing(1);
    grid->setContentsMargins(1, 1, 1, 1);
    for (int i = 0; i < 7; ++i) {
        auto* h = named(new QLabel(picNaptar), u"lblNapokNeve"_s);
        h->setAlignment(Qt::AlignCenter);
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        lblNapokNeve[size_t(i)] = h;
        grid->addWidget(h, 0, i);
    }
    for (int i = 0; i < kCalendarCells; ++i) {
        auto* c = named(new QLabel(picNaptar), u"lblNapok"_s);
        c->setProperty(kCellProperty, i + 1);
        c->setAlignment(Qt::AlignCenter);
        c->setAutoFillBackground(true);
        // Its own colour, never the calendar's focus colour: otherwise every day painted while
        // the calendar has the focus looks selected.
        c->setBackgroundRole(QPalette::Window);
        c->setMinimumSize(30, 22);
        c->setFrameShape(QFrame::Box);
        c->setCursor(Qt::PointingHandCursor);
        paintCell(c, false);
        c->installEventFilter(this);
        lblNapok[size_t(i)] = c;
        grid->addWidget(c, 1 + i / 7, i % 7);
    }

    lblDatum = named(new QLabel(this), u"lblDatum"_s);
    QFont big = lblDatum->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.15);
    lblDatum->setFont(big);
    lblDatum->setAlignment(Qt::AlignCenter);
    cmdElozoNap = namedButton(this, u"cmdElozoNap"_s, u"E&lőző Nap"_s);
    cmdKovetkezoNap = namedButton(this, u"cmdKovetkezoNap"_s, u"Következő na&p"_s);
    lblKmANapon = named(new QLabel(this), u"lblKmANapon"_s);
    lblKmAHonapban = named(new QLabel(this), u"lblKmAHonapban"_s);
    txtKmOraAllas = named(new QLineEdit(this), u"txtKmOraAllas"_s);
    txtKmOraAllas->setMaximumWidth(110);
    auto* lblKmOra = caption(this, u"Havi ke&zdő km-óra állás:"_s, txtKmOraAllas);
    lblZaroAllas = named(new QLabel(this), u"lblZaroAllas"_s);
    txtZaroKmOra = named(new QLineEdit(this), u"txtZaroKmOra"_s);
    txtZaroKmOra->setMaximumWidth(110);
    txtZaroKmOra->setToolTip(u"A hónap végén leolvasott km-óra állás. A kezdő állás és a hónap útjai nélküli "
                             u"különbség a magánhasználat; üresen a hónapnak nincs magánhasználata."_s);
    auto* lblZaroKmOra = caption(this, u"Záró km-óra &állás:"_s, txtZaroKmOra);
    lblMagan = named(new QLabel(this), u"lblMagan"_s);
    lblMagan->setWordWrap(true); // a long share text must not widen the window past a small screen

    auto* fraKoltseg = named(new QGroupBox(u"Egyéb költségek"_s, this), u"fraKoltseg"_s);
    chkKlima = named(new QCheckBox(u"&Klíma"_s, fraKoltseg), u"chkKlima"_s);
    chkTeliUzem = named(new QCheckBox(u"Tél&i üzemeltetés"_s, fraKoltseg), u"chkTeliUzem"_s);
    lblOsszKoltseg = named(new QLabel(costCaption(0), fraKoltseg), u"lblOsszKoltseg"_s);
    lblOsszKoltseg->setWordWrap(true);
    {
        auto* l = new QVBoxLayout(fraKoltseg);
        auto* row = new QHBoxLayout;
        row->addWidget(chkKlima);
        row->addWidget(chkTeliUzem);
        row->addStretch();
        l->addLayout(row);
        l->addWidget(lblOsszKoltseg);
    }

    fraHibak = named(new QGroupBox(u"Hibák"_s, this), u"fraHibak"_s);
    lblKisHiba = named(new QLabel(u"Nincs hiba."_s, fraHibak), u"lblKisHiba"_s);
    lblNagyHiba = named(new QLabel(fraHibak), u"lblNagyHiba"_s);
    imgHiba = named(new QLabel(fraHibak), u"imgHiba"_s);
    imlHiba = errorPictures(32);
    imgHiba->setPixmap(imlHiba[0]);
    imgHiba->setFixedSize(34, 34);
    chkHiba = named(new QCheckBox(u"&Részletek"_s, fraHibak), u"chkHiba"_s);
    chkHiba->setToolTip(u"Kattintson ide, hogy megtudja, mik a konkrét hibák."_s);
    chkHiba->setEnabled(false);
    {
        auto* l = new QGridLayout(fraHibak);
        l->addWidget(imgHiba, 0, 0, 2, 1);
        l->addWidget(lblKisHiba, 0, 1);
        l->addWidget(lblNagyHiba, 1, 1);
        l->addWidget(chkHiba, 2, 0, 1, 2);
        l->setColumnStretch(1, 1);
    }

    // Trip entry.
    lstPartnerek = named(new QListWidget(this), u"lstPartnerek"_s);
    lstPartnerek->setToolTip(u"Az itt felsorolt partnerekből állíthatja össze az útnyilvántartását. "
                             u"A saját cége is itt szerepel."_s);
    auto* lblPartnerek = caption(this, u"Partnerek:"_s, lstPartnerek);
    lstKesz = named(new QListWidget(this), u"lstKesz"_s);
    lstKesz->setToolTip(u"Ha az utolsó adat van kiválasztva, a lista végéhez adhat hozzá adatokat, "
                        u"egyébként a kiválasztott elem elé szúrhatja be."_s);
    auto* lblKesz = caption(this, u"A nap útvonala:"_s, lstKesz);
    cmdHozzaAd = namedButton(this, u"cmdHozzaAd"_s, u"&Hozzáad"_s);
    cmdTorol = namedButton(this, u"cmdTorol"_s, u"&Töröl"_s);
    cmdMindentTorol = namedButton(this, u"cmdMindentTorol"_s, u"Min&dent töröl"_s);
    lblTavolsag = named(new QLabel(u"-"_s, this), u"lblTavolsag"_s);

    auto* fraTipus = named(new QGroupBox(u"Az út típ&usa"_s, this), u"fraTipus"_s);
    optCsakOda = named(new QRadioButton(u"csak oda"_s, fraTipus), u"optCsakOda"_s);
    optOdaVissza = named(new QRadioButton(u"visszaút is"_s, fraTipus), u"optOdaVissza"_s);
    optACeghez = named(new QRadioButton(u"vissza a céghez"_s, fraTipus), u"optACeghez"_s);
    optCsakOda->setChecked(true);
    {
        auto* l = new QHBoxLayout(fraTipus);
        l->addWidget(optCsakOda);
        l->addWidget(optOdaVissza);
        l->addWidget(optACeghez);
    }

    auto* fraMasol = named(new QGroupBox(u"Adatok másolása a napok között"_s, this), u"fraMasol"_s);
    txtHonnan = named(new QLineEdit(fraMasol), u"txtHonnan"_s);
    txtHova = named(new QLineEdit(fraMasol), u"txtHova"_s);
    txtHonnan->setMaximumWidth(48);
    txtHova->setMaximumWidth(48);
    optCsatol = named(new QRadioButton(u"&Csatol"_s, fraMasol), u"optCsatol"_s);
    optFelulIr = named(new QRadioButton(u"&Felülír"_s, fraMasol), u"optFelulIr"_s);
    optFelulIr->setChecked(true);
    cmdMasol = namedButton(fraMasol, u"cmdMasol"_s, u"&Másol"_s);
    {
        auto* l = new QHBoxLayout(fraMasol);
        l->addWidget(caption(fraMasol, u"H&onnan:"_s, txtHonnan));
        l->addWidget(txtHonnan);
        l->addWidget(caption(fraMasol, u"Hov&a:"_s, txtHova));
        l->addWidget(txtHova);
        l->addSpacing(8);
        l->addWidget(optCsatol);
        l->addWidget(optFelulIr);
        l->addStretch();
        l->addWidget(cmdMasol);
    }

    txtComment = named(new QLineEdit(this), u"txtComment"_s);
    txtComment->setMaxLength(kMaxFieldChars);
    auto* lblComment = caption(this, u"Meg&jegyzések a naphoz:"_s, txtComment);

    cmdMent = namedButton(this, u"cmdMent"_s, u"M&entés"_s);
    cmdNyomtat = namedButton(this, u"cmdNyomtat"_s, u"&Nyomtat"_s);
    cmdKoltseg = namedButton(this, u"cmdKoltseg"_s, u"Költsé&gek"_s);
    cmdRendelveny = namedButton(this, u"cmdRendelveny"_s, u"Rendelvén&y"_s);
    cmdRendelveny->setToolTip(u"Kiküldetési rendelvény a hónap utas napjairól."_s);
    cmdAdatBazis = namedButton(this, u"cmdAdatBazis"_s, u"Adat&bázis"_s);
    cmdAdatBazis->setToolTip(u"Az adatbázist tudja szerkeszteni."_s);
    cmdSugo = namedButton(this, u"cmdSugo"_s, u"&Súgó"_s);
    cmdVissza = namedButton(this, u"cmdVissza"_s, u"&Vissza"_s);
    lblAllapot = named(new QLabel(this), u"lblAllapot"_s);

    // Left: the calendar and the month; right: the day's trips.
    auto* left = new QVBoxLayout;
    left->addWidget(picNaptar);
    left->addWidget(lblDatum);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(cmdElozoNap);
        row->addWidget(cmdKovetkezoNap);
        left->addLayout(row);
    }
    left->addWidget(lblKmANapon);
    left->addWidget(lblKmAHonapban);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(lblKmOra);
        row->addWidget(txtKmOraAllas);
        row->addWidget(lblZaroAllas);
        row->addStretch();
        left->addLayout(row);
    }
    {
        auto* row = new QHBoxLayout;
        row->addWidget(lblZaroKmOra);
        row->addWidget(txtZaroKmOra);
        row->addWidget(lblMagan);
        row->addStretch();
        left->addLayout(row);
    }
    left->addWidget(fraKoltseg);
    left->addWidget(fraHibak);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(lblPartnerek);
    right->addWidget(lstPartnerek, 3);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(fraTipus, 1);
        row->addWidget(cmdHozzaAd, 0, Qt::AlignBottom);
        right->addLayout(row);
    }
    right->addWidget(lblTavolsag);
    right->addWidget(lblKesz);
    right->addWidget(lstKesz, 2);
    {
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(cmdTorol);
        row->addWidget(cmdMindentTorol);
        right->addLayout(row);
    }
    right->addWidget(fraMasol);
    right->addWidget(lblComment);
    right->addWidget(txtComment);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdMent);
    buttons->addWidget(cmdNyomtat);
    buttons->addWidget(cmdKoltseg);
    buttons->addWidget(cmdRendelveny);
    buttons->addWidget(cmdAdatBazis);
    buttons->addSpacing(12);
    buttons->addWidget(lblAllapot);
    buttons->addStretch();
    buttons->addWidget(cmdSugo);
    buttons->addWidget(cmdVissza);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(buttons);

    hibaWindow = new frmHiba(this);
    tabOrder({picNaptar, cmdElozoNap, cmdKovetkezoNap, txtKmOraAllas, txtZaroKmOra, chkKlima, chkTeliUzem, chkHiba, lstPartnerek,
              optCsakOda, optOdaVissza, optACeghez, cmdHozzaAd, lstKesz, cmdTorol, cmdMindentTorol, txtHonnan, txtHova,
              optCsatol, optFelulIr, cmdMasol, txtComment, cmdMent, cmdNyomtat, cmdKoltseg, cmdRendelveny, cmdAdatBazis, cmdSugo,
              cmdVissza});
    resize(900, 640);
}

void frmSzerkeszto::wire() {
    connect(cmdKovetkezoNap, &QPushButton::clicked, this, [this] {
        trap(u"cmdKovetkezoNapClick"_s,
             [this] { showDay(nextDay(m_state.month.year, m_state.month.month, m_day)); });
    });
    connect(cmdElozoNap, &QPushButton::clicked, this, [this] {
        trap(u"cmdElozoNapClick"_s,
             [this] { showDay(previousDay(m_state.month.year, m_state.month.month, m_day)); });
    });
    connect(cmdMent, &QPushButton::clicked, this, [this] {
        trap(u"cmdMentClick"_s, [this] {
            if (!confirmDespiteSevereFaults(false))
                return;
            if (SaveLogbook(m_state))
                flashStatus(lblAllapot, u"Mentve: %1. %2"_s.arg(m_state.month.year)
                                            .arg(MonthNames()[size_t(m_state.month.month - 1)].toLower()));
        });
    });
    connect(cmdNyomtat, &QPushButton::clicked, this, [this] { trap(u"cmdNyomtatClick"_s, [this] { printClicked(); }); });
    connect(cmdKoltseg, &QPushButton::clicked, this, [this] { trap(u"cmdKoltsegClick"_s, [this] { costClicked(); }); });
    connect(cmdRendelveny, &QPushButton::clicked, this,
            [this] { trap(u"cmdRendelvenyClick"_s, [this] { travelOrderClicked(); }); });
    connect(cmdAdatBazis, &QPushButton::clicked, this,
            [this] { trap(u"cmdAdatBazisClick"_s, [this] { databaseClicked(); }); });
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, 50); });
    helpKey(this, 50);
    connect(cmdVissza, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    connect(cmdHozzaAd, &QPushButton::clicked, this,
            [this] { trap(u"cmdHozzaAdClick"_s, [this] { addSelectedPartner(); }); });
    connect(lstPartnerek, &QListWidget::itemDoubleClicked, this,
            [this] { trap(u"lstPartnerekDblClick"_s, [this] { addSelectedPartner(); }); });
    onListRowKeys(lstPartnerek, [this] { trap(u"lstPartnerekKeyPress"_s, [this] { addSelectedPartner(); }); });
    lstKesz->installEventFilter(this);
    connect(cmdTorol, &QPushButton::clicked, this,
            [this] { trap(u"cmdTorolClick"_s, [this] { deleteSelectedStop(); }); });
    connect(cmdMindentTorol, &QPushButton::clicked, this,
            [this] { trap(u"cmdMindentTorolClick"_s, [this] { deleteAllStops(); }); });
    connect(cmdMasol, &QPushButton::clicked, this, [this] { trap(u"cmdMasolClick"_s, [this] { copyBetweenDays(); }); });
    connect(txtHonnan, &QLineEdit::textChanged, this, [this] { dayFieldChanged(txtHonnan, m_lastHonnan); });
    connect(txtHova, &QLineEdit::textChanged, this, [this] { dayFieldChanged(txtHova, m_lastHova); });

    attachQuoteFilter(txtComment, m_state, commentQuoteMessage(), QuoteFilter::Typed::Silent);
    connect(txtComment, &QLineEdit::textChanged, this,
            [this] { trap(u"txtCommentChange"_s, [this] { commentChanged(); }); });

    auto* odometer = attachNumericFilter(txtKmOraAllas, [](const QString& t) { return odometerFromText(t).has_value(); });
    connect(odometer, &NumericFilter::accepted, this, [this](const QString& text) {
        const auto km = odometerFromText(text);
        if (!km || *km == m_state.month.startOdometer)
            return;
        m_state.month.startOdometer = *km;
        // A typed reading is part of the month: closing must not drop it unasked.
        if (!m_loading)
            m_state.month.modified = true;
        trap(u"txtKmOraAllasChange"_s, [this] {
            showClosingReading();
            validate();
        });
    });

    // The real reading at the month's end; empty: none. It replaces private km typed elsewhere.
    auto* closing = attachNumericFilter(txtZaroKmOra, [](const QString& t) {
        const auto km = odometerFromText(t);
        return km && *km >= 0 && *km <= kLargestOdometerReading;
    });
    connect(closing, &NumericFilter::accepted, this, [this](const QString& text) {
        const auto km = odometerFromText(text);
        if (!km || *km == m_state.month.closingReading)
            return;
        m_state.month.closingReading = *km;
        m_state.month.privateKm = 0;
        if (!m_loading)
            m_state.month.modified = true;
        trap(u"txtZaroKmOraChange"_s, [this] {
            showClosingReading();
            validate();
        });
    });

    auto hint = [this] {
        if (!m_loading)
            trap(u"lstPartnerekClick"_s, [this] { updateDistanceHint(); });
    };
    connect(lstPartnerek, &QListWidget::itemClicked, this, hint);
    connect(lstPartnerek, &QListWidget::currentRowChanged, this, hint);
    connect(lstKesz, &QListWidget::itemClicked, this, hint);
    connect(lstKesz, &QListWidget::currentRowChanged, this, hint);

    connect(chkKlima, &QCheckBox::clicked, this,
            [this] { trap(u"chkKlimaClick"_s, [this] { seasonClicked(chkKlima, chkTeliUzem); }); });
    connect(chkTeliUzem, &QCheckBox::clicked, this,
            [this] { trap(u"chkTeliUzemClick"_s, [this] { seasonClicked(chkTeliUzem, chkKlima); }); });

    connect(chkHiba, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            // Beside the editor, where it does not hide the trips.
            if (!hibaWindow->isVisible())
                hibaWindow->move(frameGeometry().topRight() + QPoint(4, 0));
            hibaWindow->show();
            hibaWindow->raise();
        } else {
            hibaWindow->hide();
        }
    });
    connect(hibaWindow, &frmHiba::closed, this, [this] { chkHiba->setChecked(false); });
}

bool frmSzerkeszto::trap(const QString& handler, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmSzerkeszto - "_s + handler + u':', fn);
}

float frmSzerkeszto::season() const {
    return seasonMultiplier(m_state, chkKlima->isChecked(), chkTeliUzem->isChecked());
}

void frmSzerkeszto::setMonthsStatus(const QString& text, int progress) {
    if (!m_monthsWindow)
        return;
    if (auto* label = m_monthsWindow->findChild<QLabel*>(u"lblStatusz"_s)) {
        label->setText(text);
        label->repaint();
    }
    if (progress >= 0)
        if (auto* bar = m_monthsWindow->findChild<QProgressBar*>(u"pgbStatusz"_s)) {
            bar->setValue(progress);
            bar->repaint();
        }
}

void frmSzerkeszto::open(bool newMonth) {
    trap(u"Form_Load"_s, [&] {
        MonthLog& log = m_state.month;
        setWindowTitle(mainCaption() + u" - Szerkesztő -"_s);
        setMonthsStatus(u"Adatbázis betöltése..."_s, -1);
        setMonthsStatus(u"Szerkesztő előkészítése..."_s, 50);
        fillPartners();

        m_day = 1;
        m_firstCell = firstCell(log.year, log.month);
        for (int i = 0; i < 7; ++i)
            lblNapokNeve[size_t(i)]->setText(DayAbbrev()[size_t(i)]);
        for (int cell = 1; cell <= kCalendarCells; ++cell) {
            QLabel* label = lblNapok[size_t(cell - 1)];
            const int day = dayOfCell(log.year, log.month, cell);
            label->setText(day ? QString::number(day) : QString());
            label->setToolTip(day ? dayCellTip(day) : blankCellTip());
            label->setCursor(day ? Qt::PointingHandCursor : Qt::ArrowCursor);
        }

        // Read once: the other months do not change while the editor is open.
        m_previous = previousReading(m_state, log.year, log.month);
        m_firstMonth = isFirstMonth(m_state, log.year, log.month);
        if (newMonth) {
            // The start reading is the one the months window chained on; everything else is blank.
            log.stopWidth = 0;
            log.stops.reset(1);
            log.dayKm.fill(0);
            for (QString& c : log.comments)
                c.clear();
            log.monthKm = 0;
            log.storedKm = -1;
            log.modified = false;
            log.fileName.clear();
            log.season = SeasonBox::None;
            log.privateKm = 0;
            log.closingReading = 0;
            txtKmOraAllas->setText(QString::number(log.startOdometer));
        } else {
            setMonthsStatus(u"Nyilvántartás ellenőrzése..."_s, -1);
            txtKmOraAllas->setText(QString::number(log.startOdometer));
        }
        txtZaroKmOra->setText(log.closingReading > 0 ? QString::number(log.closingReading) : QString());
        chkKlima->setChecked(log.season == SeasonBox::AirConditioning);
        chkTeliUzem->setChecked(log.season == SeasonBox::Winter);
        // A flat-norm car counts both boxes at 1: say why where they are ticked.
        const QString flat = m_state.carFacts.norm == NormKind::Flat ? flatNormStatementLine() : QString();
        chkKlima->setToolTip(flat);
        chkTeliUzem->setToolTip(flat);
        m_loading = true;
        txtHonnan->setText(u"1"_s);
        m_lastHonnan = u"1"_s;
        m_loading = false;
        showDay(1);
        paintCalendar();
        validate();
        recomputeCost();
        refreshKilometres(1);
        if (!newMonth)
            setMonthsStatus(u"Nyilvántartás ellenőrzése..."_s, 90);
        setMonthsStatus(u"Majdnem kész..."_s, 95);
        showReadOnly(this, m_state,
                     {u"cmdMent", u"cmdHozzaAd", u"cmdTorol", u"cmdMindentTorol", u"cmdMasol", u"txtKmOraAllas",
                      u"txtHonnan", u"txtHova", u"txtComment", u"chkKlima", u"chkTeliUzem"});
    });
}

void frmSzerkeszto::fillPartners() {
    m_loading = true;
    lstPartnerek->clear();
    for (int i = 1; i <= m_state.partnerCount(); ++i) {
        auto* item = new QListWidgetItem(PartnerLabel(m_state, i), lstPartnerek);
        item->setData(Qt::UserRole, i);
    }
    m_loading = false;
}

void frmSzerkeszto::fillDayList(int selected) {
    m_loading = true;
    lstKesz->clear();
    for (int p : dayStops(m_state.month, m_day))
        lstKesz->addItem(stopLabel(m_state, p));
    if (selected >= 0 && selected < lstKesz->count())
        lstKesz->setCurrentRow(selected);
    const bool any = lstKesz->count() > 0;
    cmdTorol->setEnabled(any);
    cmdMindentTorol->setEnabled(any);
    m_loading = false;
}

int frmSzerkeszto::selectedStopLine() const {
    const auto items = lstKesz->selectedItems();
    return items.isEmpty() ? -1 : lstKesz->row(items.first());
}

void frmSzerkeszto::showDay(int day) {
    const MonthLog& log = m_state.month;
    if (day < 1 || day > daysInMonth(log.year, log.month))
        return;
    const int oldDay = m_day;
    m_day = day;
    paintDay(oldDay);
    paintDay(day);
    m_loading = true;
    txtHonnan->setText(QString::number(day));
    m_lastHonnan = txtHonnan->text();
    lblDatum->setText(dateLabel(log.year, log.month, day));
    lblKmANapon->setText(dayKmText(log.dayKm[size_t(day - 1)]));
    txtComment->setText(log.comments[size_t(day - 1)]);
    m_loading = false;
    fillDayList(dayStopCount(log, day) - 1);
}

void frmSzerkeszto::paintDay(int day) {
    const MonthLog& log = m_state.month;
    const int cell = cellOfDay(log.year, log.month, day);
    if (day < 1 || day > daysInMonth(log.year, log.month) || cell < 1 || cell > kCalendarCells)
        return;
    paintCell(lblNapok[size_t(cell - 1)], day == m_day, isDayOff(log.year, log.month, day), dayStopCount(log, day) > 0);
}

void frmSzerkeszto::paintCalendar() {
    for (int cell = 1; cell <= kCalendarCells; ++cell) {
        const int day = dayOfCell(m_state.month.year, m_state.month.month, cell);
        if (day)
            paintDay(day);
        else
            paintCell(lblNapok[size_t(cell - 1)], false);
    }
}

void frmSzerkeszto::validate() {
    m_validation = validateMonth(m_state, m_state.month, m_previous, m_firstMonth);
    if (m_travelOrderChecked) {
        const QStringList faults =
            travelOrderFaults(m_state.month, computeTravelOrder(m_state, m_state.month, season()));
        m_validation.minor += int(faults.size());
        m_validation.lines += faults;
    }
    const ErrorFrame frame = errorFrame(m_validation);
    lblKisHiba->setText(frame.minorText);
    lblNagyHiba->setText(frame.severeText);
    m_picture = frame.picture;
    imgHiba->setPixmap(imlHiba[size_t(frame.picture)]);
    hibaWindow->setLines(m_validation.lines);
    // With nothing to list the details box goes off and takes the list window with it.
    if (!frame.detailsEnabled)
        chkHiba->setChecked(false);
    chkHiba->setEnabled(frame.detailsEnabled);
}

void frmSzerkeszto::recomputeCost() {
    const MonthCost cost = computeMonthCost(m_state, m_state.month, season());
    m_totalCost = cost.total;
    m_dayPrices = cost.dayPrices;
    // The month without a price is named, with where to add it, until it has one.
    QString caption = cost.missingPrice ? costCaption(cost.total) + u'\n' +
                                              missingPriceText(m_state.month.year, m_state.month.month)
                                        : costCaption(cost.total);
    if (const auto fault = monthPriceFault(m_state, m_state.month); fault && !cost.missingPrice)
        caption += u"\n"_s + fault->text();
    lblOsszKoltseg->setText(caption);
}

void frmSzerkeszto::refreshKilometres(int day) {
    const qint64 month = rv::refreshKilometres(m_state, m_state.month);
    if (day >= 1 && day <= kLogDays)
        lblKmANapon->setText(dayKmText(m_state.month.dayKm[size_t(day - 1)]));
    lblKmAHonapban->setText(monthKmText(month));
    showClosingReading();
}

void frmSzerkeszto::showClosingReading() {
    const MonthLog& log = m_state.month;
    const MonthReading reading = monthReading(log.year, log.month, log.startOdometer, log.monthKm, monthFactsOf(log));
    lblZaroAllas->setText(u"Záró: "_s + closingReadingText(reading));
    lblMagan->setText(u"Magánhasználat: %1 km, üzleti arány: %2"_s.arg(reading.privateKm)
                          .arg(businessShareText(log.monthKm, reading.privateKm)));
}

void frmSzerkeszto::afterStopChange(int selected) {
    fillDayList(selected);
    paintCalendar(); // a copy may have filled another day
    validate();
    recomputeCost();
    refreshKilometres(m_day);
}

void frmSzerkeszto::addSelectedPartner() {
    const auto items = lstPartnerek->selectedItems();
    if (items.isEmpty())
        return;
    const int partner = items.first()->data(Qt::UserRole).toInt();
    const TripType type = optOdaVissza->isChecked() ? TripType::ReturnTrip
                          : optACeghez->isChecked() ? TripType::BackToBase
                                                    : TripType::OneWay;
    const StopEdit edit = addPartner(m_state, m_state.month, m_day, selectedStopLine(), partner, type);
    lblTavolsag->setText(u"-"_s);
    if (edit.changed)
        afterStopChange(edit.selected);
}

void frmSzerkeszto::deleteSelectedStop() {
    const StopEdit edit = deleteStop(m_state.month, m_day, selectedStopLine());
    if (edit.changed)
        afterStopChange(edit.selected);
}

void frmSzerkeszto::deleteAllStops() {
    if (dayStopCount(m_state.month, m_day) == 0)
        return;
    if (!m_state.prompter || !askYesNo(*m_state.prompter, u"Biztos, hogy mindent töröl az adott napról?"_s))
        return;
    if (deleteDay(m_state.month, m_day))
        afterStopChange(-1);
}

void frmSzerkeszto::copyBetweenDays() {
    const auto days = copyDays(m_state.month, m_day, txtHonnan->text(), txtHova->text());
    if (!days)
        return;
    if (!copyDay(m_state.month, days->first, days->second, optCsatol->isChecked()))
        return;
    // The list follows the table when the current day was the target.
    const int selected = days->second == m_day ? dayStopCount(m_state.month, m_day) - 1 : selectedStopLine();
    afterStopChange(selected);
}

void frmSzerkeszto::dayFieldChanged(QLineEdit* edit, QString& lastAccepted) {
    if (m_busy)
        return;
    if (m_loading) {
        lastAccepted = edit->text();
        return;
    }
    const QString text = edit->text();
    const QString accepted =
        filterDayField(text, lastAccepted, daysInMonth(m_state.month.year, m_state.month.month));
    lastAccepted = accepted;
    if (accepted != text) {
        m_busy = true;
        edit->setText(accepted);
        m_busy = false;
    }
    if (!accepted.isEmpty())
        edit->setCursorPosition(int(accepted.size()));
}

void frmSzerkeszto::commentChanged() {
    if (m_loading)
        return;
    MonthLog& log = m_state.month;
    log.comments[size_t(m_day - 1)] = removeQuotes(txtComment->text()).trimmed();
    log.modified = true;
}

void frmSzerkeszto::seasonClicked(QCheckBox* clicked, QCheckBox* other) {
    if (clicked->isChecked())
        other->setChecked(false);
    const SeasonBox box = chkKlima->isChecked()     ? SeasonBox::AirConditioning
                          : chkTeliUzem->isChecked() ? SeasonBox::Winter
                                                     : SeasonBox::None;
    if (box != m_state.month.season) {
        // The box is kept with the month: the reprinted statement must match this one.
        m_state.month.season = box;
        m_state.month.modified = true;
    }
    recomputeCost();
}

void frmSzerkeszto::updateDistanceHint() {
    if (lstKesz->count() == 0) {
        lblTavolsag->setText(u"-"_s);
        return;
    }
    const auto partners = lstPartnerek->selectedItems();
    const int partner = partners.isEmpty() ? 0 : partners.first()->data(Qt::UserRole).toInt();
    const int line = selectedStopLine();
    const QVector<int> stops = dayStops(m_state.month, m_day);
    const int stop = (line >= 0 && line < stops.size()) ? stops.at(line) : 0;
    lblTavolsag->setText(distanceHint(m_state, partner, stop));
}

bool frmSzerkeszto::confirmDespiteSevereFaults(bool printing) {
    return m_validation.severe == 0 ||
           (m_state.prompter && askYesDefaultNo(*m_state.prompter, severeFaultQuestion(m_validation.severe, printing)));
}

void frmSzerkeszto::printClicked() {
    if (m_state.month.stopWidth >= 2) {
        if (!confirmDespiteSevereFaults(true))
            return;
        m_printMode = PrintMode::Logbook;
        openPreview(m_printMode, chkKlima->isChecked(), chkTeliUzem->isChecked());
    } else if (m_state.prompter) {
        m_state.prompter->ask(u"Nincs elég adat megadva a nyomtatáshoz."_s, Ok, MsgIcon::Exclamation);
    }
}

void frmSzerkeszto::travelOrderClicked() {
    if (m_state.fuelPrices.isEmpty() || m_state.month.stopWidth < 2) {
        costClicked(); // tells what is missing, as for the statement
        return;
    }
    // From now on the error list also names the trip days without a purpose.
    m_travelOrderChecked = true;
    validate();
    m_printMode = PrintMode::TravelOrder;
    openPreview(m_printMode, chkKlima->isChecked(), chkTeliUzem->isChecked());
}

void frmSzerkeszto::costClicked() {
    if (m_state.fuelPrices.isEmpty()) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Nincsenek benzinárak megadva.\r\n\r\n"_s +
                                      missingPriceText(m_state.month.year, m_state.month.month),
                                  Ok, MsgIcon::Exclamation);
    } else if (m_state.month.stopWidth < 2) {
        if (m_state.prompter)
            m_state.prompter->ask(u"Nincs elég út megadva a költségkimutatáshoz."_s, Ok, MsgIcon::Information);
    } else if (confirmDespiteSevereFaults(true)) {
        m_printMode = PrintMode::CostStatement;
        openPreview(m_printMode, chkKlima->isChecked(), chkTeliUzem->isChecked());
    }
}

void frmSzerkeszto::databaseClicked() {
    hide();
    m_beforeDatabase = serializeLogbook(m_state, m_state.month);
    openDatabase();
    refreshAfterDatabase();
}

void frmSzerkeszto::refreshAfterDatabase() {
    show();
    if (m_state.mainWindowTag == kExit) {
        m_state.month.modified = false;
        close();
        return;
    }
    fillPartners();
    lblTavolsag->setText(u"-"_s);
    fillDayList(dayStopCount(m_state.month, m_day) - 1);
    validate();
    recomputeCost();
    refreshKilometres(m_day);
    paintCalendar();
    // Modified only when what would be saved changed: a stop's partner texts, a removed stop,
    // the month's kilometres through a distance.
    if (serializeLogbook(m_state, m_state.month) != m_beforeDatabase)
        m_state.month.modified = true;
    m_beforeDatabase.clear();
    if (chkHiba->isChecked())
        hibaWindow->show();
}

void frmSzerkeszto::closeEvent(QCloseEvent* event) {
    bool closing = true;
    trap(u"Form_QueryUnload"_s, [&] {
        MonthLog& log = m_state.month;
        if (m_state.mainWindowTag == kExit || !log.modified || !m_state.prompter)
            return;
        const MsgButton answer = m_state.prompter->ask(u"Kívánja menteni az eddig bevitt adatokat?"_s,
                                                       Yes | No | Cancel, MsgIcon::Question);
        if (answer == Cancel) {
            closing = false;
        } else if (bool keptOther = false; answer == Yes && !SaveLogbook(m_state, &keptOther) && !keptOther &&
                                               log.stopWidth != 0) {
            // The write failed and was reported: the month stays open so nothing is lost.
            closing = false;
        }
    });
    if (!closing) {
        event->ignore();
        return;
    }
    trap(u"Form_Unload"_s, [this] {
        if (chkHiba->isChecked())
            hibaWindow->close();
        hibaWindow->hide();
        // When the program itself is closing there is nothing to go back to.
        if (m_state.mainWindowTag == kExit && mainWindow() && mainWindow()->isVisible())
            return;
        returnToMonths();
    });
    event->accept();
}

void frmSzerkeszto::returnToMonths() {
    if (m_monthsWindow) {
        m_monthsWindow->show();
        m_monthsWindow->raise();
        m_monthsWindow->activateWindow();
        return;
    }
    showMonthsWindow(m_state, mainWindow());
}

QWidget* frmSzerkeszto::mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"frmMain"_s)
            return w;
    return nullptr;
}

bool frmSzerkeszto::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const QVariant cell = watched->property(kCellProperty);
        if (cell.isValid() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            const int day = dayOfCell(m_state.month.year, m_state.month.month, cell.toInt());
            if (day)
                trap(u"lblNapokClick"_s, [this, day] { showDay(day); });
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && watched == picNaptar) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : key == Qt::Key_Up ? -7 : key == Qt::Key_Down ? 7 : 0;
        if (step) {
            const int day = m_day + step;
            if (day >= 1 && day <= daysInMonth(m_state.month.year, m_state.month.month))
                trap(u"picNaptarKeyDown"_s, [this, day] { showDay(day); });
            return true;
        }
    } else if (event->type() == QEvent::FocusIn && watched == picNaptar) {
        picNaptar->setBackgroundRole(QPalette::Highlight); // shows where the keys go
    } else if (event->type() == QEvent::FocusOut && watched == picNaptar) {
        picNaptar->setBackgroundRole(QPalette::Window);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == lstKesz && key == Qt::Key_Delete && cmdTorol->isEnabled()) {
            trap(u"lstKeszKeyPress"_s, [this] { deleteSelectedStop(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rv
