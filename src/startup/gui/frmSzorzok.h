#pragma once

#include "startup/dialogvalues.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rv {

struct AppState;

// The multipliers of route types 2..6 and of the two season conditions, in per cent, and the
// default route type.
class frmSzorzok : public QDialog {
    Q_OBJECT
public:
    frmSzorzok(AppState& state, const QString& mainCaption, QWidget* parent = nullptr);

    QLineEdit* txtBudaPest;
    QLineEdit* txtMegyeSzekhely;
    QLineEdit* txtEgyebVaros;
    QLineEdit* txtTerep;
    QLineEdit* txtAkadalyozott;
    QLineEdit* txtKlima;
    QLineEdit* txtTeliUzem;
    // lblMegnevezes(2..8) as lblMegnevezes[0..6], named "lblMegnevezes2".."lblMegnevezes8".
    std::array<QLabel*, kMultiplierBoxCount> lblMegnevezes{};
    QComboBox* cboAlapErtelmezettSzorzo;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;
    QPushButton* cmdSugo;
    QPushButton* cmdTorvenyi;

    std::array<QLineEdit*, kMultiplierBoxCount> boxes() const;

private:
    void onOK();
    AppState& m_state;
};

} // namespace rv
