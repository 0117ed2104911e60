#include "travelorder.h"

#include "model/cost.h"
#include "model/grouping.h"
#include "printing/canvas.h"
#include "printing/printout.h"
#include "printing/sheet.h"
#include "storage/numeric.h"
#include "model/state.h"
#include "storage/tables.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

const QString kTitle = u"Kiküldetési rendelvény"_s;
const QString kSummaryTitle = u"Kiküldetési rendelvény – havi összesítő"_s;

QString num(qint64 v) { return QString::number(v); }
QString forints(qint64 v) { return groupedDigits(v) + u" Ft"_s; }

QString townOf(const AppState& s, int p) {
    const Partner& partner = s.partner(p);
    const QString city = partner.city.trimmed();
    return city.isEmpty() ? partner.name.trimmed() : city;
}

// The row of "Kelt", above the signatures; what a page says ends on the row before it.
constexpr int kDateRow = kPageEndRow - 4;

class Layout {
public:
    Layout(Canvas& canvas, const AppState& s, const MonthLog& log, const TravelOrder& order,
           const TravelPerson& person, float season, const Twin& twin)
        : p(canvas, twin), s(s), log(log), order(order), person(person), season(season), car(printedCar(s)) {}

    int run(int onlyDay) {
        bool first = true;
        for (const TravelDay& day : order.days) {
            if (onlyDay != 0 && day.day != onlyDay)
                continue;
            if (!first)
                p.nextPage();
            first = false;
            dayPages(day);
        }
        if (onlyDay == 0) {
            if (!first)
                p.nextPage();
            summary();
        }
        return p.page;
    }

private:
    QString dateText(int day) const {
        return num(log.year) + u". "_s + printedMonthName(log.month) + u' ' + num(day) + u'.';
    }

    // Title, page number and the person and car; leaves the row counter below them.
    int header(const QString& title) {
        Canvas& c = p.c;
        c.setFontSize(8);
        c.setBold(false);
        const QString number = num(p.page) + u". oldal"_s;
        const double numberLeft = p.W - p.M - c.textWidth(number);
        p.cell(p.M, numberLeft - p.at(200), 0, programTitle());
        p.text(numberLeft, 0, number);
        c.setFontSize(18);
        c.setBold(true);
        p.cell(p.M, p.W - p.M, p.at(400), title, Align::Centre);
        c.setBold(false);
        c.setFontSize(10);
        int n = 3;
        p.text(p.M, n++ * p.U, u"A kiküldött neve: "_s + person.name.trimmed());
        p.text(p.M, n++ * p.U,
               u"Adóazonosító jele: "_s + (person.taxId.isEmpty() ? u"nincs megadva"_s : person.taxId));
        p.text(p.M, n++ * p.U, u"A gépkocsi gyártmánya, típusa: "_s + car.carType.trimmed() + u", rendszáma: "_s +
                                   car.plateNumber.trimmed());
        return n;
    }

    void bold(int n, const QString& text, double x) {
        p.c.setBold(true);
        p.text(x, n * p.U, text);
        p.c.setBold(false);
    }

    // The formula of a leg's fuel cost with its figures, as the rule reads: the km times the
    // norm per 100 km times the price, times the factors; the result cut to the forint.
    QString fuelFormula(const TravelLeg& leg, int price) const {
        QString f = groupedDigits(leg.km) + u" km × "_s + singleText(car.consumption) + u' ' + unit + u"/100 km × "_s +
                    groupedDigits(price) + u" Ft/"_s + unit;
        if (leg.multiplier != 1.0f)
            f += u" × "_s + singleText(leg.multiplier) + u" (útvonal)"_s;
        if (season != 1.0f)
            f += u" × "_s + singleText(season) + u" (évszak)"_s;
        return f + u" = "_s + forints(leg.fuelCost);
    }
    QString generalFormula(const TravelLeg& leg) const {
        return groupedDigits(leg.km) + u" km × "_s + singleText(car.generalCost) + u" Ft/km = "_s + forints(leg.generalCost);
    }

    void signatures(int n) {
        const double half = (p.W - 2 * p.M) / 2;
        const double y = n * p.U;
        p.line(p.M, y, p.M + half - p.at(600), y);
        p.line(p.M + half, y, p.W - p.M, y);
        p.c.setFontSize(9);
        p.cell(p.M, p.M + half - p.at(600), y + p.at(60), u"a kiküldött aláírása"_s);
        p.cell(p.M + half, p.W - p.M, y + p.at(60), u"a kiküldő (munkáltató) aláírása"_s);
        p.c.setFontSize(10);
        p.text(p.M, (n - 2) * p.U, u"Kelt: ……………………………, "_s + num(log.year) + u". ……………… hó …… nap"_s);
    }

    // A day on one page up to a dozen legs: each leg takes two small lines, its route and then
    // its fuel and general cost worked out.
    void dayPages(const TravelDay& day) {
        int n = header(kTitle);
        p.text(p.M, n++ * p.U, u"A kiküldetés napja: "_s + dateText(day.day) + u", megtett út: "_s +
                                   groupedDigits(day.km) + u" km"_s);
        p.cell(p.M, p.W - p.M, n++ * p.U,
               u"A kiküldetés célja: "_s + (day.purpose.isEmpty() ? u"nincs megadva"_s : day.purpose), Align::Left, p.U);
        p.cell(p.M, p.W - p.M, n * p.U, u"Útvonal: "_s + day.towns.join(u" – "_s), Align::Left, 2 * p.U - p.at(100));
        n += 2;
        // Where the price came from is said: a carried or own price is never called the month's NAV price.
        p.cell(p.M, p.W - p.M, n++ * p.U,
               u"Üzemanyagár ("_s + day.priceOrigin + u"): "_s + groupedDigits(day.price) + u" Ft/"_s + unit +
                   u"; norma: "_s + singleText(car.consumption) + u' ' + unit + u"/100 km; általános költség: "_s +
                   singleText(car.generalCost) + u" Ft/km"_s);
        bold(n++, u"A költségtérítés számítása utanként:"_s, p.M);
        const double small = 8 * p.t.scale();
        p.c.setFontSize(small);
        p.text(p.M, n++ * p.U, u"üzemanyag: km × norma ("_s + unit + u"/100 km) × ár (Ft/"_s + unit +
                                   u") × szorzók, lefelé kerekítve; általános: km × Ft/km, lefelé kerekítve"_s);
        const double pitch = 0.41 * p.U;
        const double indent = p.M + p.at(300);
        double y = n * p.U;
        int number = 0;
        for (const TravelLeg& leg : day.legs) {
            if (y + 2 * pitch > (kDateRow - 3) * p.U) {
                p.nextPage();
                n = header(kTitle);
                bold(n++, dateText(day.day) + u" – folytatás"_s, p.M);
                p.c.setFontSize(small);
                y = n * p.U;
            }
            p.cell(p.M, p.W - p.M, y, num(++number) + u". "_s + townOf(s, leg.from) + u" → "_s + townOf(s, leg.to));
            p.cell(indent, p.W - p.M, y + pitch, fuelFormula(leg, day.price) + u";   "_s + generalFormula(leg));
            y += 2 * pitch;
        }
        p.c.setFontSize(10);
        n = int(std::ceil(y / p.U - 1e-9));
        p.text(p.M, n++ * p.U, u"Üzemanyagköltség: "_s + forints(day.fuelCost));
        p.text(p.M, n++ * p.U, u"Általános költség: "_s + forints(day.generalCost));
        bold(n++, u"Térítendő összeg: "_s + forints(day.total()), p.M);
        signatures(kPageEndRow - 2);
    }

    void summary() {
        int n = header(kSummaryTitle);
        p.text(p.M, n++ * p.U, num(log.year) + u". "_s + printedMonthName(log.month) + u" hónap kiküldetései"_s);
        const double w = p.W - 2 * p.M;
        // Day, route, then the figures right-aligned to their column's end.
        const std::array<double, 7> x{p.M,           p.M + w * 0.07, p.M + w * 0.44, p.M + w * 0.54,
                                      p.M + w * 0.70, p.M + w * 0.85, p.W - p.M};
        const double oneRow = p.U - p.at(60);
        // A long route takes more rows rather than shrink past reading.
        auto rowsOf = [&](const QString& route) {
            int rows = 1;
            while (rows < 4 && drawFitted(p.c, x[1], x[2] - p.at(120), 0, route, Align::Left,
                                          (rows - 1) * p.U + oneRow, false, kSmallestPoints * p.t.scale()) >
                                   (rows - 1) * p.U + oneRow)
                ++rows;
            return rows;
        };
        auto columns = [&](int row, int rows, const std::array<QString, 6>& cells) {
            for (size_t i = 0; i < cells.size(); ++i) {
                const double right = i + 1 < cells.size() ? x[i + 1] - p.at(120) : x[i + 1];
                p.cell(x[i], right, row * p.U, cells[i], i < 2 ? Align::Left : Align::Right,
                       i == 1 ? (rows - 1) * p.U + oneRow : 0);
            }
        };
        auto heading = [&] {
            p.c.setBold(true);
            columns(n++, 1, {u"Nap"_s, u"Útvonal"_s, u"km"_s, u"Üzemanyag"_s, u"Általános"_s, u"Összesen"_s});
            p.c.setBold(false);
        };
        heading();
        for (const TravelDay& day : order.days) {
            const QString route = day.towns.join(u" – "_s);
            const int rows = rowsOf(route);
            // The totals, a free row and the amount to pay come before "Kelt".
            if (n + rows - 1 > kDateRow - 4) {
                p.nextPage();
                n = header(kSummaryTitle);
                heading();
            }
            columns(n, rows, {num(day.day) + u'.', route, groupedDigits(day.km), forints(day.fuelCost),
                              forints(day.generalCost), forints(day.total())});
            n += rows;
        }
        const double y = n * p.U - p.at(60);
        p.line(p.M, y, p.W - p.M, y);
        p.c.setBold(true);
        columns(n++, 1, {QString(), u"Összesen ("_s + num(order.days.size()) + u" nap)"_s, groupedDigits(order.km),
                         forints(order.fuelCost), forints(order.generalCost), forints(order.total())});
        p.c.setBold(false);
        ++n;
        p.text(p.M, n++ * p.U, u"Térítendő összesen: "_s + forints(order.total()));
        // A figure the order cannot vouch for is said under its total.
        for (const QString& doubt : order.doubts)
            n += p.paragraph(n, doubt);
        signatures(kPageEndRow - 2);
    }

    Sheet p;
    const AppState& s;
    const MonthLog& log;
    const TravelOrder& order;
    const TravelPerson& person;
    float season;
    const CarRecord& car;
    const QString unit = measureUnit(order.measure);
};

} // namespace

TravelPerson travelPerson(const AppState& s) { return TravelPerson{printedCar(s).userName.trimmed(), s.carFacts.taxId}; }

TravelOrder travelOrderOf(const AppState& s, const MonthLog& log, const MonthReckoning& r) {
    TravelOrder order;
    order.measure = r.measure;
    order.doubts = r.doubts();
    order.missingPrice = r.missingPrice;
    for (const ReckonedLeg& leg : r.legs) {
        if (order.days.isEmpty() || order.days.last().day != leg.day) {
            TravelDay day;
            day.day = leg.day;
            day.price = leg.price.price;
            day.priceOrigin = priceOriginText(leg.price, r.year, r.month);
            day.purpose = log.comments[size_t(leg.day - 1)].simplified();
            day.towns.append(townOf(s, leg.from));
            order.days.append(day);
        }
        TravelDay& day = order.days.last();
        const TravelLeg t{leg.from, leg.to, leg.km, leg.multiplier, leg.fuelCost, leg.generalCost};
        if (const QString town = townOf(s, leg.to); day.towns.last() != town)
            day.towns.append(town);
        day.legs.append(t);
        day.km += t.km;
        day.fuelCost = addSaturated(day.fuelCost, t.fuelCost);
        day.generalCost = addSaturated(day.generalCost, t.generalCost);
    }
    order.km = r.km;
    order.fuelCost = r.fuelCost;
    order.generalCost = r.generalCost;
    return order;
}

TravelOrder computeTravelOrder(const AppState& s, const MonthLog& log, float season) {
    return travelOrderOf(s, log, reckonMonth(s, log, Season{SeasonBox::None, season}));
}

bool travelOrderHasDay(const TravelOrder& order, int day) {
    return std::any_of(order.days.cbegin(), order.days.cend(), [day](const TravelDay& d) { return d.day == day; });
}

QString noTripOnDayMessage(const MonthLog& log, int day) {
    return u"%1. %2 %3. napján nem volt út, arra a napra nem készül kiküldetési rendelvény."_s.arg(log.year)
        .arg(printedMonthName(log.month))
        .arg(day);
}

int layoutTravelOrder(Canvas& canvas, const AppState& s, const MonthLog& log, const TravelOrder& order,
                      const TravelPerson& person, float season, const Twin& twin, int onlyDay) {
    return Layout(canvas, s, log, order, person, season, twin).run(onlyDay);
}

} // namespace rv
