#include "frmMain.h"

#include "frmAbout.h"
#include "frmSetup.h"
#include "frmSzorzok.h"
#include "frmUjUser.h"
#include "database/gui/navpricewindows.h"
#include "database/publishedprices.h"
#include "startup/carops.h"
#include "model/reckoning.h"
#include "model/workcalendar.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "storage/locks.h"
#include "storage/settings.h"
#include "model/state.h"
#include "ui/errortrap.h"
#include "ui/gui/helpwindow.h"
#include "ui/gui/listkeys.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QPalette>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmMain::frmMain(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(u"frmMain"_s);
    setWindowTitle(caption());
    // The other computers of a shared folder see the car's lock renewed, so never stale.
    auto* renewLock = new QTimer(this);
    connect(renewLock, &QTimer::timeout, this, [this] {
        if (!m_state.carLock || m_state.carLock->lost() || m_state.carLock->renew() || !m_state.carLock->lost())
            return;
        // Told once, when found; from then on every write of the car is refused by its gate.
        if (m_state.prompter)
            m_state.prompter->inform(m_state.carGate().check().message(), MsgIcon::Exclamation);
    });
    renewLock->start(kLockRenewSeconds * 1000);
    auto* central = new QWidget(this);

    lstUsers = new QListWidget(central);
    lstUsers->setObjectName(u"lstUsers"_s);
    lstUsers->installEventFilter(this);
    auto* lblUsers = new QLabel(u"&Gépkocsik:"_s, central);
    lblUsers->setBuddy(lstUsers);

    auto* details = new QGroupBox(u"A gépkocsi adatai"_s, central);
    auto* form = new QFormLayout(details);
    auto value = [&](const QString& name, const QString& caption) {
        auto* l = new QLabel(details);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumWidth(200);
        form->addRow(caption, l);
        return l;
    };
    lblGKTip = value(u"lblGKTip"_s, u"Típus:"_s);
    lblRendSzam = value(u"lblRendSzam"_s, u"Rendszám:"_s);
    lblFogyasztas = value(u"lblFogyasztas"_s, u"Fogyasztás:"_s);
    lblAltKoltseg = value(u"lblAltKoltseg"_s, u"Általános költség (Ft/km):"_s);
    lblBenzin = value(u"lblBenzin"_s, u"Üzemanyag:"_s);
    lblCegNev = value(u"lblCegNev"_s, u"Cégnév:"_s);
    lblCegCim = value(u"lblCegCim"_s, u"Cím:"_s);

    cmdLogin = namedButton(central, u"cmdLogin"_s, u"&Bejelentkezés"_s);
    cmdUjUser = namedButton(central, u"cmdUjUser"_s, u"Ú&j gépkocsi..."_s);
    cmdModosit = namedButton(central, u"cmdModosit"_s, u"&Módosítás..."_s);
    cmdTorol = namedButton(central, u"cmdTorol"_s, u"&Törlés"_s);
    cmdLogin->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdLogin);
    buttons->addStretch();
    buttons->addWidget(cmdUjUser);
    buttons->addWidget(cmdModosit);
    buttons->addWidget(cmdTorol);

    // What a first start offers: there is no car yet, so nothing else in the window can act.
    pnlElsoLepesek = new QGroupBox(u"Üdvözöljük! Még nincs felvett gépkocsi. Hogyan kezdi?"_s, central);
    pnlElsoLepesek->setObjectName(u"pnlElsoLepesek"_s);
    cmdElsoGepkocsi = namedButton(pnlElsoLepesek, u"cmdElsoGepkocsi"_s, u"Új gépkocsi fel&vétele"_s);
    cmdElsoBemutato = namedButton(pnlElsoLepesek, u"cmdElsoBemutato"_s, u"&Kipróbálás a bemutató adatokkal"_s);
    cmdElsoSugo = namedButton(pnlElsoLepesek, u"cmdElsoSugo"_s, u"Első &lépések (súgó)"_s);
    cmdElsoGepkocsi->setToolTip(u"A saját gépkocsi adatai: ezután jöhetnek a partnerek és a hónapok."_s);
    cmdElsoBemutato->setToolTip(u"Egy külön ablak kész bemutató adatokkal; a saját adatait nem érinti."_s);
    cmdElsoSugo->setToolTip(u"Az első havi útnyilvántartás lépésről lépésre."_s);
    auto* welcome = new QVBoxLayout(pnlElsoLepesek);
    for (QPushButton* b : {cmdElsoGepkocsi, cmdElsoBemutato, cmdElsoSugo}) {
        auto* row = new QHBoxLayout;
        row->addWidget(b);
        row->addStretch();
        welcome->addLayout(row);
    }
    lblKovetkezoLepes = new QLabel(u"Nyisson meg egy hónapot: Fájl ▸ Nyilvántartások…"_s, central);
    lblKovetkezoLepes->setObjectName(u"lblKovetkezoLepes"_s);
    lblKovetkezoLepes->setVisible(false);

    pnlNavErtesites = new QFrame(central);
    pnlNavErtesites->setObjectName(u"pnlNavErtesites"_s);
    pnlNavErtesites->setFrameShape(QFrame::StyledPanel);
    pnlNavErtesites->setAutoFillBackground(true);
    QPalette notice = pnlNavErtesites->palette();
    notice.setColor(QPalette::Window, QColor(255, 244, 206));
    notice.setColor(QPalette::WindowText, Qt::black);
    pnlNavErtesites->setPalette(notice);
    lblNavErtesites = new QLabel(pnlNavErtesites);
    lblNavErtesites->setObjectName(u"lblNavErtesites"_s);
    lblNavErtesites->setWordWrap(true);
    cmdNavBeillesztes = namedButton(pnlNavErtesites, u"cmdNavBeillesztes"_s, u"Beillesztés…"_s);
    cmdNavLetoltes = namedButton(pnlNavErtesites, u"cmdNavLetoltes"_s, u"Letöltés…"_s);
    cmdNavBezar = namedButton(pnlNavErtesites, u"cmdNavBezar"_s, u"Bezárás"_s);
    cmdNavBeillesztes->setToolTip(u"A NAV honlapjáról kimásolt ártáblázat beillesztése."_s);
    cmdNavLetoltes->setToolTip(u"Az árak letöltése a NAV honlapjáról."_s);
    auto* noticeRow = new QHBoxLayout(pnlNavErtesites);
    noticeRow->addWidget(lblNavErtesites, 1);
    noticeRow->addWidget(cmdNavBeillesztes);
    noticeRow->addWidget(cmdNavLetoltes);
    noticeRow->addWidget(cmdNavBezar);
    pnlNavErtesites->setVisible(false);

    auto* left = new QVBoxLayout;
    left->addWidget(lblUsers);
    left->addWidget(lstUsers);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addWidget(details, 3);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(pnlNavErtesites);
    layout->addWidget(pnlElsoLepesek);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(lblKovetkezoLepes);
    setCentralWidget(central);

    QStatusBar* bar = statusBar();
    bar->setObjectName(u"StatusBar"_s);
    bar->setSizeGripEnabled(false);
    StatusBarPanel1 = new QLabel(bar);
    StatusBarPanel1->setObjectName(u"StatusBarPanel1"_s);
    StatusBarPanel2 = new QLabel(bar);
    StatusBarPanel2->setObjectName(u"StatusBarPanel2"_s);
    bar->addWidget(StatusBarPanel1, 1);
    bar->addWidget(StatusBarPanel2, 1);
    lblBemutato = new PathLabel(bar);
    lblBemutato->setObjectName(u"lblBemutato"_s);
    lblBemutato->setVisible(false);
    bar->addPermanentWidget(lblBemutato);

    buildMenus();
    setLoggedIn(false);
    chooseWorkdayTable = [this] {
        return QFileDialog::getOpenFileName(this, u"Munkarend importálása"_s, QString(),
                                            u"Munkarend táblázata (*.tsv *.txt);;Minden fájl (*)"_s);
    };
    choosePriceTable = [this] {
        return QFileDialog::getOpenFileName(this, u"Üzemanyagárak frissítése"_s, QString(),
                                            u"NAV-ártáblázat (*.tsv *.csv *.txt);;Minden fájl (*)"_s);
    };

    connect(lstUsers, &QListWidget::currentRowChanged, this, [this] { showDetails(); });
    connect(lstUsers, &QListWidget::itemDoubleClicked, this, [this] { login(); });
    // Enter does what the default button shows: it logs the highlighted car in.
    onListRowKeys(lstUsers, [this] { login(); });
    connect(cmdLogin, &QPushButton::clicked, this, [this] { login(); });
    connect(cmdUjUser, &QPushButton::clicked, this, [this] { newCar(); });
    connect(cmdModosit, &QPushButton::clicked, this, [this] { modifyCar(); });
    connect(cmdTorol, &QPushButton::clicked, this, [this] { deleteCar(); });
    startDemo = [] { return QProcess::startDetached(QCoreApplication::applicationFilePath(), {u"--demo"_s}); };
    connect(cmdElsoGepkocsi, &QPushButton::clicked, this, [this] { newCar(); });
    connect(cmdElsoBemutato, &QPushButton::clicked, this, [this] {
        if (!startDemo() && m_state.prompter)
            m_state.prompter->inform(u"A bemutató nem indítható el. Próbálja a menü „Kipróbálás bemutató "
                                     u"adatokkal” bejegyzésével, vagy a rovanta --demo paranccsal."_s,
                                     MsgIcon::Exclamation);
    });
    connect(cmdElsoSugo, &QPushButton::clicked, this, [this] { showHelp(this, 11); });

    fillUsers();
    resize(680, 420);
}

void frmMain::showDemoDirectory(const QString& dir) {
    lblBemutato->setPath(u"Bemutató adatok: "_s, QDir::toNativeSeparators(dir));
    lblBemutato->setVisible(true);
}

void frmMain::buildMenus() {
    auto action = [this](const QString& name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        return a;
    };
    mnuNyilvantartasok = action(u"mnuNyilvantartasok"_s, u"&Nyilvántartások..."_s);
    mnuNyilvantartasok->setShortcut(QKeySequence(u"Ctrl+N"_s));
    mnuAdatMain = action(u"mnuAdatMain"_s, u"&Adatbázis..."_s);
    mnuAdatMain->setShortcut(QKeySequence(u"Ctrl+D"_s));
    mnuKilep = action(u"mnuKilep"_s, u"&Kilépés"_s);
    mnuKilep->setShortcut(QKeySequence(u"Ctrl+Q"_s));
    mnuSzorzok = action(u"mnuSzorzok"_s, u"&Szorzók..."_s);
    mnuSetup = action(u"mnuSetup"_s, u"&Beállítások..."_s);
    mnuUzemanyagarak = action(u"mnuUzemanyagarak"_s, u"Üzemanyagárak &frissítése..."_s);
    mnuNavBeillesztes = action(u"mnuNavBeillesztes"_s, u"NAV-árak &beillesztése..."_s);
    mnuNavLetoltes = action(u"mnuNavLetoltes"_s, u"&Letöltés a NAV honlapjáról..."_s);
    mnuMunkarend = action(u"mnuMunkarend"_s, u"&Munkarend importálása..."_s);
    mnuSegitseg = action(u"mnuSegitseg"_s, u"&Segítség"_s);
    mnuSegitseg->setShortcut(QKeySequence::HelpContents);
    mnuKereses = action(u"mnuKereses"_s, u"&Keresés a súgóban..."_s);
    mnuNevjegy = action(u"mnuNevjegy"_s, u"&Névjegy..."_s);

    QMenu* file = menuBar()->addMenu(u"&Fájl"_s);
    file->addAction(mnuNyilvantartasok);
    file->addAction(mnuAdatMain);
    file->addSeparator();
    file->addAction(mnuKilep);
    QMenu* options = menuBar()->addMenu(u"&Eszközök"_s);
    options->addAction(mnuSzorzok);
    options->addAction(mnuSetup);
    options->addAction(mnuUzemanyagarak);
    options->addAction(mnuNavBeillesztes);
    options->addAction(mnuNavLetoltes);
    options->addAction(mnuMunkarend);
    QMenu* help = menuBar()->addMenu(u"&Súgó"_s);
    help->addAction(mnuSegitseg);
    help->addAction(mnuKereses);
    help->addSeparator();
    help->addAction(mnuNevjegy);

    connect(mnuNyilvantartasok, &QAction::triggered, this, [this] {
        trapped(u"mnuNyilvantartasok_Click"_s, [this] {
            if (m_state.currentCar >= 1)
                showMonthsWindow(m_state, this);
        });
    });
    connect(mnuAdatMain, &QAction::triggered, this, [this] {
        trapped(u"mnuAdatMain_Click"_s, [this] {
            if (m_state.currentCar < 1)
                return;
            showDatabaseWindow(m_state, DatabaseMode::Main, this);
            refreshPartnerCount();
        });
    });
    connect(mnuSzorzok, &QAction::triggered, this, [this] {
        trapped(u"mnuSzorzok_Click"_s, [this] {
            auto* dialog = new frmSzorzok(m_state, caption(), this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        });
    });
    connect(mnuSetup, &QAction::triggered, this, [this] {
        trapped(u"mnuSetup_Click"_s, [this] {
            auto* dialog = new frmSetup(m_state, caption(), this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        });
    });
    connect(mnuMunkarend, &QAction::triggered, this, [this] {
        trapped(u"mnuMunkarend_Click"_s, [this] {
            const QString file = chooseWorkdayTable();
            if (file.isEmpty())
                return;
            QByteArray data;
            int count = 0;
            Result r = readWholeFile(file, data);
            if (r)
                r = importSwappedDays(m_state.programDir, data, QDir::toNativeSeparators(file), &count);
            m_state.prompter->inform(r ? u"%1 nap került a munkarendbe; a naptár és a minta ezután ezekkel "
                                         u"számol."_s.arg(count)
                                       : r.message(),
                                     r ? MsgIcon::Information : MsgIcon::Exclamation);
        });
    });
    connect(mnuUzemanyagarak, &QAction::triggered, this, [this] {
        trapped(u"mnuUzemanyagarak_Click"_s, [this] {
            const QString file = choosePriceTable();
            if (!file.isEmpty())
                importPublishedPrices(m_state, file);
        });
    });
    connect(mnuNavBeillesztes, &QAction::triggered, this, [this] {
        trapped(u"mnuNavBeillesztes_Click"_s, [this] {
            auto* dialog = new frmNavBeillesztes(m_state, this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            // Its import runs as it closes; the bar is looked at once it is gone.
            connect(dialog, &QObject::destroyed, this, &frmMain::refreshNavNotice);
            dialog->open();
        });
    });
    connect(mnuNavLetoltes, &QAction::triggered, this, [this] {
        trapped(u"mnuNavLetoltes_Click"_s, [this] {
            downloadNavPrices(m_state, this);
            refreshNavNotice();
        });
    });
    connect(cmdNavBeillesztes, &QPushButton::clicked, mnuNavBeillesztes, &QAction::trigger);
    connect(cmdNavLetoltes, &QPushButton::clicked, mnuNavLetoltes, &QAction::trigger);
    connect(cmdNavBezar, &QPushButton::clicked, pnlNavErtesites, &QWidget::hide);
    connect(mnuNevjegy, &QAction::triggered, this, [this] {
        auto* dialog = new frmAbout(caption(), this);
        dialog->prompter = m_state.prompter;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    connect(mnuSegitseg, &QAction::triggered, this, [this] { showHelp(this, 10); });
    connect(mnuKereses, &QAction::triggered, this, [this] { showHelpSearch(this); });
    connect(mnuKilep, &QAction::triggered, this, &QWidget::close);
}

QString frmMain::caption() const { return kAppTitle + u' ' + versionText(); }

void frmMain::trapped(const QString& handler, const std::function<void()>& fn) {
    runTrapped(m_state, u"frmMain - "_s + handler + u':', fn);
}

void frmMain::fillUsers(int selectIndex) {
    QSignalBlocker block(lstUsers);
    lstUsers->clear();
    int row = -1;
    for (int i = 1; i <= m_state.carCount(); ++i) {
        auto* item = new QListWidgetItem(m_state.car(i).userName, lstUsers);
        item->setData(Qt::UserRole, i);
        if (i == selectIndex)
            row = i - 1;
    }
    if (selectIndex == 0 && lstUsers->count() > 0)
        row = 0;
    lstUsers->setCurrentRow(row);
    showDetails();
    showWelcome();
}

void frmMain::showWelcome() {
    const bool first = m_state.carCount() == 0;
    pnlElsoLepesek->setVisible(first);
    if (first && isVisible())
        cmdElsoGepkocsi->setFocus();
}

int frmMain::selectedCar() const {
    QListWidgetItem* item = lstUsers->currentItem();
    if (!item || !item->isSelected())
        return 0;
    const int index = item->data(Qt::UserRole).toInt();
    return index >= 1 && index <= m_state.carCount() ? index : 0;
}

void frmMain::showDetails() {
    const int index = selectedCar();
    if (index == 0) {
        clearDetails();
        return;
    }
    const CarRecord& car = m_state.car(index);
    lblGKTip->setText(car.carType);
    lblRendSzam->setText(car.plateNumber);
    lblFogyasztas->setText(singleText(car.consumption) + u' ' + measureUnit(fuelMeasure(car.fuelType - 1)) +
                           u"/100 km"_s);
    lblAltKoltseg->setText(singleText(car.generalCost));
    lblBenzin->setText(fuelTypeName(car.fuelType - 1));
    lblCegNev->setText(car.companyName);
    QString address = car.city;
    if (!IsBlank(car.companyAddress))
        address += u", "_s + car.companyAddress;
    lblCegCim->setText(address);
}

void frmMain::clearDetails() {
    for (QLabel* l : {lblGKTip, lblRendSzam, lblFogyasztas, lblAltKoltseg, lblBenzin, lblCegNev, lblCegCim})
        l->clear();
}

void frmMain::refreshPartnerCount() {
    if (m_state.currentCar >= 1)
        StatusBarPanel2->setText(QString::number(m_state.partnerCount() - 1) + u" partner az adatbázisban."_s);
}

// Partners may have been added or deleted in a window opened meanwhile (the editor's database
// window too); the count must not stay the one of the login.
void frmMain::showEvent(QShowEvent* event) {
    refreshPartnerCount();
    if (m_state.carCount() == 0)
        cmdElsoGepkocsi->setFocus();
    QMainWindow::showEvent(event);
}

void frmMain::setStartupNotice(const NavNotice& notice) {
    lblNavErtesites->setText(notice.text);
    pnlNavErtesites->setVisible(notice.due());
}

// Prices pasted or downloaded from the bar, or from the menu, may have filled the gap.
void frmMain::refreshNavNotice() {
    if (!pnlNavErtesites->isVisible())
        return;
    setStartupNotice(navMissingNotice(m_state, QDate::currentDate()));
}

void frmMain::setLoggedIn(bool on) {
    mnuNyilvantartasok->setEnabled(on);
    mnuAdatMain->setEnabled(on);
    if (on) {
        StatusBarPanel1->setText(u"Aktuális felhasználó: "_s + m_state.car(m_state.currentCar).userName +
                                 (m_state.readOnly() ? u" – Csak olvasható: "_s + m_state.readOnlyBy : QString()));
        refreshPartnerCount();
        lblKovetkezoLepes->setVisible(true);
    } else {
        lblKovetkezoLepes->setVisible(false);
        StatusBarPanel1->clear();
        StatusBarPanel2->clear();
    }
}

void frmMain::login() {
    trapped(u"cmdLogin_Click"_s, [this] {
        const int index = selectedCar();
        if (index == 0)
            return;
        Result r = Result::success();
        {
            BusyWindow busy(this);
            m_state.errorLocation = u"frmMain - LoginBegin"_s;
            r = loginCar(m_state, index);
        }
        if (!r) {
            // No message: the user chose not to open a car another computer edits.
            if (m_state.prompter && !r.message().isEmpty())
                m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
            return;
        }
        setLoggedIn(true);
    });
}

frmUjUser* frmMain::carDialog() {
    if (!m_carDialog) {
        m_carDialog = new frmUjUser(m_state, this);
        connect(m_carDialog, &frmUjUser::carSaved, this, &frmMain::carSaved);
    }
    return m_carDialog;
}

void frmMain::newCar() {
    trapped(u"cmdUjUser_Click"_s, [this] {
        frmUjUser* dialog = carDialog();
        dialog->prepareNew(caption());
        dialog->open();
    });
}

void frmMain::modifyCar() {
    trapped(u"cmdModosit_Click"_s, [this] {
        const int index = selectedCar();
        if (index == 0)
            return;
        frmUjUser* dialog = carDialog();
        dialog->prepareModify(index, caption());
        dialog->open();
    });
}

void frmMain::carSaved(int index) {
    fillUsers(index);
    if (index == m_state.currentCar)
        StatusBarPanel1->setText(u"Aktuális felhasználó: "_s + m_state.car(index).userName);
}

void frmMain::deleteCar() {
    trapped(u"cmdTorol_Click"_s, [this] {
        const int index = selectedCar();
        if (index == 0)
            return;
        const DeleteOutcome out = rv::deleteCar(m_state, index);
        if (!out.removed)
            return;
        fillUsers(-1);
        clearDetails();
        if (out.wasLoggedIn)
            setLoggedIn(false);
    });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstUsers && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Delete: deleteCar(); return true;
        case Qt::Key_Insert: newCar(); return true;
        default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    bool close = true;
    trapped(u"Form_QueryUnload"_s, [&] {
        if (m_state.settings && m_state.settings->confirmExit() && m_state.prompter &&
            !askYesNo(*m_state.prompter, u"Biztos, hogy kilép?"_s)) {
            close = false;
            return;
        }
        // Windows that ask before closing (the editor) close at once from now on.
        m_state.mainWindowTag = u"exit"_s;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible())
                w->close();
    });
    if (close)
        event->accept();
    else
        event->ignore();
}

} // namespace rv
