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

// The text cut to the width, ending in an ellipsis when cut.
QString fitted(const Canvas& c, QString text, double width) {
    if (c.textWidth(text) <= width)
        return text;
    while (text.size() > 1 && c.textWidth(text + u'…') > width)
        text.chop(1);
    return text + u'…';
}

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
        p.text(p.M, 0, programTitle());
        p.text(p.W - p.M - c.textWidth(number), 0, number);
        c.setFontSize(18);
        c.setBold(true);
        p.text((p.W - c.textWidth(title)) / 2, p.at(400), title);
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

    // The formula of a leg's fuel cost, written out with its figures.
    QString fuelFormula(const TravelLeg& leg, int price) const {
        QString f = groupedDigits(leg.km) + u" km × "_s + singleText(car.consumption) + u" L/100 km ÷ 100 × "_s + num(price) +
                    u" Ft/L"_s;
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
        const double half = (p.W - p.M) / 2;
        const double y = n * p.U;
        p.line(p.M, y, p.M + half - p.at(600), y);
        p.line(p.M + half, y, p.W - p.M, y);
        p.c.setFontSize(9);
        p.text(p.M, y + p.at(60), u"a kiküldött aláírása"_s);
        p.text(p.M + half, y + p.at(60), u"a kiküldő (munkáltató) aláírása"_s);
        p.c.setFontSize(10);
        p.text(p.M, (n - 2) * p.U, u"Kelt: ……………………………, "_s + num(log.year) + u". ……………… hó …… nap"_s);
    }

    void dayPages(const TravelDay& day) {
        const double width = p.W - 2 * p.M;
        int n = header(kTitle);
        p.text(p.M, n++ * p.U, u"A kiküldetés napja: "_s + dateText(day.day));
        p.text(p.M, n++ * p.U,
               fitted(p.c, u"A kiküldetés célja: "_s + (day.purpose.isEmpty() ? u"nincs megadva"_s : day.purpose),
                      width));
        p.text(p.M, n++ * p.U, fitted(p.c, u"Útvonal: "_s + day.towns.join(u" – "_s), width));
        p.text(p.M, n++ * p.U, u"Megtett út: "_s + groupedDigits(day.km) + u" km"_s);
        // Every figure on a line of its own width: a cut line would hide the result of a formula.
        p.text(p.M, n++ * p.U, u"Üzemanyagár (NAV, "_s + num(log.year) + u". "_s + printedMonthName(log.month) + u"): "_s +
                                   num(day.price) + u" Ft/L"_s);
        p.text(p.M, n++ * p.U, u"Norma: "_s + singleText(car.consumption) + u" L/100 km; általános költség: "_s +
                                   singleText(car.generalCost) + u" Ft/km"_s);
        bold(n++, u"A költségtérítés számítása:"_s, p.M);
        p.c.setFontSize(9);
        p.text(p.M, n++ * p.U, u"km × norma ÷ 100 × ár (× szorzó) + km × általános költség"_s);
        const double indent = p.M + p.at(400);
        for (const TravelLeg& leg : day.legs) {
            if (n > kPageEndRow - 9) {
                p.nextPage();
                n = header(kTitle);
                bold(n++, dateText(day.day) + u" – folytatás"_s, p.M);
                p.c.setFontSize(9);
            }
            p.text(p.M, n * p.U, fitted(p.c, townOf(s, leg.from) + u" → "_s + townOf(s, leg.to) + u':', width));
            p.text(indent, n * p.U + p.U / 2, fuelFormula(leg, day.price));
            p.text(indent, (n + 1) * p.U, u"+ "_s + generalFormula(leg));
            n += 2;
        }
        p.c.setFontSize(10);
        p.text(p.M, n++ * p.U, u"Üzemanyagköltség: "_s + forints(day.fuelCost));
        p.text(p.M, n++ * p.U, u"Általános költség: "_s + forints(day.generalCost));
        bold(n++, u"Térítendő összeg: "_s + forints(day.total()), p.M);
        signatures(kPageEndRow - 2);
    }

    void summary() {
        int n = header(kSummaryTitle);
        p.text(p.M, n++ * p.U, num(log.year) + u". "_s + printedMonthName(log.month) + u" hónap kiküldetései"_s);
        ++n;
        const double w = p.W - 2 * p.M;
        const std::array<double, 6> x{p.M, p.M + w * 0.07, p.M + w * 0.50, p.M + w * 0.60, p.M + w * 0.74,
                                      p.M + w * 0.87};
        auto columns = [&](int row, const std::array<QString, 6>& cells) {
            for (size_t i = 0; i < cells.size(); ++i) {
                const double room = (i + 1 < x.size() ? x[i + 1] : p.W - p.M) - x[i] - p.at(100);
                p.text(x[i], row * p.U, fitted(p.c, cells[i], room));
            }
        };
        auto heading = [&] {
            p.c.setBold(true);
            columns(n++, {u"Nap"_s, u"Útvonal"_s, u"km"_s, u"Üzemanyag"_s, u"Általános"_s, u"Összesen"_s});
            p.c.setBold(false);
        };
        heading();
        for (const TravelDay& day : order.days) {
            if (n > kPageEndRow - 6) {
                p.nextPage();
                n = header(kSummaryTitle);
                heading();
            }
            columns(n++, {num(day.day) + u'.', day.towns.join(u" – "_s), groupedDigits(day.km), forints(day.fuelCost),
                          forints(day.generalCost), forints(day.total())});
        }
        const double y = n * p.U - p.at(60);
        p.line(p.M, y, p.W - p.M, y);
        p.c.setBold(true);
        columns(n++, {QString(), u"Összesen ("_s + num(order.days.size()) + u" nap)"_s, groupedDigits(order.km), forints(order.fuelCost),
                      forints(order.generalCost), forints(order.total())});
        p.c.setBold(false);
        ++n;
        p.text(p.M, n++ * p.U, u"Térítendő összesen: "_s + forints(order.total()));
        signatures(kPageEndRow - 2);
    }

    Sheet p;
    const AppState& s;
    const MonthLog& log;
    const TravelOrder& order;
    const TravelPerson& person;
    float season;
    const CarRecord& car;
};

} // namespace

TravelPerson travelPerson(const AppState& s) { return TravelPerson{printedCar(s).userName.trimmed(), s.carFacts.taxId}; }

TravelOrder computeTravelOrder(const AppState& s, const MonthLog& log, float season) {
    TravelOrder order;
    const CarRecord& car = printedCar(s);
    for (const LogbookLeg& leg : logbookLegs(s, log)) {
        if (order.days.isEmpty() || order.days.last().day != leg.day) {
            const auto price = fuelPriceOn(s, QDate(log.year, log.month, leg.day));
            if (!price) {
                order.missingPrice = true;
                return order;
            }
            TravelDay day;
            day.day = leg.day;
            day.price = *price;
            day.purpose = log.comments[size_t(leg.day - 1)].simplified();
            day.towns.append(townOf(s, leg.from));
            order.days.append(day);
        }
        TravelDay& day = order.days.last();
        const float multiplier = routeMultiplier(s, leg.routeType);
        TravelLeg t{leg.from, leg.to, leg.km, multiplier,
                    legFuelCost(leg.km, car.consumption, day.price, multiplier, season),
                    legGeneralCost(leg.km, car.generalCost)};
        if (const QString town = townOf(s, leg.to); day.towns.last() != town)
            day.towns.append(town);
        day.legs.append(t);
        day.km += t.km;
        day.fuelCost = addSaturated(day.fuelCost, t.fuelCost);
        day.generalCost = addSaturated(day.generalCost, t.generalCost);
    }
    for (const TravelDay& day : order.days) {
        order.km += day.km;
        order.fuelCost = addSaturated(order.fuelCost, day.fuelCost);
        order.generalCost = addSaturated(order.generalCost, day.generalCost);
    }
    return order;
}

bool travelOrderHasDay(const TravelOrder& order, int day) {
    return std::any_of(order.days.cbegin(), order.days.cend(), [day](const TravelDay& d) { return d.day == day; });
}

QString noTripOnDayMessage(const MonthLog& log, int day) {
    return u"%1. %2 %3. napján nem volt út, arra a napra nem készül kiküldetési rendelvény."_s.arg(log.year)
        .arg(printedMonthName(log.month))
        .arg(day);
}

QStringList travelOrderFaults(const MonthLog& log, const TravelOrder& order) {
    QStringList faults;
    for (const TravelDay& day : order.days)
        if (day.purpose.isEmpty())
            faults.append(u"%1. %2 %3.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem szerepel a "
                          u"kiküldetés célja."_s.arg(log.year).arg(printedMonthName(log.month)).arg(day.day));
    return faults;
}

int layoutTravelOrder(Canvas& canvas, const AppState& s, const MonthLog& log, const TravelOrder& order,
                      const TravelPerson& person, float season, const Twin& twin, int onlyDay) {
    return Layout(canvas, s, log, order, person, season, twin).run(onlyDay);
}

} // namespace rv
