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
#include "model/logbookfile.h"
#include "editor/tripentry.h"
#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/filters.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

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
    helpKey(this, 50, cmdSugo);
    connect(cmdVissza, &QPushButton::clicked, this, &QWidget::close);
    closeKeys(this, cmdVissza);
    buttonKeys(this, cmdMent, {QKeySequence(u"Ctrl+S"_s)});
    buttonKeys(this, cmdNyomtat, {QKeySequence(u"Ctrl+P"_s)});

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
            txtKmOraAllas->setText(groupedDigits(log.startOdometer));
        } else {
            setMonthsStatus(u"Nyilvántartás ellenőrzése..."_s, -1);
            txtKmOraAllas->setText(groupedDigits(log.startOdometer));
        }
        txtZaroKmOra->setText(log.closingReading > 0 ? groupedDigits(log.closingReading) : QString());
        chkKlima->setChecked(log.season == SeasonBox::AirConditioning);
        chkTeliUzem->setChecked(log.season == SeasonBox::Winter);
        // A flat-norm car counts both boxes at 1: say why where they are ticked.
        const int fuel = m_state.currentCar >= 1 && m_state.currentCar <= m_state.carCount()
                             ? m_state.car(m_state.currentCar).fuelType - 1
                             : 0;
        const QString flat = m_state.carFacts.norm == NormKind::Flat ? flatNormStatementLine(normFuelOf(fuel)) : QString();
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
                      u"txtZaroKmOra", u"txtHonnan", u"txtHova", u"optCsatol", u"optFelulIr", u"optCsakOda",
                      u"optOdaVissza", u"optACeghez", u"txtComment", u"chkKlima", u"chkTeliUzem"});
    });
}

void frmSzerkeszto::validate() {
    m_validation = validateMonth(m_state, m_state.month, m_previous, m_firstMonth);
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

} // namespace rv
