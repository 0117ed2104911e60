#include "frmPrintPreview.h"

#include "model/cost.h"
#include "model/grouping.h"
#include "printing/exportpath.h"
#include "printing/paintercanvas.h"
#include "printing/preview.h"
#include "model/state.h"
#include "printing/sheet.h"
#include "storage/tables.h"
#include "ui/errortrap.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kPreviewScale = 0.8;
} // namespace

Printout printoutOf(PrintMode mode) {
    return mode == PrintMode::Logbook       ? Printout::Logbook
           : mode == PrintMode::TravelOrder ? Printout::TravelOrder
                                            : Printout::CostStatement;
}

Result printToPdf(AppState& state, PrintMode mode, const Season& season, const QString& path) {
    if (mode != PrintMode::Logbook)
        refreshKilometres(state, state.month);
    return printToPdf(state, state.month, printoutOf(mode), season, path);
}

// --- the picture ---

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPicture::setSizeInTwips(double width, double height) {
    m_width = width;
    m_height = height;
    const double perTwip = logicalDpiX() / kTwipsPerInch;
    resize(qRound(width * perTwip), qRound(height * perTwip));
}

void PreviewPicture::render(const std::function<void(Canvas&)>& draw) {
    const qreal ratio = devicePixelRatioF();
    m_image = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    // Points and twips both follow the screen's resolution, as on the paper.
    const int dotsPerMeter = qRound(logicalDpiX() / 0.0254);
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    m_image.fill(Qt::white);
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        PainterCanvas canvas(painter, m_width);
        draw(canvas);
    }
    update();
}

void PreviewPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (!m_image.isNull())
        painter.drawImage(QPoint(0, 0), m_image);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// --- the window ---

frmPrintPreview::frmPrintPreview(AppState& state, PrintMode mode, const Season& season, QWidget* parent)
    : QDialog(parent), m_state(state), m_mode(mode), m_season(season), m_printer(QPrinter::HighResolution) {
    setObjectName(u"frmPrintPreview"_s);
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        m_printer.setPageLayout(defaultPageLayout());

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(u"menuBar"_s);
    mnuOldal = menuBar->addMenu(u"&Oldal"_s);
    mnuOldal->setObjectName(u"mnuOldal"_s);
    mnuElozo = mnuOldal->addAction(u"&Előző"_s);
    mnuElozo->setObjectName(u"mnuElozo"_s);
    mnuElozo->setShortcut(QKeySequence(Qt::Key_PageUp));
    mnuKovetkezo = mnuOldal->addAction(u"&Következő"_s);
    mnuKovetkezo->setObjectName(u"mnuKovetkezo"_s);
    mnuKovetkezo->setShortcut(QKeySequence(Qt::Key_PageDown));
    mnuNyomtat = menuBar->addAction(u"&Nyomtat"_s);
    mnuNyomtat->setObjectName(u"mnuNyomtat"_s);
    mnuNyomtat->setShortcut(QKeySequence::Print);
    mnuPdf = menuBar->addAction(u"&PDF mentése..."_s);
    mnuPdf->setObjectName(u"mnuPdf"_s);
    mnuPdf->setShortcut(QKeySequence::Save);
    mnuRendelveny = menuBar->addAction(u"&Rendelvény"_s);
    mnuRendelveny->setObjectName(u"mnuRendelveny"_s);
    mnuRendelveny->setToolTip(u"A hónap kiküldetési rendelvénye: utas naponként egy oldal és a havi összesítő."_s);
    mnuRendelvenyNap = menuBar->addMenu(u"&Egy nap rendelvénye"_s);
    mnuRendelvenyNap->setObjectName(u"mnuRendelvenyNap"_s);
    mnuRendelvenyNap->setToolTip(u"Egyetlen utas nap kiküldetési rendelvénye, havi összesítő nélkül."_s);
    mnuVissza = menuBar->addAction(u"&Vissza"_s);
    mnuVissza->setObjectName(u"mnuVissza"_s);
    mnuVissza->setShortcut(QKeySequence(u"Ctrl+W"_s)); // Esc closes it as any dialog
    // Menu-bar items carry their shortcuts only when the window holds them too.
    addActions({mnuElozo, mnuKovetkezo, mnuNyomtat, mnuPdf, mnuVissza});

    m_area = new QWidget(this);
    m_area->setObjectName(u"area"_s);
    m_area->setBackgroundRole(QPalette::Mid);
    m_area->setAutoFillBackground(true);
    m_area->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_area);

    picMain = new PreviewPicture(m_area);
    picMain->setObjectName(u"picMain"_s);
    Label = new QLabel(u"Az előnézet és a kinyomtatott változat tartalmilag azonos, kisebb formai eltérések "
                       u"azonban lehetnek."_s,
                       m_area);
    Label->setObjectName(u"Label"_s);
    Label->setAutoFillBackground(true);
    Label->setBackgroundRole(QPalette::Mid);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    scrFugg = new QScrollBar(Qt::Vertical, m_area);
    scrFugg->setObjectName(u"scrFugg"_s);
    scrFugg->setSingleStep(240);

    choosePrinter = [this](QPrinter& printer) { return askPrinter(printer); };

    connect(mnuElozo, &QAction::triggered, this, &frmPrintPreview::previousPage);
    connect(mnuKovetkezo, &QAction::triggered, this, &frmPrintPreview::nextPage);
    connect(mnuNyomtat, &QAction::triggered, this, &frmPrintPreview::print);
    connect(mnuPdf, &QAction::triggered, this, &frmPrintPreview::saveAsPdf);
    connect(mnuRendelveny, &QAction::triggered, this, &frmPrintPreview::showTravelOrder);
    connect(mnuRendelvenyNap, &QMenu::triggered, this,
            [this](QAction* action) { showTravelOrderOfDay(action->data().toInt()); });
    connect(mnuVissza, &QAction::triggered, this, &QDialog::accept);
    helpKey(this, 45);
    connect(scrFugg, &QScrollBar::valueChanged, this, &frmPrintPreview::scrolled);
}

bool frmPrintPreview::trap(const QString& handler, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmPrintPreview - "_s + handler + u':', fn);
}

bool frmPrintPreview::load() {
    bool open = false;
    trap(u"Form_Load"_s, [this, &open] {
        setWindowTitle(programTitle() + u" - Nyomtatási kép -"_s);
        if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            const QScreen* s = screen();
            const QRect screenArea = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
            move(screenArea.left(), screenArea.top());
            resize(screenArea.width(), std::max(300, screenArea.height() - 40));
        }
        const QRectF paper = m_printer.pageLayout().fullRect(QPageLayout::Inch);
        picMain->setSizeInTwips(paper.width() * kTwipsPerInch * kPreviewScale,
                                paper.height() * kTwipsPerInch * kPreviewScale);
        arrange();
        m_page = 1;
        fillDayMenu();
        if (!costsPrintable())
            return;
        redraw();
        open = true;
    });
    return open;
}

bool frmPrintPreview::costsPrintable() {
    mnuRendelveny->setEnabled(m_mode != PrintMode::TravelOrder || m_day != 0);
    if (m_mode == PrintMode::Logbook)
        return true;
    refreshKilometres(m_state, m_state.month);
    if (computeStatement(m_state, m_state.month, m_season.multiplier).missingPrice) {
        m_state.prompter->inform(noPriceForMonthMessage(m_state.month), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void frmPrintPreview::showTravelOrder() {
    trap(u"mnuRendelveny_Click"_s, [this] { turnToTravelOrder(0); });
}

void frmPrintPreview::showTravelOrderOfDay(int day) {
    trap(u"mnuRendelvenyNap_Click"_s, [this, day] { turnToTravelOrder(day); });
}

void frmPrintPreview::turnToTravelOrder(int day) {
    const PrintMode before = m_mode;
    const int dayBefore = m_day;
    m_mode = PrintMode::TravelOrder;
    m_day = day;
    if (!costsPrintable()) {
        m_mode = before;
        m_day = dayBefore;
        mnuRendelveny->setEnabled(m_mode != PrintMode::TravelOrder || m_day != 0);
        return;
    }
    m_page = 1;
    redraw();
}

void frmPrintPreview::fillDayMenu() {
    mnuRendelvenyNap->clear();
    const MonthLog& log = m_state.month;
    const QString month = printedMonthName(log.month);
    int last = 0;
    qint64 km = 0;
    QAction* action = nullptr;
    for (const LogbookLeg& leg : logbookLegs(m_state, log)) {
        if (leg.day != last) {
            last = leg.day;
            km = 0;
            action = mnuRendelvenyNap->addAction(QString());
            action->setData(leg.day);
        }
        km += leg.km;
        action->setText(u"%1 %2. (%3 km)"_s.arg(month).arg(leg.day).arg(groupedDigits(km)));
    }
    mnuRendelvenyNap->setEnabled(last != 0);
}

void frmPrintPreview::redraw() {
    const Printout which = printoutOf(m_mode);
    int pages = 1;
    picMain->render([&](Canvas& canvas) {
        layoutPrintout(canvas, m_state, m_state.month, which, m_season, Twin::preview(m_page), &pages,
                       travelOrderDay());
    });
    m_pages = which == Printout::Logbook ? logbookPageCount(m_state, m_state.month) : pages;
}

void frmPrintPreview::previousPage() {
    trap(u"mnuElozo_Click"_s, [this] {
        m_page = previewPageAfter(m_page, -1, m_pages);
        redraw();
    });
}

void frmPrintPreview::nextPage() {
    trap(u"mnuKovetkezo_Click"_s, [this] {
        m_page = previewPageAfter(m_page, +1, m_pages);
        redraw();
    });
}

bool frmPrintPreview::askPrinter(QPrinter& printer) {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        m_state.prompter->inform(u"Nincs telepített nyomtató. A nyomtatási kép a „PDF mentése...” menüponttal "
                                 u"fájlba menthető."_s,
                                 MsgIcon::Exclamation);
        return false;
    }
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

void frmPrintPreview::print() {
    trap(u"mnuNyomtat_Click"_s, [this] {
        if (!choosePrinter(m_printer))
            return;
        const Result result =
            paintPrintout(m_printer, m_state, m_state.month, printoutOf(m_mode), m_season, travelOrderDay());
        if (!result)
            m_state.prompter->inform(result.message(), MsgIcon::Exclamation);
    });
}

void frmPrintPreview::saveAsPdf() {
    trap(u"mnuPdf_Click"_s, [this] {
        const Printout which = printoutOf(m_mode);
        const QString path = askExportPath(m_state, u"Mentés PDF fájlba"_s,
                                           suggestedPdfName(m_state, m_state.month, which, travelOrderDay()),
                                           u"PDF fájlok (*.pdf)"_s);
        if (path.isEmpty())
            return;
        const Result result =
            rv::printToPdf(m_state, m_state.month, which, m_season, path, m_printer.pageLayout(), travelOrderDay());
        if (!result)
            m_state.prompter->inform(result.message(), MsgIcon::Exclamation);
        else
            flashStatus(Label, u"PDF elkészült: "_s + QDir::toNativeSeparators(path), [this] { arrange(); });
    });
}

int frmPrintPreview::toPixels(double twips) const { return int(std::lround(twips * logicalDpiY() / kTwipsPerInch)); }

double frmPrintPreview::toTwips(int pixels) const { return pixels * kTwipsPerInch / logicalDpiY(); }

void frmPrintPreview::arrange() {
    if (windowState() & Qt::WindowMinimized)
        return;
    const int scrollWidth = scrFugg->sizeHint().width();
    const int labelWidth = Label->fontMetrics().horizontalAdvance(Label->text());
    const int labelHeight = std::max(Label->fontMetrics().height() + 2, toPixels(kPreviewPictureTop));
    const PreviewGeometry g = previewGeometry(int(toTwips(m_area->width())), int(toTwips(m_area->height())) + kPreviewChrome,
                                              int(picMain->widthInTwips()), int(picMain->heightInTwips()),
                                              int(toTwips(labelWidth)), int(toTwips(scrollWidth)));
    scrFugg->setGeometry(toPixels(g.scrollLeft), 0, scrollWidth, m_area->height());
    scrFugg->setRange(0, std::max(0, g.scrollMaximum));
    scrFugg->setPageStep(std::max(240, g.scrollHeight));
    scrFugg->setEnabled(g.scrollEnabled);
    picMain->move(std::max(0, toPixels(g.pictureLeft)), picMain->y());
    // The notice stands in a strip across the window, so the picture scrolls away beneath it.
    Label->setIndent(std::max(0, toPixels(g.labelLeft)));
    Label->setGeometry(0, 0, std::max(0, toPixels(g.scrollLeft)), labelHeight);
    Label->raise();
    scrFugg->raise();
    scrolled(scrFugg->value());
}

void frmPrintPreview::scrolled(int value) { picMain->move(picMain->x(), toPixels(previewPictureTop(value))); }

bool frmPrintPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_area) {
        if (event->type() == QEvent::Resize)
            arrange();
        else if (event->type() == QEvent::Wheel && scrFugg->isEnabled()) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            scrFugg->setValue(scrFugg->value() - wheel->angleDelta().y() / 120 * 3 * scrFugg->singleStep());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace rv
