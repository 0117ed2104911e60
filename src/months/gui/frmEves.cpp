#include "frmEves.h"
#include "model/grouping.h"

#include "months/gui/yearchart.h"
#include "model/monthlist.h"
#include "printing/exportpath.h"
#include "printing/paintercanvas.h"
#include "printing/sheet.h"
#include "printing/yearpack.h"
#include "printing/xlsx/xlsxbook.h"
#include "printing/yearprintout.h"
#include "model/state.h"
#include "storage/tables.h"
#include "ui/errortrap.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QTableWidgetItem* cell(const QString& text, bool number, bool bold = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (bold) {
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
    }
    return item;
}

// A figure of the year's texts with its unit; the dashes of a missing one stand alone.
QString unit(const QString& figure, const QString& name) {
    return figure == u"–"_s || figure == u"-"_s ? figure : groupedFigure(figure) + u' ' + name;
}
QString km(const QString& figure) { return unit(figure, u"km"_s); }
QString forint(const QString& figure) { return unit(figure, u"Ft"_s); }

} // namespace

frmEves::frmEves(AppState& state, int year, QWidget* parent) : QWidget(parent, Qt::Window), m_state(state) {
    setObjectName(u"frmEves"_s);
    choosePrinter = [this](QPrinter& printer) {
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            m_state.prompter->inform(u"Nincs telepített nyomtató. Az összesítő a „PDF” gombbal fájlba menthető."_s,
                                     MsgIcon::Exclamation);
            return false;
        }
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    build();
    const LogbookListing listing = listLogbooks(m_state);
    QVector<int> years = listing.years;
    std::sort(years.begin(), years.end());
    for (int y : years)
        cboEv->addItem(QString::number(y), y);
    const int index = cboEv->findData(year);
    cboEv->setCurrentIndex(index >= 0 ? index : cboEv->count() - 1);
    if (cboEv->count() > 0)
        showYear(cboEv->currentData().toInt());
    else
        showYear(year);
}

void frmEves::build() {
    setWindowTitle(kAppTitle + u' ' + versionText() + u" - Éves összesítő -"_s);
    auto* yearLabel = new QLabel(u"&Év:"_s, this);
    cboEv = new QComboBox(this);
    cboEv->setObjectName(u"cboEv"_s);
    yearLabel->setBuddy(cboEv);

    tblEv = new QTableWidget(0, 8, this);
    tblEv->setObjectName(u"tblEv"_s);
    // Two-line headings keep the columns as narrow as their figures.
    tblEv->setHorizontalHeaderLabels({u"Hónap"_s, u"Kezdő\nállás"_s, u"Megtett\nkm"_s, u"Záró\nállás"_s,
                                      u"Költség"_s, u"!"_s, u"Magán\nkm"_s, u"Üzleti\narány"_s});
    tblEv->verticalHeader()->hide();
    tblEv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblEv->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblEv->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblEv->setMinimumWidth(300);
    // As wide as its columns where the screen allows; the chart takes the rest of the width.
    tblEv->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    lblNyito = new QLabel(this);
    lblNyito->setObjectName(u"lblNyito"_s);
    lblZaro = new QLabel(this);
    lblZaro->setObjectName(u"lblZaro"_s);
    fraGrafikon = YearChart::create(this);
    // On a small screen the table scrolls sideways before the month labels crowd together.
    fraGrafikon->setMinimumWidth(450);

    cmdNyomtat = namedButton(this, u"cmdNyomtat"_s, u"&Nyomtatás"_s);
    cmdPdf = namedButton(this, u"cmdPdf"_s, u"&PDF"_s);
    cmdTablazat = namedButton(this, u"cmdTablazat"_s, u"&Táblázat"_s);
    cmdTablazat->setToolTip(u"Az év mentése Excel-munkafüzetbe (.xlsx)"_s);
    cmdCsomag = namedButton(this, u"cmdCsomag"_s, u"Éves &csomag (PDF)"_s);
    cmdCsomag->setToolTip(u"Az év minden papírja egy PDF-ben, a hónapok fájljainak ellenőrző összegével"_s);
    cmdVissza = namedButton(this, u"cmdVissza"_s, u"&Vissza"_s);

    auto* left = new QVBoxLayout;
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(cboEv);
    yearRow->addStretch(1);
    left->addLayout(yearRow);
    left->addWidget(tblEv, 1);
    left->addWidget(lblNyito);
    left->addWidget(lblZaro);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(fraGrafikon, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdNyomtat, cmdPdf, cmdTablazat, cmdCsomag, cmdVissza})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(cboEv, &QComboBox::activated, this,
            [this] { trap(u"cboEvClick"_s, [this] { showYear(cboEv->currentData().toInt()); }); });
    connect(cmdNyomtat, &QPushButton::clicked, this, [this] { trap(u"cmdNyomtatClick"_s, [this] { print(); }); });
    connect(cmdPdf, &QPushButton::clicked, this, [this] { trap(u"cmdPdfClick"_s, [this] { saveAsPdf(); }); });
    connect(cmdTablazat, &QPushButton::clicked, this,
            [this] { trap(u"cmdTablazatClick"_s, [this] { saveAsSpreadsheet(); }); });
    connect(cmdCsomag, &QPushButton::clicked, this, [this] { trap(u"cmdCsomagClick"_s, [this] { savePack(); }); });
    connect(cmdVissza, &QPushButton::clicked, this, &QWidget::close);
    closeKeys(this, cmdVissza);
    buttonKeys(this, cmdNyomtat, {QKeySequence(u"Ctrl+P"_s)});
    helpKey(this, 42);
    // Room for every column and a label under each month's bar; a smaller screen shrinks it.
    resize(1000, 560);
}

bool frmEves::trap(const QString& handler, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmEves - "_s + handler + u':', fn);
}

void frmEves::showYear(int year) {
    m_summary = summarizeYear(m_state, year);
    for (const QString& w : m_summary.warnings)
        if (m_state.prompter)
            m_state.prompter->ask(w, Ok, MsgIcon::Exclamation);
    const YearSummary& y = m_summary;
    tblEv->setRowCount(int(y.rows.size()) + 1);
    int r = 0;
    for (const YearRow& row : y.rows) {
        tblEv->setItem(r, 0, cell(MonthNames()[size_t(row.month - 1)], false));
        tblEv->setItem(r, 1, cell(km(rowStartText(row)), true));
        tblEv->setItem(r, 2, cell(km(rowKmText(row)), true));
        tblEv->setItem(r, 3, cell(km(yearKmText(row.closing())), true));
        tblEv->setItem(r, 4, cell(forint(rowCostText(row)), true));
        QTableWidgetItem* mark = cell(row.warned() ? u"!"_s : QString(), false, true);
        mark->setToolTip(yearRowWarning(row));
        mark->setForeground(Qt::red);
        tblEv->setItem(r, 5, mark);
        tblEv->setItem(r, 6, cell(km(rowPrivateText(row)), true));
        tblEv->setItem(r, 7, cell(rowShareText(row), true));
        ++r;
    }
    tblEv->setItem(r, 0, cell(u"Összesen"_s, false, true));
    tblEv->setItem(r, 1, cell(QString(), false));
    tblEv->setItem(r, 2, cell(km(totalKmText(y)), true, true));
    tblEv->setItem(r, 3, cell(QString(), false));
    tblEv->setItem(r, 4, cell(forint(totalCostText(y)), true, true));
    tblEv->setItem(r, 5, cell(QString(), false));
    tblEv->setItem(r, 6, cell(km(totalPrivateText(y)), true, true));
    tblEv->setItem(r, 7, cell(totalShareText(y), true, true));
    lblNyito->setText(u"Nyitó km-óra állás: "_s + km(yearKmText(y.opening())));
    lblZaro->setText(u"Záró km-óra állás: "_s + km(yearKmText(y.closing())));
    YearChart::show(fraGrafikon, y);
    const bool any = !y.rows.isEmpty();
    for (QPushButton* b : {cmdNyomtat, cmdPdf, cmdTablazat, cmdCsomag})
        b->setEnabled(any);
}

void frmEves::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(defaultPageLayout());
    if (!choosePrinter || !choosePrinter(printer))
        return;
    if (const Result r = paintYear(printer, m_state, m_summary); !r)
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
}

QString frmEves::askPath(const QString& caption, const QString& extension, const QString& filter) {
    return askExportPath(m_state, caption, suggestedYearFileName(m_state, m_summary.year, extension), filter);
}

void frmEves::saveAsPdf() {
    const QString path = askPath(u"Mentés PDF fájlba"_s, u"pdf"_s, u"PDF fájlok (*.pdf)"_s);
    if (path.isEmpty())
        return;
    if (const Result r = yearToPdf(m_state, m_summary, path); !r)
        m_state.prompter->inform(u"A PDF fájl nem írható.\r\n\r\n"_s + r.message(), MsgIcon::Exclamation);
}

void frmEves::saveAsSpreadsheet() {
    const QString path = askPath(u"Mentés táblázatba"_s, u"xlsx"_s, u"Excel-munkafüzet (*.xlsx)"_s);
    if (path.isEmpty())
        return;
    if (const Result r = saveXlsx(m_state.programDir, yearTable(m_summary), path); !r)
        m_state.prompter->inform(u"A táblázat nem írható.\r\n\r\n"_s + r.message(), MsgIcon::Exclamation);
}

void frmEves::savePack() {
    const QString path = askExportPath(m_state, u"Éves csomag mentése"_s, suggestedPackFileName(m_state, m_summary.year),
                                       u"PDF fájlok (*.pdf)"_s);
    if (path.isEmpty())
        return;
    YearPackInfo info;
    if (const Result r = yearPackToPdf(m_state, m_summary, path, &info); !r) {
        m_state.prompter->inform(u"A PDF fájl nem írható.\r\n\r\n"_s + r.message(), MsgIcon::Exclamation);
        return;
    }
    // A faulty month went in with its faults printed; the user is told which.
    if (info.faulty()) {
        QStringList months;
        for (const PackFile& file : std::as_const(info.files))
            if (!file.faults.isEmpty())
                months << printedMonthName(file.month);
        m_state.prompter->inform(u"Az éves csomag elkészült (%1 oldal), de hibás hónapot tartalmaz: %2. A hibák a "
                                 u"csomagban, a hónap papírjai előtt olvashatók."_s.arg(info.pages).arg(months.join(u", "_s)),
                                 MsgIcon::Exclamation);
    }
}

} // namespace rv
