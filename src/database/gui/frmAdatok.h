#pragma once

#include "storage/result.h"
#include "storage/state.h"
#include "ui/gui/navigation.h"

#include <QDate>
#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace rv {

class frmInput;

// The database window of the logged-in car: partners, distances, fuel prices, import and the
// deletion of the whole partner database, one page each.
class frmAdatok : public QDialog {
    Q_OBJECT
public:
    frmAdatok(AppState& state, DatabaseMode mode, QWidget* parent = nullptr);
    ~frmAdatok() override;

    // "main" or "szerk"; "start" while the distance combos are filled.
    QString tag;
    // "N" before the partner dialog is shown, "I" once it accepted its input.
    QString resultFlag;
    DatabaseMode mode() const { return m_mode; }
    QString caption() const;

    // How the partner dialog is run (modal by default; tests fill it and press its buttons).
    std::function<void(frmInput&)> runInput;
    // How a changed partner is offered to the stored logbooks.
    std::function<void(const Partner& oldTexts, const Partner& newTexts)> openPartnerChange;

    QTabWidget* tabAdatok;
    QWidget* picPartner;
    QWidget* picTavolsag;
    QWidget* picBenzin;
    QWidget* picImport;
    QWidget* picTorles;

    // Partners.
    QListWidget* lstPartnerek;
    QLabel* lblCim;
    QLabel* lblPartnerekSzama;
    QPushButton* cmdUj;
    QPushButton* cmdModosit;
    QPushButton* cmdTorol;

    // Distances.
    QComboBox* cboHonnan;
    QComboBox* cboHova;
    QLabel* lblTavolsaguk;
    QLineEdit* txtTav;
    QLabel* lblKM;
    QComboBox* cboSzorzo;
    QPushButton* cmdMentes;
    QPushButton* cmdMegsem;

    // Fuel prices.
    QLineEdit* txtEv;
    QPushButton* cmdPlusz;
    QPushButton* cmdMinusz;
    QComboBox* cboHonapok;
    QComboBox* cboNapok;
    QLineEdit* txtAr;
    QPushButton* cmdBenzinMent;
    QPushButton* cmdBenzinMegsem;
    QPushButton* cmdAPEH;
    QPushButton* cmdMindentTorol;
    QListWidget* lstArak; // every price of the car, by date; choosing one shows its day

    // Import.
    QListWidget* lstUsers;
    QRadioButton* optPartner;
    QRadioButton* optBenzin;
    QPushButton* cmdImport;

    // Deleting the whole database.
    QPushButton* cmdAdatTorles;

    QPushButton* cmdSugo;
    QPushButton* cmdBezar;

    // Partner page.
    int selectedPartner() const;
    void fillPartnerList();
    void cmdUjClick();
    void cmdModositClick();
    void cmdTorolClick();
    void cmdAdatTorlesClick();

    // Distance page.
    void FillTavCombo();
    void TavCboClick();
    void txtTavLostFocus();
    void cboSzorzoClick();
    void cmdMentesClick();
    void cmdMegsemClick();
    bool distancesPending() const { return m_distancesDirty; }

    // Fuel price page.
    QDate selectedDate() const;
    void cboHonapokClick();
    void GetFuelPrice();
    void txtArLostFocus();
    void cmdBenzinMentClick();
    void cmdBenzinMegsemClick();
    void cmdAPEHClick();
    void cmdMindentTorolClick();
    bool pricesPending() const { return m_pricesDirty; }

    // Import page.
    void fillUsers();
    void cmdImportClick();

    // The closing questions; false keeps the window open.
    bool queryClose();
    void reject() override;

private:
    void buildPartnerPage();
    void buildDistancePage();
    void buildPricePage();
    void buildImportPage();
    void buildDeletePage();
    void refreshCount();
    void selectPartner(int index);
    void partnersChanged();
    void yearStep(int delta);
    void refreshPriceList();
    void showDate(const QDate& date);
    void refillDays();
    bool trap(const QString& location, const std::function<void()>& fn);
    void reportFailure(const Result& r);

    AppState& m_state;
    DatabaseMode m_mode;
    // The pair shown on the distance page, and whether txtTav was typed into since.
    int m_shownFrom = 0;
    int m_shownTo = 0;
    bool m_tavEdited = false;
    bool m_distancesDirty = false;
    // The day whose price txtAr shows, and whether it was typed into since.
    QDate m_priceDate;
    bool m_arEdited = false;
    bool m_pricesDirty = false;
    bool m_dateBusy = false;
};

} // namespace rv
