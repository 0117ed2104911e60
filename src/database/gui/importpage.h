#pragma once

#include "database/gui/databasepage.h"

class QListWidget;
class QPushButton;
class QRadioButton;

namespace rv {

// Taking over another car's partners and distances, or its fuel prices.
class ImportPage : public DatabasePage {
    Q_OBJECT
public:
    ImportPage(AppState& state, DatabaseMode mode);

    QListWidget* lstUsers;
    QRadioButton* optPartner;
    QRadioButton* optBenzin;
    QPushButton* cmdImport;

    void fillUsers();
    void cmdImportClick();

signals:
    // Before anything is read: what was typed on the other pages goes into memory first.
    void aboutToImport();
    // The partner file (or the price file) was written with whatever memory held.
    void partnersImported();
    void pricesImported();
};

} // namespace rv
