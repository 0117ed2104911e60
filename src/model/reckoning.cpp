#include "reckoning.h"

#include "model/grouping.h"
#include "model/monthfacts.h"
#include "model/state.h"
#include "storage/navprices.h"
#include "storage/tables.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

bool sameMonth(const QDate& a, const QDate& b) { return a.year() == b.year() && a.month() == b.month(); }

const FuelPrice* entryOn(const QVector<FuelPrice>& list, const QDate& day) {
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        if (it->month.isValid() && it->month <= day)
            return &*it;
    return nullptr;
}

const FuelPrice* publishedOf(const QVector<FuelPrice>& published, const QDate& first) {
    for (const FuelPrice& p : published)
        if (p.month.isValid() && sameMonth(p.month, first))
            return &p;
    return nullptr;
}

QDate earliestOf(const QVector<FuelPrice>& list) {
    QDate earliest;
    for (const FuelPrice& p : list)
        if (p.month.isValid() && (!earliest.isValid() || p.month < earliest))
            earliest = p.month;
    return earliest;
}

bool knownPartner(const AppState& s, int p) { return p >= 1 && p <= s.partnerCount() && p <= s.distances.size(); }

QString partnerText(const AppState& s, int p) { return p >= 1 && p <= s.partnerCount() ? PartnerLabel(s, p) : QString(); }

QString dayDateText(int year, int month, int day) {
    return navMonthText(QDate(year, month, 1)) + u' ' + QString::number(day) + u'.';
}

void add(MonthReckoning& r, Severity severity, const QString& text, FaultKind kind = FaultKind::Other,
         bool doubtsCost = false, int day = 0) {
    r.faults.append(MonthFault{severity, text, doubtsCost || severity == Severity::Severe, kind, day});
}

// The faults of the odometer: the chain, a first month without a start, an implausible private
// use, a closing reading below the legs.
void readingFaults(const AppState& s, const MonthLog& log, qint64 km, const MonthContext& context, MonthReckoning& r) {
    (void)s;
    if (context.known) {
        if (const QString fault = chainFault(log.startOdometer, context.previous); !fault.isEmpty())
            add(r, Severity::Minor, fault);
        else if (context.firstMonth && log.startOdometer == 0)
            add(r, Severity::Minor, u"Nincs megadva kezdő km-óra állás"_s);
    }
    const MonthOdometer o = monthOdometer(log.startOdometer, km, monthFactsOf(log));
    if (log.closingReading > 0 && !o.fault.isEmpty())
        add(r, Severity::Severe, o.fault, FaultKind::ClosingReading);
    // Ten times the business use in private use is rather a mistyped reading than a month.
    if (o.privateKm > 0 && o.privateKm > km * 10)
        add(r, Severity::Minor,
            u"A hónap magánhasználata (%1 km) több mint tízszerese az üzleti km-nek (%2 km): ellenőrizze a km-óra "
            u"állásokat."_s.arg(groupedDigits(o.privateKm), groupedDigits(km)));
    if (log.storedKm >= 0 && !log.modified && km != log.storedKm)
        add(r, Severity::Minor,
            u"A fájl fejlécében a hónap km-e %1 km, az utak összege %2 km: a program az utak összegével számol, és "
            u"mentéskor ezt írja a fejlécbe."_s.arg(groupedDigits(log.storedKm), groupedDigits(km)));
}

QString missingText(const MonthReckoning& r) {
    const QString month = navMonthText(QDate(r.year, r.month, 1));
    if (r.source == PriceSource::Own)
        return u"Hiányzik a(z) %1 havi üzemanyagár: a hónap első útja előtti napra az autónak nincs ára. Adja meg az "
               u"Adatbázis ablak Benzinárak lapján (számla szerint)."_s.arg(month);
    return missingPriceText(r.year, r.month);
}

} // namespace

// ---- the measure of a fuel ----

FuelMeasure navColumnMeasure(int navColumn) { return navColumn == NavCng ? FuelMeasure::Kilogram : FuelMeasure::Litre; }

FuelMeasure fuelMeasure(int fuelIndex) {
    if (const auto column = navColumnOf(fuelIndex))
        return navColumnMeasure(*column);
    return FuelMeasure::Litre;
}

QString measureUnit(FuelMeasure m, bool capital) {
    if (m == FuelMeasure::Kilogram)
        return u"kg"_s;
    return capital ? u"L"_s : u"l"_s;
}

QString priceUnit(FuelMeasure m, bool capital) { return u"Ft/"_s + measureUnit(m, capital); }

// ---- the price source ----

QString priceSourceName(PriceSource source) {
    return source == PriceSource::Own ? u"Saját árak (számla szerint)"_s : u"NAV által közzétett árak"_s;
}

PriceSource decidedPriceSource(const CarFacts& facts, const QVector<FuelPrice>& own,
                               const QVector<FuelPrice>& published) {
    if (facts.priceSource)
        return *facts.priceSource;
    for (const FuelPrice& p : own) {
        const FuelPrice* nav = p.month.isValid() ? publishedOf(published, p.month) : nullptr;
        if (!nav || p.month.day() != 1 || nav->price != p.price)
            return PriceSource::Own;
    }
    return PriceSource::Nav;
}

// ---- the reckoning ----

int MonthReckoning::minor() const {
    return int(std::count_if(faults.begin(), faults.end(), [](const MonthFault& f) { return f.severity == Severity::Minor; }));
}
int MonthReckoning::severe() const { return int(faults.size()) - minor(); }

QStringList MonthReckoning::lines() const {
    QStringList l;
    for (const MonthFault& f : faults)
        l << f.text;
    return l;
}

QStringList MonthReckoning::doubts() const {
    QStringList l;
    for (const MonthFault& f : faults)
        if (f.doubtsCost)
            l << f.text;
    return l;
}

Verdict MonthReckoning::verdict() const { return doubts().isEmpty() ? Verdict::Sound : Verdict::Doubtful; }

MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const Season& season,
                           const QVector<FuelPrice>& published, const MonthContext& context) {
    MonthReckoning r;
    r.year = log.year;
    r.month = log.month;
    r.season = season;
    const bool validMonth = log.month >= 1 && log.month <= 12 && QDate(log.year, log.month, 1).isValid();
    r.days = validMonth ? std::min(daysInMonth(log.year, log.month), kLogDays) : 0;
    if (s.currentCar < 1 || s.currentCar > s.carCount())
        return r;
    const CarRecord& car = s.car(s.currentCar);
    r.fuelIndex = car.fuelType - 1;
    r.measure = fuelMeasure(r.fuelIndex);
    r.consumption = car.consumption;
    r.generalRate = car.generalCost;
    r.source = decidedPriceSource(s.carFacts, s.fuelPrices, published);

    const QDate first = validMonth ? QDate(log.year, log.month, 1) : QDate();
    const FuelPrice* nav = first.isValid() ? publishedOf(published, first) : nullptr;
    const QDate earliest = earliestOf(published);
    // Before the published list begins there is nothing it could have said.
    const bool navCovers = r.source == PriceSource::Nav && earliest.isValid() && first.isValid() &&
                           first > QDate(earliest.year(), earliest.month(), 1);
    for (int day = 1; day <= r.days; ++day) {
        DayPrice& d = r.dayPrices[size_t(day - 1)];
        const FuelPrice* used = entryOn(s.fuelPrices, QDate(log.year, log.month, day));
        if (!used)
            continue;
        d.price = used->price;
        d.from = used->month;
        if (r.source == PriceSource::Own)
            d.origin = PriceOrigin::OwnEntry;
        else if (sameMonth(used->month, first))
            d.origin = nav && used->month.day() == 1 && used->price == nav->price ? PriceOrigin::Published
                                                                                   : PriceOrigin::OwnEntry;
        else
            d.origin = PriceOrigin::Carried;
    }

    // The legs of the real days; days past the month's end are faults and count nowhere.
    const int width = std::min(log.stopWidth, log.stops.columns());
    QVector<KmAtMultiplier> driven;
    for (int day = 1; day <= kLogDays && width >= 2; ++day) {
        if (log.stops.at(day, 1) == 0 || log.stops.at(day, 2) == 0)
            continue;
        for (int j = 2; j <= width; ++j) {
            const int p = log.stops.at(day, j - 1);
            const int q = log.stops.at(day, j);
            if (q == 0 || !knownPartner(s, p) || !knownPartner(s, q) || day > r.days)
                continue;
            const DistanceCell& cell = s.distances.at(p, q);
            ReckonedLeg leg;
            leg.day = day;
            leg.from = p;
            leg.to = q;
            leg.km = cell.distance;
            leg.routeType = cell.routeType;
            leg.lastOfDay = !(j < width && log.stops.at(day, j + 1) != 0);
            leg.multiplier = routeMultiplier(s, cell.routeType);
            leg.price = r.dayPrices[size_t(day - 1)];
            if (leg.price.origin != PriceOrigin::None)
                leg.fuelCost = legFuelCost(leg.km, car.consumption, leg.price.price, leg.multiplier, season.multiplier);
            else
                r.missingPrice = true;
            leg.generalCost = legGeneralCost(leg.km, car.generalCost);
            r.km += leg.km;
            r.fuelCost = addSaturated(r.fuelCost, leg.fuelCost);
            r.generalCost = addSaturated(r.generalCost, leg.generalCost);
            auto at = std::find_if(driven.begin(), driven.end(),
                                   [&](const KmAtMultiplier& k) { return k.multiplier == leg.multiplier; });
            if (at == driven.end())
                driven.append(KmAtMultiplier{leg.multiplier, leg.km});
            else
                at->km += leg.km;
            r.legs.append(leg);
        }
    }
    r.total = addSaturated(r.fuelCost, r.generalCost);
    r.fuelTenths = fuelTenthsCut(car.consumption, season.multiplier, driven);

    // ---- the faults, in the error list's order ----
    readingFaults(s, log, r.km, context, r);
    if (r.missingPrice)
        add(r, Severity::Minor, missingText(r), FaultKind::MissingPrice, true);
    for (const ReckonedLeg& leg : r.legs) {
        if (leg.price.origin != PriceOrigin::Carried || !navCovers)
            continue;
        PriceFault fault{first, leg.price.from, leg.price.price, navFuelName(r.fuelIndex)};
        fault.kilograms = r.measure == FuelMeasure::Kilogram;
        if (nav) {
            fault.published = nav->price;
            fault.plate = car.plateNumber.trimmed();
        }
        r.carried = fault;
        add(r, Severity::Minor, fault.text(), FaultKind::CarriedPrice, true);
        break;
    }

    const int known = std::min(s.partnerCount(), s.distances.size());
    int endedAt = context.known && context.firstMonth ? 1 : 0;
    int endedOn = 0;
    for (int day = 1; day <= kLogDays && width >= 2; ++day) {
        if (log.stops.at(day, 1) == 0)
            continue;
        const bool trip = log.stops.at(day, 2) != 0;
        if (trip && day > r.days) {
            add(r, Severity::Severe,
                u"%1 napja nincs a naptárban, mégis van útja: ez az út sehol sem számít (sem a km-ben, sem a "
                u"költségben). Törölje, vagy írja át egy létező napra."_s.arg(dayDateText(log.year, log.month, day)),
                FaultKind::DayOutsideMonth, true, day);
            continue;
        }
        const QString dayText = QString::number(day) + u". napon "_s;
        if (const int start = log.stops.at(day, 1); trip) {
            if (endedAt != 0 && start != endedAt)
                add(r, Severity::Minor,
                    endedOn == 0 ? u"A %1. nap „%2” partnertől indul, de az autó első hónapjában az első út a cégtől "
                                   u"(„%3”) indul."_s.arg(day)
                                       .arg(partnerText(s, start), partnerText(s, endedAt))
                                 : u"A %1. nap „%2” partnertől indul, de a %3. nap „%4” partnernél ért véget."_s.arg(day)
                                       .arg(partnerText(s, start))
                                       .arg(endedOn)
                                       .arg(partnerText(s, endedAt)));
            int last = 2;
            while (last < width && log.stops.at(day, last + 1) != 0)
                ++last;
            endedAt = log.stops.at(day, last);
            endedOn = day;
        }
        for (int k = 2; k <= width; ++k) {
            const int q = log.stops.at(day, k);
            if (q == 0)
                break;
            const int p = log.stops.at(day, k - 1);
            if (p == q)
                add(r, Severity::Severe, dayText + partnerText(s, q) + u" kétszer szerepel egymás után."_s);
            else if (p >= 1 && q >= 1 && p <= known && q <= known && s.distances.at(p, q).distance == 0)
                add(r, Severity::Minor,
                    dayText + partnerText(s, p) + u" és "_s + partnerText(s, q) + u" között 0 km a távolság."_s);
        }
        // The purpose of a business trip belongs in the logbook and on the travel order alike.
        const bool legged = std::any_of(r.legs.cbegin(), r.legs.cend(), [day](const ReckonedLeg& l) { return l.day == day; });
        if (legged && log.comments[size_t(day - 1)].simplified().isEmpty())
            add(r, Severity::Minor,
                u"%1: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem szerepel a kiküldetés célja."_s.arg(
                    dayDateText(log.year, log.month, day)),
                FaultKind::NoPurpose, false, day);
    }
    return r;
}

MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const Season& season, const MonthContext& context) {
    const int fuel = s.currentCar >= 1 && s.currentCar <= s.carCount() ? s.car(s.currentCar).fuelType - 1 : -1;
    return reckonMonth(s, log, season, publishedList(s, fuel), context);
}

MonthReckoning reckonMonth(const AppState& s, const MonthLog& log, const MonthContext& context) {
    return reckonMonth(s, log, seasonOf(s, log.season), context);
}

QString priceOriginText(const DayPrice& price, int year, int month) {
    switch (price.origin) {
    case PriceOrigin::Published:
        return u"NAV, "_s + navMonthText(QDate(year, month, 1));
    case PriceOrigin::OwnEntry:
        return u"saját ár, "_s + price.from.toString(u"yyyy.MM.dd."_s);
    case PriceOrigin::Carried:
        return u"a %1i NAV-ár, áthozva"_s.arg(navMonthText(price.from));
    case PriceOrigin::None:
        break;
    }
    return u"nincs ár"_s;
}

QVector<PriceRun> priceRuns(const MonthReckoning& r) {
    QVector<PriceRun> runs;
    for (int day = 1; day <= r.days; ++day) {
        const DayPrice& d = r.dayPrices[size_t(day - 1)];
        if (d.origin == PriceOrigin::None)
            continue;
        if (!runs.isEmpty() && runs.last().lastDay == day - 1 && runs.last().price.price == d.price &&
            runs.last().price.origin == d.origin && runs.last().price.from == d.from)
            runs.last().lastDay = day;
        else
            runs.append(PriceRun{day, day, d});
    }
    return runs;
}

QString verdictText(const MonthReckoning& r) {
    const QStringList doubts = r.doubts();
    if (doubts.isEmpty())
        return u"A hónap költsége rendben."_s;
    return u"A hónap költsége nem igazolható: "_s + doubts.join(u" "_s);
}

QString doubtFixText(const MonthReckoning& r) {
    QStringList fix;
    if (r.carried && r.carried->published)
        fix << u"A hónap közzétett ára az autó árai közé: rovanta-cli prices sync %1."_s.arg(r.carried->plate);
    else if (r.carried)
        fix << u"A NAV-árak frissítése: rovanta-cli prices update (vagy prices import)."_s;
    if (r.missingPrice)
        fix << (r.source == PriceSource::Own ? u"Az ár megadása: Adatbázis ablak, Benzinárak lap."_s
                                             : u"Az ár betöltése: rovanta-cli prices import FÁJL (vagy prices update)."_s);
    if (r.severe() > 0)
        fix << u"A súlyos hibák javítása a szerkesztőben (rovanta-cli check mutatja őket)."_s;
    fix << u"Az így számolt hónap az --elfogad kapcsolóval fogadható el."_s;
    return fix.join(u'\n');
}

} // namespace rv
