#pragma once

#include "database/gui/databasepage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace rv {

class DistanceGridModel;

// The distances: one pair in the boxes, every pair in the grid beside them. Both write the two
// directions of a pair and stay in step; nothing is saved until Mentés.
class DistancePage : public DatabasePage {
    Q_OBJECT
public:
    DistancePage(AppState& state, DatabaseMode mode);

    QComboBox* cboHonnan;
    QComboBox* cboHova;
    QLabel* lblTavolsaguk;
    QLineEdit* txtTav;
    QLabel* lblKM;
    QComboBox* cboSzorzo;
    QTableView* grdTavolsagok;
    QPushButton* cmdMentes;
    QPushButton* cmdMegsem;
    DistanceGridModel* model;

    // The partner list changed: combos and grid built again.
    void FillTavCombo();
    void renamePartner(int partner);
    void TavCboClick();
    void txtTavLostFocus();
    void cboSzorzoClick();
    void cmdMentesClick();
    void cmdMegsemClick();
    bool pending() const { return m_dirty; }
    // The partner file was saved with whatever the arrays held.
    void markSaved() { m_dirty = false; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPairInGrid();

    // The pair shown in the boxes, and whether txtTav was typed into since.
    int m_shownFrom = 0;
    int m_shownTo = 0;
    bool m_tavEdited = false;
    bool m_dirty = false;
    bool m_filling = false;
};

} // namespace rv
