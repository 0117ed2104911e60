#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace rv {

struct AppState;

// Four of the settings: exit confirmation, city loading, and the tolerance and tries of the
// sample generation. Works on the settings store only.
class frmSetup : public QDialog {
    Q_OBJECT
public:
    frmSetup(AppState& state, const QString& mainCaption, QWidget* parent = nullptr);

    QCheckBox* chkExit;
    QCheckBox* chkVaros;
    QLineEdit* txtHiba;
    QLineEdit* txtProbakSzama;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;
    QPushButton* cmdSugo;

private:
    void onOK();
    AppState& m_state;
};

} // namespace rv
