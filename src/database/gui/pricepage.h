#pragma once

#include "database/gui/databasepage.h"

#include <QDate>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace rv {

// The fuel prices of the car, one per day from which it holds.
class PricePage : public DatabasePage {
    Q_OBJECT
public:
    PricePage(AppState& state, DatabaseMode mode);

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

    QDate selectedDate() const;
    void cboHonapokClick();
    void GetFuelPrice();
    void txtArLostFocus();
    void cmdBenzinMentClick();
    void cmdBenzinMegsemClick();
    void cmdAPEHClick();
    void cmdMindentTorolClick();
    bool pending() const { return m_dirty; }
    // The price file was written with whatever memory held.
    void markSaved() { m_dirty = false; }

private:
    void yearStep(int delta);
    void refreshPriceList();
    void showDate(const QDate& date);
    void refillDays();

    // The day whose price txtAr shows, and whether it was typed into since.
    QDate m_priceDate;
    bool m_arEdited = false;
    bool m_dirty = false;
    bool m_dateBusy = false;
};

} // namespace rv
