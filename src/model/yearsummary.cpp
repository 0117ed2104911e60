#include "model/yearsummary.h"

#include "model/cost.h"
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
        const MonthLog log = monthFromStored(s, stored, row.fileName);
        row.km = log.monthKm;
        const MonthFacts mf = facts.of(year, month);
        row.season = mf.box;
        const MonthReading reading = monthReading(year, month, row.start, row.km, mf);
        row.privateKm = reading.privateKm;
        row.realClosing = reading.real;
        row.privateFault = !monthOdometer(row.start, row.km, mf).fault.isEmpty();
        const Season season = seasonOf(s, row.season);
        const MonthCost cost = computeMonthCost(s, log, season.multiplier);
        row.cost = cost.total;
        row.missingPrice = cost.missingPrice;
        if (const auto fault = monthPriceFault(s, log); fault && !cost.missingPrice)
            row.priceFault = fault->text();
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
    return what.join(u"; "_s);
}
} // namespace rv
