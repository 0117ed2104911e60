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
    // fuelIndex: the car's fuel type (0-based), which chooses petrol or diesel to begin with.
    frmNorma(int fuelIndex, QWidget* parent = nullptr);

    // The norm as the consumption box takes it ("8.6"); empty while no engine size is given.
    QString normText() const;

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
