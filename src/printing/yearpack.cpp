#include "yearpack.h"

#include "model/carfacts.h"
#include "model/chain.h"
#include "model/cost.h"
#include "model/grouping.h"
#include "model/logbookfile.h"
#include "model/state.h"
#include "model/yearsummary.h"
#include "printing/canvas.h"
#include "printing/exportpath.h"
#include "printing/fit.h"
#include "printing/paintercanvas.h"
#include "printing/printout.h"
#include "printing/sheet.h"
#include "printing/travelorder.h"
#include "printing/yearprintout.h"
#include "storage/fileio.h"
#include "storage/tables.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDate>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::Literals::StringLiterals;

namespace rv {

bool YearPackInfo::faulty() const {
    return std::any_of(files.cbegin(), files.cend(), [](const PackFile& f) { return !f.faults.isEmpty(); });
}

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kMargin = 1000;
constexpr double kRow = 400;

// Passes everything on and writes the pack's page number at the foot of each page.
class FooterCanvas : public Canvas {
public:
    FooterCanvas(Canvas& inner, double height, QString label, int total)
        : m(inner), m_height(height), m_label(std::move(label)), m_total(total) {}

    double scaleWidth() const override { return m.scaleWidth(); }
    void setFontSize(double points) override { m.setFontSize(points); }
    double fontSize() const override { return m.fontSize(); }
    void setBold(bool on) override {
        m_bold = on;
        m.setBold(on);
    }
    void setUnderline(bool on) override {
        m_underline = on;
        m.setUnderline(on);
    }
    double textWidth(const QString& text) const override { return m.textWidth(text); }
    void printText(double x, double y, const QString& text) override { m.printText(x, y, text); }
    void printTextIn(double x, double y, const QString& text, double left, double right) override {
        m.printTextIn(x, y, text, left, right);
    }
    double currentY() const override { return m.currentY(); }
    void line(double x1, double y1, double x2, double y2) override { m.line(x1, y1, x2, y2); }
    void box(double x1, double y1, double x2, double y2) override { m.box(x1, y1, x2, y2); }
    void bar(double x1, double y1, double x2, double y2) override { m.bar(x1, y1, x2, y2); }
    void newPage() override {
        footer();
        m.newPage();
        ++page;
    }
    void footer() {
        const double size = m.fontSize();
        m.setBold(false);
        m.setUnderline(false);
        m.setFontSize(7);
        const QString text = m_label + u" – "_s + QString::number(page) + u". oldal"_s +
                             (m_total > 0 ? u" / "_s + QString::number(m_total) : QString());
        drawFitted(m, kMargin, m.scaleWidth() - kMargin, m_height - lineHeight(7) - 40, text, Align::Centre);
        m.setFontSize(size);
        m.setBold(m_bold);
        m.setUnderline(m_underline);
    }

    int page = 1;

private:
    Canvas& m;
    double m_height;
    QString m_label;
    int m_total;
    bool m_bold = false;
    bool m_underline = false;
};

// Measures as the canvas does and draws nothing: the first pass, which finds the pages.
class DryCanvas : public Canvas {
public:
    explicit DryCanvas(Canvas& measure) : m(measure) {}
    double scaleWidth() const override { return m.scaleWidth(); }
    void setFontSize(double points) override { m.setFontSize(points); }
    double fontSize() const override { return m.fontSize(); }
    void setBold(bool on) override { m.setBold(on); }
    void setUnderline(bool on) override { m.setUnderline(on); }
    double textWidth(const QString& text) const override { return m.textWidth(text); }
    void printText(double, double y, const QString&) override { m_y = y + lineHeight(m.fontSize()); }
    double currentY() const override { return m_y; }
    void line(double, double, double, double) override {}
    void box(double, double, double, double) override {}
    void bar(double, double, double, double) override {}
    void newPage() override {}

private:
    Canvas& m;
    double m_y = 0;
};

QString monthTitle(int year, int month) { return QString::number(year) + u". "_s + printedMonthName(month); }

QString normSource(NormKind kind) {
    return kind == NormKind::Flat ? u"60/1992. (IV. 1.) Korm. rendelet 2. § (1) b) és 4. §"_s
                                  : u"60/1992. (IV. 1.) Korm. rendelet 2. § (1) a)"_s;
}

QString fileSha256(const AppState& s, const QString& fileName) {
    QByteArray bytes;
    if (!readWholeFile(s.carPath(fileName), bytes))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

class PackLayout {
public:
    PackLayout(Canvas& c, const AppState& s, const YearSummary& y, double height, const YearPackInfo* plan)
        : s(s), y(y), plan(plan), car(printedCar(s)),
          f(c, height, exportFileName(car.plateNumber, y.year, 0, 0, u"eves_csomag"_s, u"pdf"_s).chopped(4),
            plan ? plan->pages : 0) {}

    YearPackInfo run() {
        info.travelOrders = !s.carFacts.taxId.trimmed().isEmpty();
        for (const YearRow& row : y.rows)
            info.files.append(PackFile{row.month, row.fileName, row.fileName.isEmpty() ? QString() : fileSha256(s, row.fileName),
                                       row.warned() ? QStringList{yearRowWarning(row)} : QStringList()});
        section(u"Borító"_s);
        cover();
        section(u"Tartalom"_s);
        contents();
        section(u"A felhasznált NAV-üzemanyagárak"_s);
        prices();
        for (qsizetype i = 0; i < y.rows.size(); ++i)
            month(y.rows[i], info.files[i]);
        section(u"Éves összesítő"_s);
        layoutYear(f, s, y);
        section(u"Ellenőrző összegek"_s);
        checksums();
        f.footer();
        info.pages = f.page;
        return info;
    }

private:
    void section(const QString& title) {
        if (!info.sections.isEmpty())
            f.newPage();
        info.sections.append(PackSection{title, f.page});
    }
    double right() const { return f.scaleWidth() - kMargin; }
    // A line of text from the margin, broken as it needs; returns the height taken.
    double line(double at, const QString& text, double size = 10, bool isBold = false) {
        f.setFontSize(size);
        f.setBold(isBold);
        const QStringList lines = wrapText(f, text, right() - kMargin);
        for (qsizetype i = 0; i < lines.size(); ++i)
            f.printTextIn(kMargin, at + double(i) * lineHeight(size), lines[i], kMargin, right());
        f.setBold(false);
        return double(lines.size()) * lineHeight(size) + (kRow - lineHeight(10));
    }
    void title(const QString& text) {
        f.setFontSize(18);
        f.setBold(true);
        drawFitted(f, kMargin, right(), 300, text, Align::Centre);
        f.setBold(false);
        f.setFontSize(10);
    }

    void cover() {
        title(u"Éves csomag – %1"_s.arg(y.year));
        double at = 1400;
        at += line(at, car.carType.trimmed() + u" típusú, "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsi"_s, 12, true);
        at += line(at, u"Gépkocsivezető: "_s + car.userName.trimmed() + u", adóazonosító jele: "_s +
                           (s.carFacts.taxId.isEmpty() ? u"nincs megadva"_s : s.carFacts.taxId));
        QStringList company{car.companyName.trimmed(), car.city.trimmed(), car.companyAddress.trimmed()};
        company.removeAll(QString());
        at += line(at, u"Elszámoló: "_s + (company.isEmpty() ? u"nincs megadva"_s : company.join(u", "_s)));
        at += line(at, u"Norma: "_s + singleText(car.consumption) + u' ' + fuelUnit(s) + u"/100 km, "_s +
                           normKindName(s.carFacts.norm) + u" ("_s + normSource(s.carFacts.norm) + u')');
        at += kRow;
        const auto withUnit = [](const QString& figure, const QString& unit) {
            return figure == u"–"_s || figure == u"-"_s ? figure : groupedFigure(figure) + u' ' + unit;
        };
        at += line(at, u"Az év üzleti km-e: "_s + withUnit(totalKmText(y), u"km"_s), 12, true);
        at += line(at, u"Magán km: "_s + withUnit(totalPrivateText(y), u"km"_s));
        at += line(at, u"Üzleti arány: "_s + totalShareText(y));
        const QString cost = totalCostText(y);
        at += line(at, u"Az év költsége: "_s +
                           (cost == u"-"_s   ? u"nem számolható, egy hónapnak hiányzik a benzinára"_s
                            : cost == u"–"_s ? u"nem számolható, van olvashatatlan hónap"_s
                                             : withUnit(cost, u"Ft"_s)),
                   12, true);
        at += line(at, u"Nyitó km-óra állás: "_s + withUnit(yearKmText(y.opening()), u"km"_s));
        at += line(at, u"Záró km-óra állás: "_s + withUnit(yearKmText(y.closing()), u"km"_s));
        at += kRow;
        QStringList faulty;
        for (const PackFile& file : std::as_const(info.files))
            if (!file.faults.isEmpty())
                faulty << printedMonthName(file.month);
        at += line(at, u"Hónapok: %1"_s.arg(y.rows.size()) +
                           (faulty.isEmpty() ? u", hiba nélkül."_s : u"; hibás: "_s + faulty.join(u", "_s) + u'.'));
        if (y.incomplete)
            at += line(at, u"Az évnek nincs összesítése: van olvashatatlan hónapja."_s);
        at += line(at, u"Készült: "_s + QDate::currentDate().toString(u"yyyy.MM.dd."_s) + u", "_s + programTitle());
    }

    void contents() {
        title(u"Tartalom"_s);
        double at = 1400;
        const double numberLeft = right() - 1200;
        f.setFontSize(9);
        for (const PackSection& sec : plan ? plan->sections : info.sections) {
            drawFitted(f, kMargin, numberLeft - 200, at, sec.title);
            drawFitted(f, numberLeft, right(), at, QString::number(sec.firstPage) + u". oldal"_s, Align::Right);
            at += lineHeight(9) + 30;
        }
        f.setFontSize(10);
    }

    void prices() {
        title(u"A felhasznált NAV-üzemanyagárak"_s);
        double at = 1400;
        at += line(at, u"Üzemanyag: "_s + (car.fuelType >= 1 && car.fuelType <= kFuelTypeCount
                                                ? s.fuelTypes[size_t(car.fuelType - 1)].name
                                                : QString()));
        for (const YearRow& row : y.rows) {
            for (const PriceRun& run : row.prices)
                at += line(at, pricePeriodText(y.year, row.month, run, y.measure), 9);
            if (row.missingPrice)
                at += line(at, monthTitle(y.year, row.month) + u": van nap, amelyre nincs ár."_s, 9);
            if (!row.priceFault.isEmpty())
                at += line(at, row.priceFault, 9);
        }
    }

    void month(const YearRow& row, const PackFile& file) {
        const QString name = monthTitle(y.year, row.month);
        if (!file.faults.isEmpty()) {
            section(name + u" – hibák"_s);
            title(name + u" – hibák"_s);
            double at = 1400;
            for (const QString& fault : file.faults)
                at += line(at, fault);
            line(at, u"A hónap így került a csomagba."_s);
        }
        StoredLogbook stored;
        if (const Result r = readLogbookFile(s.carPath(row.fileName), stored, s.programDir); !r) {
            if (file.faults.isEmpty()) {
                section(name + u" – hibák"_s);
                line(1400, r.message());
            }
            return;
        }
        const MonthLog log = monthFromStored(s, stored, row.fileName);
        const Season season = seasonOf(s, row.season);
        section(name + u" – útnyilvántartás"_s);
        layoutPrintout(f, s, log, Printout::Logbook, season, Twin::printer());
        section(name + u" – költségelszámolás"_s);
        if (const Result r = layoutPrintout(f, s, log, Printout::CostStatement, season, Twin::printer()); !r)
            line(1400, r.message());
        if (info.travelOrders && !computeTravelOrder(s, log, season.multiplier).days.isEmpty()) {
            section(name + u" – kiküldetési rendelvények"_s);
            if (const Result r = layoutPrintout(f, s, log, Printout::TravelOrder, season, Twin::printer()); !r)
                line(1400, r.message());
        }
    }

    void checksums() {
        title(u"Ellenőrző összegek"_s);
        double at = 1400;
        at += line(at, u"A csomag a hónapok alábbi fájljaiból készült. Egy fájl későbbi változása vagy cseréje "
                       u"megmutatkozik: a fájl SHA-256 összege már nem egyezik az itt leírttal. Ellenőrzés: "
                       u"sha256sum FÁJL (Linux), certutil -hashfile FÁJL SHA256 (Windows)."_s);
        at += line(at, u"A fájlok helye: "_s + s.carPath(QString()), 9);
        at += kRow / 2;
        for (const PackFile& file : std::as_const(info.files)) {
            at += line(at, monthTitle(y.year, file.month) + u": "_s + file.fileName, 9, true);
            at += line(at, file.sha256.isEmpty() ? u"a fájl nem olvasható"_s : file.sha256, 9);
        }
        at += kRow / 2;
        line(at, u"Program: "_s + programTitle());
    }

    const AppState& s;
    const YearSummary& y;
    const YearPackInfo* plan;
    const CarRecord& car;
    FooterCanvas f;
    YearPackInfo info;
};

} // namespace

YearPackInfo layoutYearPack(Canvas& canvas, const AppState& s, const YearSummary& y, double pageHeight) {
    DryCanvas dry(canvas);
    const YearPackInfo plan = PackLayout(dry, s, y, pageHeight, nullptr).run();
    return PackLayout(canvas, s, y, pageHeight, &plan).run();
}

Result yearPackToPdf(const AppState& s, const YearSummary& y, const QString& path, YearPackInfo* info) {
    if (Result r = checkExportTarget(s.programDir, path); !r)
        return r;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    YearPackInfo made;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(defaultPageLayout());
        writer.setResolution(1200);
        writer.setCreator(programTitle());
        writer.setTitle(u"Éves csomag – %1"_s.arg(y.year));
        QPainter painter;
        if (!painter.begin(&writer))
            return Result::failure(u"A nyomtatás nem indítható el."_s, 75);
        const double width = double(writer.width()) / double(writer.logicalDpiX()) * kTwipsPerInch;
        const double height = double(writer.height()) / double(writer.logicalDpiY()) * kTwipsPerInch;
        PainterCanvas canvas(painter, width, &writer);
        made = layoutYearPack(canvas, s, y, height);
        if (!painter.end())
            return Result::failure(u"A nyomtatás nem fejeződött be."_s, 75);
    }
    if (info)
        *info = made;
    return saveExportFile(s.programDir, path, buffer.data());
}

QString suggestedPackFileName(const AppState& s, int year) {
    return exportFileName(printedCar(s).plateNumber, year, 0, 0, u"eves_csomag"_s, u"pdf"_s);
}

} // namespace rv
