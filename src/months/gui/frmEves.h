#pragma once

#include "model/yearsummary.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace rv {

struct AppState;

// The year overview of the logged-in car: a row per month with a logbook, the year's totals, the
// opening and closing readings and the bars of kilometres and cost; printed, saved as PDF or as a
// spreadsheet.
class frmEves : public QWidget {
    Q_OBJECT
public:
    frmEves(AppState& state, int year, QWidget* parent = nullptr);

    QComboBox* cboEv;
    QTableWidget* tblEv;
    QLabel* lblNyito;
    QLabel* lblZaro;
    QWidget* fraGrafikon;
    QPushButton* cmdNyomtat;
    QPushButton* cmdPdf;
    QPushButton* cmdTablazat;
    QPushButton* cmdCsomag;
    QPushButton* cmdVissza;

    // Asks for the printer; tests replace it.
    std::function<bool(QPrinter&)> choosePrinter;

    const YearSummary& summary() const { return m_summary; }
    void showYear(int year);

private:
    void build();
    void print();
    void saveAsPdf();
    void saveAsSpreadsheet();
    void savePack();
    QString askPath(const QString& caption, const QString& extension, const QString& filter);
    bool trap(const QString& handler, const std::function<void()>& fn);

    AppState& m_state;
    YearSummary m_summary;
};

} // namespace rv
