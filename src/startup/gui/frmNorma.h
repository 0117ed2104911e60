#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rv {

// The flat consumption norm of a car without a type-based norm: fuel, engine size and plug-in
// hybrid in, the norm and the rule it comes from out.
class frmNorma : public QDialog {
    Q_OBJECT
public:
    // fuelIndex: the car's fuel type (0-based), which decides petrol or diesel: the fuel is the car
    // dialog's to change, so the box here only shows it. engineCm3: the size remembered with the
    // car, 0 when none.
    frmNorma(int fuelIndex, int engineCm3 = 0, QWidget* parent = nullptr);

    // The norm as the consumption box takes it ("8.6"); empty while no engine size is given.
    QString normText() const;
    // The engine size typed, 0 while none is.
    int engineCm3() const;

    QComboBox* cboUzemanyag;
    QLineEdit* txtHengerur;
    QCheckBox* chkHibrid;
    QLabel* lblNorma;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;

private:
    void refresh();
    QString m_norm;
};

} // namespace rv
