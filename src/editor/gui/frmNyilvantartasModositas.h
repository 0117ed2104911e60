#pragma once

#include "model/state.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace rv {

// Carries a changed partner's texts into the stored logbooks the user picks.
class frmNyilvantartasModositas : public QDialog {
    Q_OBJECT
public:
    frmNyilvantartasModositas(AppState& state, const Partner& oldTexts, const Partner& newTexts,
                              QWidget* parent = nullptr);

    QLabel* lblNev;
    QLabel* lblVaros;
    QLabel* lblCim;
    QLabel* lblUjNev;
    QLabel* lblUjVaros;
    QLabel* lblUjCim;
    QListWidget* lstHonapok; // item data: the file name
    QPushButton* cmdOK;
    QPushButton* cmdVissza;

    void fillMonths();
    void cmdOKClick();

private:
    AppState& m_state;
    Partner m_old;
    Partner m_new;
};

} // namespace rv
