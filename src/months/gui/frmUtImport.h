#pragma once

#include "model/state.h"
#include "months/tripimport.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace rv {

// The trip import: a tracker's or an app's export read (a trip report by its columns, or a
// track), the places it does not know decided, the learned distances chosen, the month
// previewed and then written.
class frmUtImport : public QDialog {
    Q_OBJECT
public:
    frmUtImport(AppState& state, QWidget* parent = nullptr);

    QLineEdit* txtFajl;
    QPushButton* cmdTallozas;
    QComboBox* cboSema;       // "Felismerés" or a saved column layout
    QComboBox* cboElvalaszto; // ; , tab |
    QComboBox* cboKodolas;    // UTF-8, Windows-1250
    QComboBox* cboTizedes;    // , .
    QCheckBox* chkFejlec;
    std::array<QComboBox*, kTripFieldCount> cboOszlop{}; // the column of each field
    QLineEdit* txtSemaNev;
    QPushButton* cmdSemaMentes;
    QSpinBox* spnMegallo; // the stop length of tracks in minutes
    QPushButton* cmdBeolvas;
    QComboBox* cboHonap;
    QTableWidget* grdHelyek; // a row per unknown place: place, trips, decision, name, town, address
    QListWidget* lstTavolsagok; // learned distances; a differing one is ticked to take the recorded km
    QPlainTextEdit* txtElonezet;
    QLabel* lblAllapot;
    QPushButton* cmdElonezet;
    QPushButton* cmdMentes;
    QPushButton* cmdMegsem;

    // The handlers, callable directly.
    void cmdTallozasClick();
    void cmdBeolvasClick();
    void cboHonapChange();
    void cmdElonezetClick();
    void cmdMentesClick();
    void cmdSemaMentesClick();
    void cboSemaChange();

private:
    void build();
    CsvLayout layoutFromControls() const;
    void showLayout(const CsvLayout& layout, const QByteArray& data);
    void fillPlaces();
    void invalidatePreview();
    QVector<PlaceDecision> decisions(QString& problem) const;

    AppState& m_state;
    TripFile m_file;
    QVector<KnownPlace> m_known;
    TripPlan m_plan;
    // The preview's own state: the partners and distances as the import would leave them.
    std::optional<AppState> m_work;
    QVector<KnownPlace> m_workKnown;
    QVector<LearnedDistance> m_learned;
    bool m_databaseChanged = false;
    MonthLog m_month;
    ImportedMonth m_imported;
    bool m_previewed = false;
};

// Opens the import for the logged-in car, modal.
void showTripImport(AppState& state, QWidget* parent);

} // namespace rv
