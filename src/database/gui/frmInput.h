#pragma once

#include "model/state.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rv {

// The partner dialog: a new partner ("ujadat") or the texts of one being changed ("modosit").
class frmInput : public QDialog {
    Q_OBJECT
public:
    // resultFlag is the database window's flag: it becomes "I" when the input is accepted.
    // modified is the partner being changed (0 for a new one); it is skipped in the duplicate test.
    frmInput(AppState& state, const QString& mode, QString* resultFlag, int modified, QWidget* parent = nullptr);

    // Fills the fields (the texts of the partner being changed).
    void setTexts(const Partner& p);
    // The trimmed texts, once accepted.
    const Partner& result() const { return m_result; }
    QString tag; // "ujadat" or "modosit"

    QLineEdit* txtNev;
    QComboBox* cboVaros;
    QLineEdit* txtCim;
    QPushButton* cmdVarosLoad;
    QLabel* lblLoad;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;

    void cmdOKClick();
    void cmdVarosLoadClick();

private:
    void fillCities();

    AppState& m_state;
    QString* m_flag;
    int m_modified;
    Partner m_result;
};

} // namespace rv
