#pragma once

#include "database/gui/databasepage.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace rv {

class frmInput;
struct Partner;

// The partners of the car: the list with its new, modify and delete buttons.
class PartnerPage : public DatabasePage {
    Q_OBJECT
public:
    PartnerPage(AppState& state, DatabaseMode mode, const QString& caption);

    // How the partner dialog is run (modal by default; tests fill it and press its buttons).
    std::function<void(frmInput&)> runInput;
    // How a changed partner is offered to the stored logbooks.
    std::function<void(const Partner& oldTexts, const Partner& newTexts)> openPartnerChange;
    // "N" before the partner dialog is shown, "I" once it accepted its input.
    QString resultFlag;

    QListWidget* lstPartnerek;
    QLabel* lblCim;
    QLabel* lblPartnerekSzama;
    QPushButton* cmdUj;
    QPushButton* cmdModosit;
    QPushButton* cmdTorol;

    int selectedPartner() const;
    void fillPartnerList();
    void selectPartner(int index);
    void cmdUjClick();
    void cmdModositClick();
    void cmdTorolClick();

signals:
    // Before a partner is added or deleted, which saves the partner file: what was typed
    // elsewhere goes in first.
    void aboutToChange();
    // Partners were added or deleted and the file saved.
    void partnersChanged();
    // A partner's texts changed and the file was saved.
    void partnerRenamed(int partner);

private:
    QString m_caption;
};

// Deleting the whole partner database.
class DeletePage : public DatabasePage {
    Q_OBJECT
public:
    DeletePage(AppState& state, DatabaseMode mode);
    QPushButton* cmdAdatTorles;
    void cmdAdatTorlesClick();

signals:
    void partnersChanged();
};

} // namespace rv
