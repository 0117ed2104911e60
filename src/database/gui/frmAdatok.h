#pragma once

#include "model/state.h"
#include "ui/gui/navigation.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace rv {

class DeletePage;
class DistancePage;
class ImportPage;
class PartnerPage;
class PricePage;

// The database window of the logged-in car: partners, distances, fuel prices, import and the
// deletion of the whole partner database, one page each. The window only ties the pages
// together and asks about unsaved edits when it closes.
class frmAdatok : public QDialog {
    Q_OBJECT
public:
    frmAdatok(AppState& state, DatabaseMode mode, QWidget* parent = nullptr);
    ~frmAdatok() override;

    DatabaseMode mode() const { return m_mode; }
    QString caption() const;

    QTabWidget* tabAdatok;
    PartnerPage* picPartner;
    DistancePage* picTavolsag;
    PricePage* picBenzin;
    ImportPage* picImport;
    DeletePage* picTorles;

    QPushButton* cmdSugo;
    QLabel* lblStatus; // a short note after a save, for a few seconds
    QPushButton* cmdBezar;

    void showStatus(const QString& text);
    // The closing questions; false keeps the window open.
    bool queryClose();
    void reject() override;

private:
    AppState& m_state;
    DatabaseMode m_mode;
    QTimer* m_statusTimer;
};

} // namespace rv
