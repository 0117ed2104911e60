#include "yearprintout.h"
#include "model/grouping.h"

#include "model/yearsummary.h"
#include "model/monthfacts.h"
#include "printing/canvas.h"
#include "printing/exportpath.h"
#include "printing/fit.h"
#include "printing/paintercanvas.h"
#include "storage/fileio.h"
#include "model/state.h"
#include "storage/tables.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kMargin = 700;
constexpr double kRow = 400;

QString num(qint64 v) { return groupedDigits(v); }
// A figure of the year's texts with its unit; the dashes of a missing one stand alone.
QString unit(const QString& figure, const QString& name) {
    return figure == u"–"_s || figure == u"-"_s ? figure : groupedFigure(figure) + u' ' + name;
}
QString km(const QString& figure) { return unit(figure, u"km"_s); }
QString forint(const QString& figure) { return unit(figure, u"Ft"_s); }

// A scale of four steps whose top reaches largest: the step a 1, 2, 2.5, 4, 5 or 8 times a
// power of ten, so every mark is a round figure.
qint64 scaleStep(qint64 largest) {
    const qint64 need = std::max<qint64>(1, (largest + 3) / 4);
    for (qint64 power = 1;; power *= 10)
        for (const qint64 tenths : {10, 20, 25, 40, 50, 80})
            if (const qint64 step = power * tenths / 10; power * tenths % 10 == 0 && step >= need)
                return step;
}

} // namespace

void drawYearBars(Canvas& c, const YearSummary& y, double x1, double top, double x2, double height) {
    c.setFontSize(8);
    double at = top;
    c.bar(x1, at + 60, x1 + 200, at + 200);
    c.printText(x1 + 260, at, u"üzleti km"_s);
    c.box(x1 + 1400, at + 60, x1 + 1600, at + 200);
    c.printText(x1 + 1660, at, u"magán km (az üzleti fölött), költség (Ft)"_s);
    at += kRow;
    qint64 maxKm = 1;
    qint64 maxCost = 1;
    for (const YearRow& r : y.rows) {
        maxKm = std::max(maxKm, r.km + r.privateKm);
        if (!r.missingPrice)
            maxCost = std::max(maxCost, r.cost);
    }
    // Each series against its own scale: km marked at the left, Ft at the right.
    const qint64 kmStep = scaleStep(maxKm);
    const qint64 costStep = scaleStep(maxCost);
    maxKm = 4 * kmStep;
    maxCost = 4 * costStep;
    const double base = at + height;
    const double left = x1 + c.textWidth(num(maxKm) + u" km"_s) + 120;
    const double plotRight = x2 - c.textWidth(num(maxCost) + u" Ft"_s) - 120;
    const double slot = (plotRight - left) / 12;
    for (int i = 0; i <= 4; ++i) {
        const double y = base - height * i / 4;
        const QString km = num(kmStep * i) + u" km"_s;
        const QString ft = num(costStep * i) + u" Ft"_s;
        c.line(left - 60, y, plotRight + 60, y);
        c.printText(left - 120 - c.textWidth(km), y - 100, km);
        c.printText(plotRight + 120, y - 100, ft);
    }
    for (int m = 1; m <= 12; ++m) {
        const double x = left + (m - 1) * slot;
        const QString label = MonthNames()[size_t(m - 1)].left(3);
        c.printText(x + (slot - c.textWidth(label)) / 2, base + 60, label);
    }
    // Business km filled with the private km outlined on top, cost outlined beside them.
    for (const YearRow& r : y.rows) {
        const double x = left + (r.month - 1) * slot;
        const double barWidth = slot * 0.3;
        const double kmTop = base - height * double(r.km) / double(maxKm);
        if (r.km > 0)
            c.bar(x + slot * 0.15, kmTop, x + slot * 0.15 + barWidth, base);
        if (r.privateKm > 0)
            c.box(x + slot * 0.15, kmTop - height * double(r.privateKm) / double(maxKm), x + slot * 0.15 + barWidth, kmTop);
        if (!r.missingPrice && r.cost > 0)
            c.box(x + slot * 0.55, base - height * double(r.cost) / double(maxCost), x + slot * 0.55 + barWidth, base);
    }
}

void layoutYear(Canvas& c, const AppState& s, const YearSummary& y) {
    static const CarRecord none;
    const CarRecord& car = s.currentCar >= 1 && s.currentCar <= s.carCount() ? s.car(s.currentCar) : none;
    const double W = c.scaleWidth();
    const double M = kMargin;
    const double right = W - M;

    const QString title = u"Éves összesítő – %1"_s.arg(y.year);
    c.setFontSize(18);
    c.setBold(true);
    drawFitted(c, M, right, 300, title, Align::Centre);
    c.setBold(false);
    c.setFontSize(10);
    double at = 1300;
    drawFitted(c, M, right, at, car.carType.trimmed() + u" típusú, "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsi"_s);
    at += kRow;
    drawFitted(c, M, right, at, u"Elszámoló neve: "_s + car.companyName.trimmed());
    at += kRow;
    drawFitted(c, M, right, at, u"Címe: "_s + car.city.trimmed() + u", "_s + car.companyAddress.trimmed());
    at += kRow;
    drawFitted(c, M, right, at, u"Év: "_s + QString::number(y.year));
    at += 2 * kRow;

    // Columns: the month at the left, numbers right-aligned to their column's end, the mark.
    const double span = right - M;
    const std::array<double, 7> ends = {M + span * 0.12, M + span * 0.26, M + span * 0.39, M + span * 0.53,
                                        M + span * 0.67, M + span * 0.80, M + span * 0.95};
    // Each figure right-aligned in its column, a gap clear of the one before; made smaller, never
    // cut, when it is wider.
    const double gap = 150;
    const auto rowAt = [&](const std::array<QString, 8>& cells) {
        drawFitted(c, M, ends[0] - gap, at, cells[0]);
        for (size_t i = 1; i < 7; ++i)
            drawFitted(c, ends[i - 1] + gap, ends[i], at, cells[i], Align::Right);
        drawFitted(c, ends[6] + 100, right, at, cells[7]);
        at += kRow;
    };
    c.setBold(true);
    rowAt({u"Hónap"_s, u"Kezdő állás"_s, u"Megtett km"_s, u"Záró állás"_s, u"Költség"_s, u"Magán km"_s,
           u"Üzleti arány"_s, QString()});
    c.setBold(false);
    c.bar(M, at - 40, right, at - 20);
    bool anyMark = false;
    for (const YearRow& r : y.rows) {
        anyMark = anyMark || r.warned();
        rowAt({MonthNames()[size_t(r.month - 1)], km(rowStartText(r)), km(rowKmText(r)), km(yearKmText(r.closing())),
               forint(rowCostText(r)), km(rowPrivateText(r)), rowShareText(r), r.warned() ? u"!"_s : QString()});
    }
    c.line(M, at - 30, right, at - 30);
    c.setBold(true);
    rowAt({u"Összesen"_s, QString(), km(totalKmText(y)), QString(), forint(totalCostText(y)), km(totalPrivateText(y)),
           totalShareText(y), QString()});
    c.setBold(false);
    at += kRow / 2;
    drawFitted(c, M, right, at, u"Nyitó km-óra állás: "_s + km(yearKmText(y.opening())));
    at += kRow;
    drawFitted(c, M, right, at, u"Záró km-óra állás: "_s + km(yearKmText(y.closing())));
    at += kRow;
    if (anyMark) {
        c.setFontSize(8);
        for (const YearRow& r : y.rows) {
            if (!r.warned())
                continue;
            drawFitted(c, M, right, at, u"! "_s + MonthNames()[size_t(r.month - 1)] + u": "_s + yearRowWarning(r));
            at += kRow * 0.8;
        }
        c.setFontSize(10);
        at += kRow * 0.2;
    }

    at += kRow;
    c.setBold(true);
    c.printText(M, at, u"Kilométer és költség havonta"_s);
    c.setBold(false);
    at += kRow;
    drawYearBars(c, y, M, at, right, 3000);
    c.setFontSize(10);
}

Result paintYear(QPagedPaintDevice& device, const AppState& s, const YearSummary& y) {
    QPainter painter;
    if (!painter.begin(&device))
        return Result::failure(u"A nyomtatás nem indítható el."_s, 75);
    PainterCanvas canvas(painter, double(device.width()) / double(device.logicalDpiX()) * kTwipsPerInch);
    layoutYear(canvas, s, y);
    if (!painter.end())
        return Result::failure(u"A nyomtatás nem fejeződött be."_s, 75);
    return Result::success();
}

Result yearToPdf(const AppState& s, const YearSummary& y, const QString& path) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Result r = Result::success();
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(defaultPageLayout());
        writer.setResolution(1200);
        writer.setCreator(programTitle());
        writer.setTitle(u"Éves összesítő"_s);
        r = paintYear(writer, s, y);
    }
    if (!r)
        return r;
    return saveExportFile(s.programDir, path, buffer.data());
}

QString suggestedYearFileName(const AppState& s, int year, const QString& extension) {
    const QString plate = s.currentCar >= 1 && s.currentCar <= s.carCount() ? s.car(s.currentCar).plateNumber : QString();
    return exportFileName(plate, year, 0, 0, u"eves"_s, extension);
}

SheetTable yearTable(const YearSummary& y) {
    SheetTable t;
    t.name = u"%1. év"_s.arg(y.year);
    t.columns = {{u"Hónap"_s, CellFormat::Month},          {u"Kezdő km-óra állás"_s, CellFormat::Km},
                 {u"Megtett km"_s, CellFormat::Km},        {u"Záró km-óra állás"_s, CellFormat::Km},
                 {u"Költség"_s, CellFormat::Forint},       {u"Figyelmeztetés"_s, CellFormat::Text},
                 {u"Magán km"_s, CellFormat::Km},          {u"Üzleti arány"_s, CellFormat::Percent}};
    // A cell is its number where there is one, else the dash the other outputs show.
    const auto number = [](const std::optional<qint64>& v) { return v ? SheetCell::of(*v) : SheetCell::of(u"–"_s); };
    const auto cost = [](bool known, qint64 value, bool missing) {
        return !known ? SheetCell::of(u"–"_s) : missing ? SheetCell::of(u"-"_s) : SheetCell::of(value);
    };
    const auto share = [](bool known, qint64 business, qint64 privateKm) {
        const auto tenths = known ? businessShareTenths(business, privateKm) : std::nullopt;
        return tenths ? SheetCell::share(*tenths) : SheetCell::of(u"–"_s);
    };
    for (const YearRow& r : y.rows) {
        const bool known = r.readable();
        t.rows.append({SheetCell::of(QDate(y.year, r.month, 1)),
                       number(r.closing() ? std::optional<qint64>(r.start) : std::nullopt),
                       number(known ? std::optional<qint64>(r.km) : std::nullopt), number(r.closing()),
                       cost(known, r.cost, r.missingPrice), SheetCell::of(yearRowWarning(r)),
                       number(known ? std::optional<qint64>(r.privateKm) : std::nullopt), share(known, r.km, r.privateKm)});
    }
    t.totals.append({SheetCell::of(u"Összesen"_s), {},
                     number(y.incomplete ? std::nullopt : std::optional<qint64>(y.totalKm)), {},
                     cost(!y.incomplete, y.totalCost, y.missingPrice), {},
                     number(y.incomplete ? std::nullopt : std::optional<qint64>(y.totalPrivateKm)),
                     share(!y.incomplete, y.totalKm, y.totalPrivateKm)});
    t.totals.append({SheetCell::of(u"Nyitó km-óra állás"_s), number(y.opening())});
    t.totals.append({SheetCell::of(u"Záró km-óra állás"_s), {}, {}, number(y.closing())});
    return t;
}

} // namespace rv
