#pragma once

#include "database/navnotice.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace rv {

struct AppState;
class PathLabel;
class frmUjUser;

// The window the user works from: the car list, login, and the menus to every other window.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);

    QString caption() const;
    // Refills the list; selectIndex: the car to select (1-based), 0 for the first row, -1 none.
    void fillUsers(int selectIndex = 0);
    // The car of the selected row (its item data), 0 when none.
    int selectedCar() const;

    // The car dialog, loaded once and kept hidden between uses.
    frmUjUser* carDialog();

    // Names the demo data directory the program works on in the status bar.
    void showDemoDirectory(const QString& dir);

    // The bar of NAV prices missing, with the two ways to get them; hidden when none is missing.
    void setStartupNotice(const NavNotice& notice);

    void login();
    void newCar();
    void modifyCar();
    void deleteCar();

    QListWidget* lstUsers;
    QLabel* lblGKTip;
    QLabel* lblRendSzam;
    QLabel* lblFogyasztas;
    QLabel* lblAltKoltseg;
    QLabel* lblBenzin;
    QLabel* lblCegNev;
    QLabel* lblCegCim;
    QPushButton* cmdLogin;
    QPushButton* cmdUjUser;
    QPushButton* cmdModosit;
    QPushButton* cmdTorol;
    // The first start's welcome, shown while there is no car, and the next step after login.
    QWidget* pnlElsoLepesek;
    QPushButton* cmdElsoGepkocsi;
    QPushButton* cmdElsoBemutato;
    QPushButton* cmdElsoSugo;
    QLabel* lblKovetkezoLepes;
    // The start-up's bar of missing NAV prices: it stays until closed or the prices come.
    QFrame* pnlNavErtesites;
    QLabel* lblNavErtesites;
    QPushButton* cmdNavBeillesztes;
    QPushButton* cmdNavLetoltes;
    QPushButton* cmdNavBezar;
    // Starts the program on its demo data beside this one; false when it could not be started.
    // Tests put their own here.
    std::function<bool()> startDemo;
    // The table file for "Üzemanyagárak frissítése..."; empty when cancelled. Tests put their own here.
    std::function<QString()> choosePriceTable;
    // The table file for "Munkarend importálása..."; empty when cancelled. Tests put their own here.
    std::function<QString()> chooseWorkdayTable;
    // The two panels of StatusBar.
    QLabel* StatusBarPanel1;
    QLabel* StatusBarPanel2;
    PathLabel* lblBemutato; // shown only on the demo data
    QAction* mnuNyilvantartasok;
    QAction* mnuAdatMain;
    QAction* mnuSzorzok;
    QAction* mnuSetup;
    QAction* mnuUzemanyagarak;
    QAction* mnuNavBeillesztes;
    QAction* mnuNavLetoltes;
    QAction* mnuMunkarend;
    QAction* mnuSegitseg;
    QAction* mnuKereses;
    QAction* mnuNevjegy;
    QAction* mnuKilep;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshNavNotice();
    void buildMenus();
    void showDetails();
    void clearDetails();
    void showWelcome();
    void setLoggedIn(bool on);
    void refreshPartnerCount();
    void carSaved(int index);
    void trapped(const QString& handler, const std::function<void()>& fn);

    AppState& m_state;
    frmUjUser* m_carDialog = nullptr;
};

} // namespace rv
