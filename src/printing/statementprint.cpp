#include "printout.h"

#include "model/chain.h"
#include "model/cost.h"
#include "model/decimal.h"
#include "model/grouping.h"
#include "model/monthfacts.h"
#include "model/monthprice.h"
#include "model/norms.h"
#include "printing/sheet.h"
#include "model/state.h"

#include <cmath>

// The cost statement: the month's figures by route type, the fuel used and the prices it took.

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QString num(qint64 v) { return QString::number(v); }

const QString kStatementTitle = u"Melléklet: Költségelszámolás"_s;

class StatementLayout {
public:
    StatementLayout(Canvas& canvas, const AppState& s, const MonthLog& log, const StatementSums& sums, SeasonBox box,
                    float season, const Twin& twin)
        : sh(canvas, twin), s(s), log(log), sums(sums), box(box), season(season), car(printedCar(s)) {}

    int run() {
        Canvas& c = sh.c;
        const double U = sh.U;
        const double M = sh.M;
        int n = header();
        c.setFontSize(10);
        sh.text(M, n * U, u"Kezdő km-óra állás: "_s + groupedDigits(log.startOdometer) + u" km"_s);
        ++n;
        const MonthReading reading = printedReading(log);
        sh.text(M, n * U, u"Záró km-óra állás: "_s + closingReadingText(printedReading(log), Digits::Grouped) + u" (üzleti: "_s + groupedDigits(reading.km) +
                              u" km, magán: "_s + groupedDigits(reading.privateKm) + u" km, üzleti arány: "_s +
                              businessShareText(reading.km, reading.privateKm) + u")"_s);
        ++n;
        const int fuel = car.fuelType;
        const QString fuelName = fuel >= 1 && fuel <= kFuelTypeCount ? s.fuelTypes[size_t(fuel - 1)].name : QString();
        sh.text(M, n * U, u"Gépkocsi fogyasztása: "_s + singleText(car.consumption) + u' ' + unit + u"/100 km, "_s +
                              fuelName + u" típusú üzemanyag"_s);
        ++n;
        if (s.carFacts.norm == NormKind::Flat) {
            n += sh.paragraph(n, flatNormStatementLine(normFuelOf(car.fuelType - 1)));
        } else if (box != SeasonBox::None) {
            const QString what = box == SeasonBox::AirConditioning ? u"Klímahasználat"_s : u"Téli üzemeltetés"_s;
            sh.text(M, n * U, what + u" miatt felhasznált szorzó: "_s + singleText(season));
            ++n;
        }
        sh.text(M, n * U, u"Általános költség: "_s + singleText(car.generalCost) + u" Ft/km"_s);
        n += 2;

        c.setBold(true);
        row(n, {u"Úttípus"_s, u"Megtett út"_s, u"Szorzó"_s, u"Költség"_s});
        ++n;
        rule();
        c.setBold(false);
        for (int r = 1; r <= kRouteTypeCount; ++r) {
            const size_t i = size_t(r - 1);
            if (!sums.used[i])
                continue;
            row(n, {routeTypeText(s, r), groupedDigits(sums.km[i]) + u" km"_s, singleText(routeMultiplier(s, r)),
                    groupedDigits(sums.cost[i]) + u" Ft"_s});
            ++n;
            rule();
        }
        // What the total is made of: the fuel by the norm and the general cost by the km.
        row(n, {u"Üzemanyagköltség:"_s, QString(), QString(), groupedDigits(sums.fuelCost) + u" Ft"_s});
        ++n;
        row(n, {u"Általános költség:"_s, QString(), QString(), groupedDigits(sums.generalCost) + u" Ft"_s});
        ++n;
        rule();
        c.setBold(true);
        row(n, {u"Összesen: "_s, groupedDigits(sums.totalKm) + u" km"_s, QString(), groupedDigits(sums.totalCost) + u" Ft"_s});
        c.setBold(false);
        n += 2;
        const QString used = u"Felhasznált üzemanyag: "_s + tenthsText(sums.fuelTenths) + u' ' + unit;
        sh.text(M, n * U, used);
        // The cost is not the litres times the price: each leg is reckoned and cut on its own.
        const double noteLeft = M + c.textWidth(used) + sh.at(300);
        c.setFontSize(8);
        sh.cell(noteLeft, sh.W - M, n * U, kPerLegNote, Align::Left, U);
        c.setFontSize(10);
        ++n;

        heading(n, u"Felhasznált üzemanyagárak:"_s);
        ++n;
        const QVector<PriceRun>& periods = sums.prices;
        for (qsizetype i = 0; i < periods.size(); ++i) {
            sh.text(M, n * U, pricePeriodText(log.year, log.month, periods[i], sums.measure));
            ++n;
            if (n >= kPageEndRow && i + 1 < periods.size()) {
                sh.nextPage();
                n = header();
                heading(n, u"Felhasznált üzemanyagárak folyt.:"_s);
                ++n;
            }
        }
        // A figure the statement cannot vouch for is said under the prices.
        for (const QString& doubt : sums.doubts) {
            if (n >= kPageEndRow) {
                sh.nextPage();
                n = header();
            }
            n += sh.paragraph(n, doubt);
        }
        return sh.page;
    }

private:
    int header() {
        Canvas& c = sh.c;
        sh.pageLine(kStatementTitle, 8, false);
        sh.title(kStatementTitle);
        sh.text(sh.M, sh.at(1000),
                car.carType.trimmed() + u" típusú, "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsi "_s);
        sh.text(sh.M, c.currentY(), num(log.year) + u". "_s + printedMonthName(log.month) + u" havi útnyilvántartásához"_s);
        sh.text(sh.M, c.currentY(), u"Gépkocsivezető: "_s + car.userName.trimmed());
        return 4;
    }
    void heading(int n, const QString& text) {
        sh.c.setBold(true);
        sh.c.setUnderline(true);
        sh.text(sh.M, n * sh.U, text);
        sh.c.setBold(false);
        sh.c.setUnderline(false);
    }
    // A cell takes a second line, smaller, rather than run into the next column.
    void row(int n, const std::array<QString, 4>& cells) {
        const double q = (sh.W - sh.M) / 4;
        m_rowHeight = 0;
        for (size_t i = 0; i < cells.size(); ++i)
            if (!cells[i].isEmpty())
                m_rowHeight = std::max(
                    m_rowHeight, sh.cell(sh.M + double(i) * q,
                                         i + 1 < cells.size() ? sh.M + double(i + 1) * q - sh.at(100) : sh.W - sh.M,
                                         n * sh.U, cells[i], Align::Left, 0.9 * sh.U));
        m_rowTop = n * sh.U;
    }
    // Under the row last laid out.
    void rule() {
        const double y = m_rowTop + m_rowHeight;
        sh.line(sh.M, y, sh.W - sh.M, y);
    }

    Sheet sh;
    const AppState& s;
    const MonthLog& log;
    const StatementSums& sums;
    SeasonBox box;
    float season;
    const CarRecord& car;
    const QString unit = measureUnit(sums.measure);
    double m_rowTop = 0;
    double m_rowHeight = 0;
};

} // namespace

const QString kPerLegNote =
    u"Minden út költsége külön, lefelé kerekítve számít, ezért eltérhet a mennyiség × ár szorzatától."_s;

StatementSums statementOf(const MonthReckoning& r) {
    StatementSums sums;
    for (const ReckonedLeg& leg : r.legs) {
        // Route types past the six of the table still count in the totals, as in the editor.
        if (leg.routeType >= 1 && leg.routeType <= kRouteTypeCount) {
            const size_t i = size_t(leg.routeType - 1);
            sums.cost[i] = addSaturated(sums.cost[i], leg.total());
            sums.km[i] += leg.km;
            sums.used[i] = true;
        }
    }
    sums.totalCost = r.total;
    sums.fuelCost = r.fuelCost;
    sums.generalCost = r.generalCost;
    sums.totalKm = r.km;
    sums.fuelTenths = r.fuelTenths;
    sums.prices = priceRuns(r);
    sums.measure = r.measure;
    sums.doubts = r.doubts();
    sums.missingPrice = r.missingPrice;
    return sums;
}

StatementSums computeStatement(const AppState& s, const MonthLog& log, float season) {
    return statementOf(reckonMonth(s, log, Season{SeasonBox::None, season}));
}

QString pricePeriodText(int year, int month, const PriceRun& run, FuelMeasure measure) {
    const QString prefix = num(year) + u". "_s + printedMonthName(month) + u' ';
    QString text = prefix + num(run.firstDay) + u'.';
    if (run.lastDay > run.firstDay)
        text += u" - "_s + prefix + num(run.lastDay) + u'.';
    return text + u": "_s + groupedDigits(run.price.price) + u' ' + priceUnit(measure) + u" ("_s +
           priceOriginText(run.price, year, month) + u')';
}

QString tenthsText(qint64 tenths) {
    const qint64 whole = tenths / 10;
    const qint64 tenth = std::abs(tenths % 10);
    QString text = (tenths < 0 && whole == 0 ? u"-"_s : QString()) + QString::number(whole);
    if (tenth != 0)
        text += u'.' + QString::number(tenth);
    return shownNumber(text);
}

int layoutStatement(Canvas& canvas, const AppState& s, const MonthLog& log, const StatementSums& sums, SeasonBox box,
                    float season, const Twin& twin) {
    return StatementLayout(canvas, s, log, sums, box, season, twin).run();
}

} // namespace rv
