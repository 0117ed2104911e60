#pragma once

#include "editor/validation.h"
#include "ui/gui/navigation.h"

#include <QByteArray>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace rv {

struct AppState;
class frmHiba;
class NumericFilter;

// The logbook editor: one month of the logged-in car, one day at a time.
class frmSzerkeszto : public QWidget {
    Q_OBJECT
public:
    // monthsWindow shows the opening steps and comes back when the editor closes.
    frmSzerkeszto(AppState& state, QWidget* monthsWindow, QWidget* parent = nullptr);
    ~frmSzerkeszto() override;

    // Fills the window for a new empty month or for the month already in memory.
    void open(bool newMonth);

    // Calendar: headings and cells 1..42 (index 0 is cell 1).
    QWidget* picNaptar;
    std::array<QLabel*, 7> lblNapokNeve{};
    std::array<QLabel*, 42> lblNapok{};

    QLabel* lblDatum;
    QLabel* lblKmANapon;
    QLabel* lblKmAHonapban;
    QLabel* lblOsszKoltseg;
    QLineEdit* txtKmOraAllas;
    QLabel* lblZaroAllas; // the closing reading: the real one, else start plus business and private km
    QLineEdit* txtZaroKmOra; // the real closing reading, "Záró km-óra állás"
    QLabel* lblMagan;        // the private km and the business share

    QPushButton* cmdElozoNap;
    QPushButton* cmdKovetkezoNap;
    QPushButton* cmdMent;
    QPushButton* cmdNyomtat;
    QPushButton* cmdKoltseg;
    QPushButton* cmdRendelveny;
    QPushButton* cmdAdatBazis;
    QPushButton* cmdSugo;
    QPushButton* cmdVissza;
    QLabel* lblAllapot; // a few seconds of "Mentve: …"

    // Trip entry.
    QListWidget* lstPartnerek;
    QListWidget* lstKesz;
    QPushButton* cmdHozzaAd;
    QPushButton* cmdTorol;
    QPushButton* cmdMindentTorol;
    QRadioButton* optCsakOda;
    QRadioButton* optOdaVissza;
    QRadioButton* optACeghez;
    QLineEdit* txtHonnan;
    QLineEdit* txtHova;
    QRadioButton* optCsatol;
    QRadioButton* optFelulIr;
    QPushButton* cmdMasol;
    QLineEdit* txtComment;
    QLabel* lblTavolsag;

    // Validation.
    QGroupBox* fraHibak;
    QLabel* lblKisHiba;
    QLabel* lblNagyHiba;
    QLabel* imgHiba;
    QCheckBox* chkHiba;
    std::array<QPixmap, 3> imlHiba;
    frmHiba* hibaWindow;

    // Cost.
    QCheckBox* chkKlima;
    QCheckBox* chkTeliUzem;

    int currentDay() const { return m_day; }
    qint64 totalCost() const { return m_totalCost; }
    ErrorPicture errorPicture() const { return m_picture; }
    const Validation& validation() const { return m_validation; }

    // How the editor opens the database window and the print preview; tests replace them.
    std::function<void()> openDatabase;
    // The two bools: the season boxes "Klíma" and "Téli üzemeltetés".
    std::function<void(PrintMode, bool, bool)> openPreview;

    // Shows a day of the month: calendar, date, stops, comment, kilometres.
    void showDay(int day);
    void validate();
    void recomputeCost();
    // Kilometres of every day and of the month; the day label too when day is not 0.
    void refreshKilometres(int day);
    void showClosingReading();
    // Called when the database window closes.
    void refreshAfterDatabase();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void wire();
    bool trap(const QString& handler, const std::function<void()>& fn);
    void setMonthsStatus(const QString& text, int progress);
    void fillPartners();
    void fillDayList(int selected);
    int selectedStopLine() const;
    void afterStopChange(int selected);
    void updateDistanceHint();
    void paintDay(int day);
    void paintCalendar();

    void addSelectedPartner();
    void deleteSelectedStop();
    void deleteAllStops();
    void copyBetweenDays();
    void dayFieldChanged(QLineEdit* edit, QString& lastAccepted);
    void commentChanged();
    void seasonClicked(QCheckBox* clicked, QCheckBox* other);
    // Asks before a month with severe faults is saved or printed; default No.
    bool confirmDespiteSevereFaults(bool printing);
    void printClicked();
    void costClicked();
    void travelOrderClicked();
    void databaseClicked();
    void returnToMonths();
    static QWidget* mainWindow();

    AppState& m_state;
    QPointer<QWidget> m_monthsWindow;
    int m_day = 1;
    PrintMode m_printMode = PrintMode::Logbook;
    qint64 m_totalCost = 0;
    Validation m_validation;
    std::optional<MonthReading> m_previous; // what the month's start reading follows on from
    bool m_firstMonth = false;              // the car has no earlier month
    ErrorPicture m_picture = ErrorPicture::None;
    QString m_lastHonnan;
    QString m_lastHova;
    bool m_loading = false; // the program itself is filling controls
    bool m_busy = false;    // a day field is being corrected
    QByteArray m_beforeDatabase; // the month as it would be saved, while the database window is open
};

} // namespace rv
