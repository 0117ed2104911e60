#pragma once

#include "printing/printout.h"
#include "storage/result.h"
#include "ui/gui/navigation.h"

#include <QDialog>
#include <QImage>
#include <QPrinter>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollBar;

namespace rv {

struct AppState;
class Canvas;

Printout printoutOf(PrintMode mode);

// Writes the printout of the open month to a PDF file, as the preview would print it.
Result printToPdf(AppState& state, PrintMode mode, const Season& season, const QString& path);

// The preview page: a white sheet of a size given in twips, drawn through a canvas.
class PreviewPicture : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget* parent = nullptr);

    void setSizeInTwips(double width, double height);
    double widthInTwips() const { return m_width; }
    double heightInTwips() const { return m_height; }
    // Clears the sheet and draws on it.
    void render(const std::function<void(Canvas&)>& draw);
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_width = 0;
    double m_height = 0;
    QImage m_image;
};

// One page of a printout at 80 % of the paper, paged through, printed or saved as PDF.
class frmPrintPreview : public QDialog {
    Q_OBJECT
public:
    frmPrintPreview(AppState& state, PrintMode mode, const Season& season, QWidget* parent = nullptr);

    // Sizes, places and draws the first page. False when the window must close at once: the
    // statement found a day without a fuel price (the user has been told).
    bool load();

    int pageShown() const { return m_page; }
    int pageCount() const { return m_pages; }
    QPrinter& printer() { return m_printer; }

    void previousPage();
    void nextPage();
    void print();
    void saveAsPdf();
    // Turns the window to the month's travel order, from its first page.
    void showTravelOrder();
    // Turns the window to the travel order of one trip day alone.
    void showTravelOrderOfDay(int day);
    // The day whose travel order alone is shown; 0: every day's, or another printout.
    int travelOrderDay() const { return m_mode == PrintMode::TravelOrder ? m_day : 0; }

    // Asks for the printer; false when the user cancelled. Tests replace it.
    std::function<bool(QPrinter&)> choosePrinter;

    QMenuBar* menuBar;
    QMenu* mnuOldal;
    QAction* mnuElozo;
    QAction* mnuKovetkezo;
    QAction* mnuNyomtat;
    QAction* mnuPdf;
    QAction* mnuRendelveny;
    QMenu* mnuRendelvenyNap; // one action a trip day, its data the day
    QAction* mnuVissza;
    PreviewPicture* picMain;
    QScrollBar* scrFugg;
    QLabel* Label;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool askPrinter(QPrinter& printer);
    void redraw();
    // The costed printouts need a fuel price on every day; false (told) without one.
    bool costsPrintable();
    void turnToTravelOrder(int day);
    void fillDayMenu();
    void arrange();
    void scrolled(int value);
    int toPixels(double twips) const;
    double toTwips(int pixels) const;
    bool trap(const QString& handler, const std::function<void()>& fn);

    AppState& m_state;
    PrintMode m_mode;
    Season m_season;
    int m_day = 0;
    int m_page = 1;
    int m_pages = 1;
    QPrinter m_printer;
    QWidget* m_area;
};

} // namespace rv
