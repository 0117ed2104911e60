#include "model/yearsummary.h"

#include "model/cost.h"
#include "model/reckoning.h"
#include "model/monthprice.h"
#include "model/logbookfile.h"
#include "model/monthseason.h"
#include "model/monthchain.h"
#include "model/chain.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "model/state.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {
YearSummary summarizeYear(const AppState& s, int year) {
    YearSummary y;
    y.year = year;
    const LogbookListing listing = listLogbooks(s);
    const MonthFactsFile facts = readMonthFacts(s.carGate(), s.carPath(QString()));
    if (!facts.problem)
        y.warnings << facts.problem.message();
    std::optional<MonthReading> previous = previousReading(s, listing, year, 1);
    const int fuel = s.currentCar >= 1 && s.currentCar <= s.carCount() ? s.car(s.currentCar).fuelType - 1 : -1;
    const QVector<FuelPrice> published = publishedList(s, fuel);
    for (int month = 1; month <= 12; ++month) {
        YearRow row;
        row.month = month;
        const LogbookEntry* entry = monthEntry(listing, year, month);
        if (!entry) {
            // A file that only its name places in this month is still the month's logbook.
            for (const LogbookListing::Unreadable& u : listing.unreadable)
                if (u.year == year && u.month == month && row.fileName.isEmpty()) {
                    row.fileName = listing.files[u.position];
                    row.unreadable = u.reason;
                }
            if (!row.fileName.isEmpty()) {
                y.incomplete = true;
                y.rows.append(row);
            }
            continue;
        }
        row.fileName = listing.files[entry->position];
        row.start = entry->startOdometer;
        StoredLogbook stored;
        if (const Result r = readLogbookFile(s.carPath(row.fileName), stored, s.programDir); !r) {
            y.warnings << r.message();
            row.unreadable = r.message();
            y.incomplete = true;
            y.rows.append(row);
            continue;
        }
        MonthLog log = monthFromStored(s, stored, row.fileName);
        log.season = facts.of(year, month).box;
        row.km = log.monthKm;
        const MonthFacts mf = facts.of(year, month);
        row.season = mf.box;
        const MonthReading reading = monthReading(year, month, row.start, row.km, mf);
        row.privateKm = reading.privateKm;
        row.realClosing = reading.real;
        row.privateFault = !monthOdometer(row.start, row.km, mf).fault.isEmpty();
        const MonthReckoning r = reckonMonth(s, log, seasonOf(s, row.season), published);
        row.km = r.km;
        row.cost = r.total;
        row.missingPrice = r.missingPrice;
        if (r.carried)
            row.priceFault = r.carried->text();
        row.doubts = r.doubts();
        row.prices = priceRuns(r);
        y.measure = r.measure;
        for (const MonthFault& fault : r.faults)
            if (fault.doubtsCost && fault.kind != FaultKind::MissingPrice && fault.kind != FaultKind::CarriedPrice &&
                fault.kind != FaultKind::ClosingReading)
                row.otherDoubts << fault.text;
        row.chainBreak = !chainFault(row.start, previous).isEmpty();
        if (row.start != 0)
            previous = reading;
        y.totalKm += row.km;
        y.totalPrivateKm += row.privateKm;
        y.totalCost += row.cost;
        y.missingPrice = y.missingPrice || row.missingPrice;
        y.rows.append(row);
    }
    return y;
}

bool YearSummary::doubtful() const {
    return incomplete || std::any_of(rows.begin(), rows.end(), [](const YearRow& r) { return r.doubtful(); });
}

std::optional<qint64> YearSummary::opening() const {
    for (const YearRow& r : rows)
        if (r.closing())
            return r.start;
    return std::nullopt;
}

std::optional<qint64> YearSummary::closing() const {
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        if (it->closing())
            return it->closing();
    return std::nullopt;
}

QString yearKmText(const std::optional<qint64>& km) { return km ? QString::number(*km) : u"–"_s; }

QString rowStartText(const YearRow& row) {
    return yearKmText(row.closing() ? std::optional<qint64>(row.start) : std::nullopt);
}
QString rowKmText(const YearRow& row) { return yearKmText(row.readable() ? std::optional<qint64>(row.km) : std::nullopt); }
QString rowCostText(const YearRow& row) { return row.readable() ? yearCostText(row.cost, row.missingPrice) : u"–"_s; }
QString totalKmText(const YearSummary& y) {
    return yearKmText(y.incomplete ? std::nullopt : std::optional<qint64>(y.totalKm));
}
QString totalCostText(const YearSummary& y) {
    return y.incomplete ? u"–"_s : yearCostText(y.totalCost, y.missingPrice);
}

QString rowPrivateText(const YearRow& row) {
    return yearKmText(row.readable() ? std::optional<qint64>(row.privateKm) : std::nullopt);
}
QString rowShareText(const YearRow& row) { return row.readable() ? businessShareText(row.km, row.privateKm) : u"–"_s; }
QString totalPrivateText(const YearSummary& y) {
    return yearKmText(y.incomplete ? std::nullopt : std::optional<qint64>(y.totalPrivateKm));
}
QString totalShareText(const YearSummary& y) {
    return y.incomplete ? u"–"_s : businessShareText(y.totalKm, y.totalPrivateKm);
}

QString yearCostText(qint64 cost, bool missingPrice) { return missingPrice ? u"-"_s : QString::number(cost); }

QString yearRowWarning(const YearRow& row) {
    QStringList what;
    if (!row.readable())
        what << u"a nyilvántartás nem olvasható: "_s + row.unreadable.simplified();
    if (row.chainBreak)
        what << u"a kezdő állás nem egyezik az előző hónap záró állásával"_s;
    if (row.missingPrice)
        what << u"hiányzik a benzinár"_s;
    if (row.privateFault)
        what << u"a záró km-óra állás kisebb a kezdő állás és a megtett km összegénél"_s;
    if (!row.priceFault.isEmpty())
        what << row.priceFault;
    // The rest of what the month's reckoning doubts, in its own words.
    for (const QString& doubt : row.otherDoubts)
        what << doubt.simplified();
    return what.join(u"; "_s);
}
} // namespace rv
