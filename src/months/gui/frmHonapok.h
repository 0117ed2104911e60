#pragma once

#include "months/progress.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace rv {

struct AppState;
struct SampleRequest;

// The months window: the logged-in car's logbooks, deleting one, opening one in the editor, and
// starting a new month, empty or as a generated sample. It shows the steps of the long
// operations on its status label and progress bar.
class frmHonapok : public QWidget, public MonthsProgress {
    Q_OBJECT
public:
    frmHonapok(AppState& state, QWidget* mainWindow, QWidget* parent = nullptr);

    // The mode text: "szerkeszt" once the editor has taken over.
    QString tag;
    // Opens the editor on state.month (an empty new month, or the stops in memory). Tests
    // replace it.
    std::function<void(bool newMonth)> openEditor;

    // Hidden lists: every logbook file, and the sort keys of the readable ones.
    QListWidget* lstFile;
    QListWidget* lstTmp;

    QComboBox* cboEv;
    QListWidget* lstHonapok;
    QLabel* lblFileInfo;
    QPushButton* cmdSzerkeszt;
    QPushButton* cmdTorol;
    QPushButton* cmdEves; // the year overview
    QPushButton* cmdUtimport; // the trip import from a tracker's or an app's export

    QLineEdit* txtEvSzam;
    QPushButton* cmdPlus;
    QPushButton* cmdMinus;
    QComboBox* cboHonapok;
    QCheckBox* chkMinta;
    QWidget* fraMinta; // the target box and the day boxes, shown with chkMinta
    QLineEdit* txtKm;
    QGroupBox* fraNapok;
    std::array<QCheckBox*, 8> chkNap{}; // [1..7], Sunday = 1; objectName chkNap1 .. chkNap7
    QCheckBox* chkSzunnap;
    QCheckBox* chkPontos; // "Pontos km-cél": the month that reaches the target, on fewer days if need be
    QPushButton* cmdSzerkesztUj;

    QLabel* lblStatusz;
    QProgressBar* pgbStatusz;
    QPushButton* cmdVissza;
    QPushButton* cmdSugo;

    // The handlers, callable directly.
    void FormLoad();
    void cboEvClick();
    void lstHonapokClick();
    void cmdTorolClick();
    void cmdSzerkesztUjClick();
    void cmdSzerkesztClick();
    void cmdEvesClick();
    void cmdUtimportClick();
    void MintaKeszites(int target);

    // The file of the selected line, empty when none is selected.
    QString selectedFile() const;

    // MonthsProgress: the status label and the progress bar.
    void setStatus(const QString& text) override;
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    int progressValue() const override;
    void keepResponsive() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void fillLists(bool warn);
    void refreshFromDisk();
    void updateButtons();
    void setBusy(bool busy);
    void handOver(bool newMonth);
    void showSampleControls(bool on);
    bool offerExactMonth(const SampleRequest& request);
    void clampKm(const QString& text);
    void stepYear(int delta);
    bool trap(const QString& handler, const std::function<void()>& fn);

    AppState& m_state;
    QPointer<QWidget> m_mainWindow;
    bool m_busy = false;
    QString m_listedFiles; // names, sizes and times of the month files as last listed
};

} // namespace rv
