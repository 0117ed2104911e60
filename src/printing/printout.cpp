#include "printout.h"
#include "model/grouping.h"

#include "model/chain.h"
#include "model/decimal.h"
#include "model/norms.h"

#include "model/cost.h"
#include "model/monthfacts.h"
#include "model/monthprice.h"
#include "printing/canvas.h"
#include "printing/travelorder.h"
#include "storage/records.h"
#include "storage/state.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

using Leg = LogbookLeg;

const QString kLogbookTitle = u"Útnyilvántartás"_s;
const QString kStatementTitle = u"Melléklet: Költségelszámolás"_s;

bool validPartner(const AppState& s, int p) {
    return p >= 1 && p <= s.partnerCount() && p <= s.distances.size();
}

// Days past the end of the month are never printed nor costed, so they are not counted either:
// otherwise a full last page would break onto a page holding nothing but the total.
QVector<Leg> monthLegs(const AppState& s, const MonthLog& log) {
    QVector<Leg> legs;
    const int width = std::min(log.stopWidth, log.stops.columns());
    if (width < 2)
        return legs;
    const int days = daysInMonth(log.year, log.month);
    for (int day = 1; day <= days && day <= kLogDays; ++day) {
        if (log.stops.at(day, 1) == 0 || log.stops.at(day, 2) == 0)
            continue;
        for (int j = 2; j <= width; ++j) {
            const int p = log.stops.at(day, j - 1);
            const int q = log.stops.at(day, j);
            if (q == 0 || !validPartner(s, p) || !validPartner(s, q))
                continue;
            const DistanceCell& cell = s.distances.at(p, q);
            const bool another = j < width && log.stops.at(day, j + 1) != 0;
            legs.append(Leg{day, p, q, cell.distance, cell.routeType, !another});
        }
    }
    return legs;
}

// The rows of the printed logbook: every leg, and under a day's last leg the day's comment when
// it has one (the purpose of the trips). Months without comments keep their rows and pages.
struct LogbookRow {
    Leg leg;
    bool comment = false; // the row of leg.day's comment
};
QVector<LogbookRow> logbookRows(const AppState& s, const MonthLog& log) {
    QVector<LogbookRow> rows;
    for (const Leg& leg : monthLegs(s, log)) {
        rows.append(LogbookRow{leg, false});
        if (leg.lastOfDay && !log.comments[size_t(leg.day - 1)].trimmed().isEmpty())
            rows.append(LogbookRow{leg, true});
    }
    return rows;
}

// Inside a printed sentence or date a month name is written small ("2002. március hónapra",
// "március 5."); the capitalised table suits the editor's headline only.
QString monthName(int month) {
    return month >= 1 && month <= 12 ? MonthNames()[size_t(month - 1)].toLower() : QString();
}

QString routeTypeName(const AppState& s, int routeType) {
    if (routeType < 1 || routeType > kMultiplierCount)
        return {};
    return s.multipliers[size_t(routeType - 1)].name;
}

const CarRecord& currentCar(const AppState& s) {
    static const CarRecord none;
    if (s.currentCar < 1 || s.currentCar > s.carCount())
        return none;
    return s.car(s.currentCar);
}

QString num(qint64 v) { return QString::number(v); }
// A figure in km or Ft, grouped by threes as people read it.
QString amount(qint64 v) { return groupedDigits(v); }

// The month's readings with its private use; the closing reading as printed ("–" without a start).
MonthReading readingOf(const MonthLog& log) {
    return monthReading(log.year, log.month, log.startOdometer, log.monthKm, monthFactsOf(log));
}
QString closingText(const MonthLog& log) {
    const MonthReading r = readingOf(log);
    return r.start == 0 && !r.real ? u"–"_s : amount(r.closing()) + u" km"_s;
}

// Forwards to the canvas what belongs to the page shown; the printer is shown every page.
class Sheet {
public:
    Sheet(Canvas& canvas, const Twin& twin) : c(canvas), t(twin) {}

    bool shown() const { return !t.isPreview() || t.pageShown == page; }
    void text(double x, double y, const QString& s) {
        if (shown())
            c.printText(x, y, s);
    }
    void line(double x1, double y1, double x2, double y2) {
        if (shown())
            c.line(x1, y1, x2, y2);
    }
    void box(double x1, double y1, double x2, double y2) {
        if (shown())
            c.box(x1, y1, x2, y2);
    }
    void bar(double x1, double y1, double x2, double y2) {
        if (shown())
            c.bar(x1, y1, x2, y2);
    }
    void nextPage() {
        ++page;
        if (!t.isPreview())
            c.newPage();
    }
    // Scaled fixed position.
    double at(double printerTwips) const { return printerTwips * t.scale(); }

    // The title of every page, centred; leaves the plain size 10 the page goes on with.
    void title(const QString& title) {
        c.setFontSize(20);
        c.setBold(true);
        c.setUnderline(true);
        text((W - c.textWidth(title)) / 2, at(300), title);
        c.setUnderline(false);
        c.setBold(false);
        c.setFontSize(10);
    }
    // The page number at the right and the program at the left, in the font given, which stays.
    // On the row below the title as long as the title, centred, leaves them room; else above it,
    // at the top edge (a long title on the preview's narrower page).
    void pageLine(const QString& pageTitle, double points, bool isBold) {
        c.setFontSize(20);
        c.setBold(true);
        const double titleWidth = c.textWidth(pageTitle);
        c.setFontSize(points);
        c.setBold(isBold);
        const QString number = num(page) + u". oldal"_s;
        const double left = M + c.textWidth(programTitle());
        const double right = W - c.textWidth(number) - M;
        const double gap = at(100);
        const double titleLeft = (W - titleWidth) / 2;
        const bool crowded = titleLeft < left + gap || titleLeft + titleWidth > right - gap;
        const double y = crowded ? 0 : at(500);
        text(right, y, number);
        text(M, y, programTitle());
    }


    Canvas& c;
    const Twin& t;
    const double W = c.scaleWidth();
    const double M = t.margin();
    const double U = t.rowUnit();
    int page = 1;
};

// --- logbook ---

class LogbookLayout {
public:
    LogbookLayout(Canvas& canvas, const AppState& s, const MonthLog& log, const Twin& twin)
        : sh(canvas, twin), s(s), log(log), car(currentCar(s)) {}

    int run() {
        const QVector<LogbookRow> rows = logbookRows(s, log);
        int n = header();
        qint64 pageKm = 0;
        qint64 runningKm = 0;
        qsizetype remaining = rows.size();
        const QString month = monthName(log.month);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Leg& leg = rows[i].leg;
            const double yA = (n - 0.5) * sh.U;
            const double yB = n * sh.U;
            double below = 0; // a one-line comment still takes the row's two lines
            if (rows[i].comment) {
                const QStringList lines = commentLines(log.comments[size_t(leg.day - 1)].trimmed());
                sh.text(X1, yA, lines.value(0));
                if (lines.size() > 1)
                    sh.text(X1, yB, lines.value(1));
                else
                    below = yB - yA;
            } else {
                sh.text(X1, yA, month + u' ' + num(leg.day) + u'.');
                sh.text(X2, yA, partnerAddress(s.partner(leg.from)));
                sh.text(X3, yA, partnerAddress(s.partner(leg.to)));
                sh.text(X1, yB, amount(leg.km) + u" km"_s);
                sh.text(X2, yB, routeTypeName(s, leg.routeType));
                sh.text(X3, yB, s.partner(leg.to).name);
                pageKm += leg.km;
            }
            const double y = sh.c.currentY() + below;
            const bool dayEnds = leg.lastOfDay && (rows[i].comment || i + 1 == rows.size() || !rows[i + 1].comment);
            if (dayEnds)
                sh.bar(sh.M, y - 8, sh.W - sh.M, y + 7);
            else
                sh.line(sh.M, y, sh.W - sh.M, y);
            --remaining;
            ++n;
            if (n == kPageEndRow && remaining != 0) {
                sh.text(X1, (n - 0.5) * sh.U, amount(pageKm) + u" km a lapon"_s);
                runningKm += pageKm;
                sh.text(X1, n * sh.U, amount(runningKm) + u" göngyölt km"_s);
                sh.nextPage();
                n = header();
                pageKm = 0;
            }
        }
        sh.text(X1, (n - 0.5) * sh.U, amount(pageKm) + u" km a lapon"_s);
        sh.c.setBold(true);
        sh.c.setUnderline(true);
        sh.text(X1, n * sh.U, u"Összesen: "_s + amount(runningKm + pageKm) + u" km"_s);
        sh.c.setBold(false);
        sh.c.setUnderline(false);
        return sh.page;
    }

private:
    // "Megjegyzés: " and the comment on the two lines of a row, broken between words; what does
    // not fit ends in an ellipsis.
    QStringList commentLines(const QString& comment) const {
        const double width = sh.W - sh.M - X1;
        QStringList lines{QString()};
        const QStringList words = (u"Megjegyzés: "_s + comment).split(u' ', Qt::SkipEmptyParts);
        for (qsizetype w = 0; w < words.size(); ++w) {
            const QString joined = lines.last().isEmpty() ? words[w] : lines.last() + u' ' + words[w];
            if (sh.c.textWidth(joined) <= width || lines.last().isEmpty()) {
                lines.last() = joined;
            } else if (lines.size() < 2) {
                lines.append(words[w]);
            } else {
                lines.last() += u" …"_s;
                break;
            }
        }
        // A single word longer than the line is cut to it.
        for (QString& line : lines)
            while (line.size() > 1 && sh.c.textWidth(line) > width)
                line = line.left(line.size() - 2) + u'…';
        return lines;
    }

    // Leaves the row counter at the first row of the page.
    int header() {
        Canvas& c = sh.c;
        const double U = sh.U;
        sh.title(kLogbookTitle);
        int n = 2;
        sh.text(X1, n * U, car.carType.trimmed() + u" típusú "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsihoz"_s);
        n = 3;
        sh.text(X1, n * U, num(log.year) + u". "_s + monthName(log.month) + u" hónapra"_s);
        n = 4;
        sh.text(X1, n * U, u"Kezdő km-óra állás: "_s + amount(log.startOdometer) + u" km"_s);
        n = 5;
        sh.text(X1, (n - 0.5) * U, u"Záró km-óra állás: "_s + closingText(log) + u" (magán: "_s +
                                       amount(readingOf(log).privateKm) + u" km)"_s);
        c.setFontSize(8);
        n = 3;
        sh.box(XR - 100, n * U - 100, sh.W - sh.M, (n + 2) * U);
        sh.text(XR, n * U, u"Elszámoló neve: "_s + car.companyName.trimmed());
        n = 4;
        sh.text(XR, n * U, u"Címe: "_s + car.city.trimmed() + u", "_s + car.companyAddress.trimmed());
        sh.text(XR, (n + 0.5) * U, u"Gépkocsivezető: "_s + car.userName.trimmed());
        n = 5;
        c.setBold(true);
        sh.text(X1, (n + 0.5) * U, u"Dátum"_s);
        sh.text(X2, (n + 0.5) * U, u"Honnan"_s);
        sh.text(X3, (n + 0.5) * U, u"Hova"_s);
        n = 6;
        sh.text(X1, n * U, u"Megtett út"_s);
        sh.text(X2, n * U, u"Útvonal típusa"_s);
        sh.text(X3, n * U, u"Felkeresett partner"_s);
        n = 7;
        const double y = c.currentY();
        sh.bar(sh.M, y - 10, sh.W - sh.M, y + 10);
        sh.pageLine(kLogbookTitle, 8, true);
        c.setBold(false);
        return n;
    }

    Sheet sh;
    const AppState& s;
    const MonthLog& log;
    const CarRecord& car;
    const double X1 = sh.M;
    const double X2 = (sh.W - sh.M) / 5 + sh.M;
    const double X3 = 3 * (sh.W - sh.M) / 5 + sh.M;
    const double XR = double(std::llround(sh.W * 3) / 5);
};

// --- statement ---

class StatementLayout {
public:
    StatementLayout(Canvas& canvas, const AppState& s, const MonthLog& log, const StatementSums& sums, SeasonBox box,
                    float season, const Twin& twin)
        : sh(canvas, twin), s(s), log(log), sums(sums), box(box), season(season), car(currentCar(s)) {}

    int run() {
        Canvas& c = sh.c;
        const double U = sh.U;
        const double M = sh.M;
        int n = header();
        c.setFontSize(10);
        sh.text(M, n * U, u"Kezdő km-óra állás: "_s + amount(log.startOdometer) + u" km"_s);
        ++n;
        const MonthReading reading = readingOf(log);
        sh.text(M, n * U, u"Záró km-óra állás: "_s + closingText(log) + u" (üzleti: "_s + num(reading.km) +
                              u" km, magán: "_s + num(reading.privateKm) + u" km, üzleti arány: "_s +
                              businessShareText(reading.km, reading.privateKm) + u")"_s);
        ++n;
        const int fuel = car.fuelType;
        const QString fuelName = fuel >= 1 && fuel <= kFuelTypeCount ? s.fuelTypes[size_t(fuel - 1)].name : QString();
        sh.text(M, n * U, u"Gépkocsi fogyasztása: "_s + singleText(car.consumption) + u" L/100 km, "_s + fuelName +
                              u" típusú üzemanyag"_s);
        ++n;
        if (s.carFacts.norm == NormKind::Flat) {
            sh.text(M, n * U, flatNormStatementLine());
            ++n;
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
            row(n, {routeTypeName(s, r), num(sums.km[i]) + u" km"_s, singleText(routeMultiplier(s, r)),
                    num(sums.cost[i]) + u" Ft"_s});
            ++n;
            rule();
        }
        // What the total is made of: the fuel by the norm and the general cost by the km.
        row(n, {u"Üzemanyagköltség:"_s, QString(), QString(), amount(sums.fuelCost) + u" Ft"_s});
        ++n;
        row(n, {u"Általános költség:"_s, QString(), QString(), amount(sums.generalCost) + u" Ft"_s});
        ++n;
        rule();
        c.setBold(true);
        row(n, {u"Összesen: "_s, amount(sums.totalKm) + u" km"_s, QString(), amount(sums.totalCost) + u" Ft"_s});
        c.setBold(false);
        n += 2;
        sh.text(M, n * U, u"Felhasznált üzemanyag: "_s + tenthsText(sums.fuelTenths) + u" L"_s);
        ++n;

        heading(n, u"Felhasznált üzemanyagárak:"_s);
        ++n;
        const QVector<PricePeriod> periods = pricePeriods(sums);
        for (qsizetype i = 0; i < periods.size(); ++i) {
            sh.text(M, n * U, pricePeriodText(log.year, log.month, periods[i]));
            ++n;
            if (n >= kPageEndRow && i + 1 < periods.size()) {
                sh.nextPage();
                n = header();
                heading(n, u"Felhasznált üzemanyagárak folyt.:"_s);
                ++n;
            }
        }
        // A price the statement cannot vouch for is said under the prices.
        if (const auto fault = monthPriceFault(s, log)) {
            if (n >= kPageEndRow) {
                sh.nextPage();
                n = header();
            }
            sh.text(M, n * U, fault->text());
            ++n;
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
        sh.text(sh.M, c.currentY(), num(log.year) + u". "_s + monthName(log.month) + u" havi útnyilvántartásához"_s);
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
    void row(int n, const std::array<QString, 4>& cells) {
        const double q = (sh.W - sh.M) / 4;
        for (size_t i = 0; i < cells.size(); ++i)
            if (!cells[i].isEmpty())
                sh.text(sh.M + double(i) * q, n * sh.U, cells[i]);
    }
    void rule() {
        const double y = sh.c.currentY();
        sh.line(sh.M, y, sh.W - sh.M, y);
    }

    Sheet sh;
    const AppState& s;
    const MonthLog& log;
    const StatementSums& sums;
    SeasonBox box;
    float season;
    const CarRecord& car;
};

} // namespace

QString programTitle() { return kAppTitle + u' ' + versionText(); }


int logbookRowCount(const AppState& s, const MonthLog& log) { return int(logbookRows(s, log).size()); }

int logbookPageCount(const AppState& s, const MonthLog& log) {
    const int rows = logbookRowCount(s, log);
    return rows == 0 ? 1 : (rows + kLogbookRowsPerPage - 1) / kLogbookRowsPerPage;
}

int layoutLogbook(Canvas& canvas, const AppState& s, const MonthLog& log, const Twin& twin) {
    return LogbookLayout(canvas, s, log, twin).run();
}

StatementSums computeStatement(const AppState& s, const MonthLog& log, float season) {
    StatementSums sums;
    const CarRecord& car = currentCar(s);
    const QVector<Leg> legs = monthLegs(s, log);
    sums.days = std::min(daysInMonth(log.year, log.month), kLogDays);
    qsizetype next = 0;
    QVector<KmAtMultiplier> driven;
    for (int day = 1; day <= sums.days; ++day) {
        const auto price = fuelPriceOn(s, QDate(log.year, log.month, day));
        if (!price) {
            sums.missingPrice = true;
            return sums;
        }
        sums.dayPrices[size_t(day - 1)] = *price;
        for (; next < legs.size() && legs[next].day == day; ++next) {
            const Leg& leg = legs[next];
            const float multiplier = routeMultiplier(s, leg.routeType);
            const qint64 fuelCost = legFuelCost(leg.km, car.consumption, *price, multiplier, season);
            const qint64 generalCost = legGeneralCost(leg.km, car.generalCost);
            const qint64 cost = fuelCost + generalCost;
            sums.fuelCost = addSaturated(sums.fuelCost, fuelCost);
            sums.generalCost = addSaturated(sums.generalCost, generalCost);
            auto at = std::find_if(driven.begin(), driven.end(),
                                   [&](const KmAtMultiplier& d) { return d.multiplier == multiplier; });
            if (at == driven.end())
                driven.append(KmAtMultiplier{multiplier, leg.km});
            else
                at->km += leg.km;
            sums.totalCost = addSaturated(sums.totalCost, cost);
            sums.totalKm += leg.km;
            // Route types past the six of the table still count in the totals, as in the editor.
            if (leg.routeType >= 1 && leg.routeType <= kRouteTypeCount) {
                const size_t r = size_t(leg.routeType - 1);
                sums.cost[r] = addSaturated(sums.cost[r], cost);
                sums.km[r] += leg.km;
                sums.used[r] = true;
            }
        }
    }
    sums.fuelTenths = fuelTenthsCut(car.consumption, season, driven);
    return sums;
}

QString noPriceForMonthMessage(const MonthLog& log) {
    return kNoPriceForMonth + u"\r\n"_s + missingPriceText(log.year, log.month);
}

QVector<PricePeriod> pricePeriods(const StatementSums& sums) {
    QVector<PricePeriod> periods;
    for (int day = 1; day <= sums.days; ++day) {
        const int price = sums.dayPrices[size_t(day - 1)];
        if (!periods.isEmpty() && periods.last().price == price)
            periods.last().lastDay = day;
        else
            periods.append(PricePeriod{day, day, price});
    }
    return periods;
}

QString pricePeriodText(int year, int month, const PricePeriod& period) {
    const QString prefix = num(year) + u". "_s + monthName(month) + u' ';
    QString text = prefix + num(period.firstDay) + u'.';
    if (period.lastDay > period.firstDay)
        text += u" - "_s + prefix + num(period.lastDay) + u'.';
    return text + u": "_s + amount(period.price) + u" Ft/L"_s;
}

qint64 fuelTenthsCut(float consumption, float season, const QVector<KmAtMultiplier>& legs) {
    const auto cons = Decimal::of(consumption);
    const auto factor = Decimal::of(season);
    bool exact = cons && factor;
    Decimal sum;
    for (const KmAtMultiplier& leg : legs) {
        const auto m = Decimal::of(leg.multiplier);
        exact = exact && m && leg.km >= 0;
        if (!exact)
            break;
        sum = sum + Decimal(quint64(leg.km)) * *m;
    }
    // Litres are the product over 100; tenths drop one digit less.
    if (exact)
        if (const auto tenths = (*cons * *factor * sum).cut(1))
            return *tenths;
    // A negative or endless figure has no exact decimal: the plain product is cut instead.
    double litres = 0;
    for (const KmAtMultiplier& leg : legs)
        litres += double(consumption) / 100.0 * double(leg.km) * double(leg.multiplier) * double(season);
    return qint64(std::floor(litres * 10.0));
}

QString tenthsText(qint64 tenths) {
    const qint64 whole = tenths / 10;
    const qint64 tenth = std::abs(tenths % 10);
    QString text = (tenths < 0 && whole == 0 ? u"-"_s : QString()) + QString::number(whole);
    if (tenth != 0)
        text += u'.' + QString::number(tenth);
    return shownNumber(text);
}

Season seasonOf(const AppState& s, bool airConditioning, bool winter) {
    const SeasonBox box = airConditioning ? SeasonBox::AirConditioning : winter ? SeasonBox::Winter : SeasonBox::None;
    return Season{box, seasonMultiplier(s, airConditioning, winter)};
}

Season seasonOf(const AppState& s, SeasonBox box) {
    return seasonOf(s, box == SeasonBox::AirConditioning, box == SeasonBox::Winter);
}

int layoutStatement(Canvas& canvas, const AppState& s, const MonthLog& log, const StatementSums& sums, SeasonBox box,
                    float season, const Twin& twin) {
    return StatementLayout(canvas, s, log, sums, box, season, twin).run();
}

Result layoutPrintout(Canvas& canvas, const AppState& s, const MonthLog& log, Printout which, const Season& season,
                      const Twin& twin, int* pages) {
    int count = 0;
    if (which == Printout::Logbook) {
        count = layoutLogbook(canvas, s, log, twin);
    } else if (which == Printout::TravelOrder) {
        const TravelOrder order = computeTravelOrder(s, log, season.multiplier);
        if (order.missingPrice)
            return Result::failure(noPriceForMonthMessage(log));
        count = layoutTravelOrder(canvas, s, log, order, travelPerson(s), season.multiplier, twin);
    } else {
        const StatementSums sums = computeStatement(s, log, season.multiplier);
        if (sums.missingPrice)
            return Result::failure(noPriceForMonthMessage(log));
        count = layoutStatement(canvas, s, log, sums, season.box, season.multiplier, twin);
    }
    if (pages)
        *pages = count;
    return Result::success();
}

QString suggestedPdfName(const AppState& s, const MonthLog& log, Printout which) {
    QString plate = currentCar(s).plateNumber.trimmed();
    for (QChar& ch : plate)
        if (!ch.isLetterOrNumber())
            ch = u'_';
    const QString what = which == Printout::Logbook        ? u"utnyilvantartas"_s
                         : which == Printout::TravelOrder ? u"kikuldetesi_rendelveny"_s
                                                          : u"koltsegelszamolas"_s;
    return plate + u'_' + num(log.year) + u'_' + QString::number(log.month).rightJustified(2, u'0') + u'_' + what +
           u".pdf"_s;
}

QVector<LogbookLeg> logbookLegs(const AppState& s, const MonthLog& log) { return monthLegs(s, log); }

QString routeTypeText(const AppState& s, int routeType) { return routeTypeName(s, routeType); }

} // namespace rv
