#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rv {

struct AppState;
struct CarForm;

// The car record dialog: a new car ("uj") or a change of the selected one ("modosit").
class frmUjUser : public QDialog {
    Q_OBJECT
public:
    explicit frmUjUser(AppState& state, QWidget* parent = nullptr);

    // Empty fields for a new car; the caption is the main window's with " - Új gépkocsi -".
    void prepareNew(const QString& mainCaption);
    // The fields of car index; the caption ends in " - Gépkocsi módosítása -".
    void prepareModify(int index, const QString& mainCaption);
    QString mode() const { return m_mode; }

    CarForm form() const;

    // Opens the import list; tests put their own choice here.
    std::function<int()> chooseImportCar;

    QLineEdit* txtAzonosito;
    QLineEdit* txtGKTip;
    QLineEdit* txtRendSzam;
    QLineEdit* txtFogyasztas;
    QLineEdit* txtAltKoltseg;
    QComboBox* cboBenzin;
    QLineEdit* txtCegNev;
    QComboBox* cboVaros;
    QLineEdit* txtCegCim;
    QLineEdit* txtAdoazonosito; // the driver's tax ID, kept with the car's facts
    QPushButton* cmdVarosLoad;
    QPushButton* cmdNorma;
    QLabel* lblFogyasztas; // its unit follows the fuel: kg/100 km for CNG
    QComboBox* cboNorma; // "Alapnorma (típus szerint)" / "Alapnorma-átalány (hengerűrtartalom szerint)"
    QComboBox* cboArForras; // "NAV által közzétett árak" / "Saját árak (számla szerint)"
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;

signals:
    // A car was created or changed and the car file written.
    void carSaved(int index);

private:
    void fillCities();
    void loadCities();
    void onOK();
    void chooseNorm();
    QWidget* fieldWidget(int field) const;

    AppState& m_state;
    QString m_mode = QStringLiteral("uj");
    int m_index = 0;
    int m_engineCm3 = 0; // remembered with the car, offered again by the norm dialog
    QString m_mainCaption;
};

} // namespace rv
