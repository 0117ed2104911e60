#include "yearsummary.h"

#include "model/cost.h"
#include "editor/logbookfile.h"
#include "model/monthseason.h"
#include "months/chain.h"
#include "months/monthlist.h"
#include "months/openmonth.h"
#include "storage/state.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {
YearSummary summarizeYear(const AppState& s, int year) {
    YearSummary y;
    y.year = year;
    const LogbookListing listing = listLogbooks(s);
    for (int month = 1; month <= 12; ++month) {
        const LogbookEntry* entry = monthEntry(listing, year, month);
        if (!entry)
            continue;
        const QString file = listing.files[entry->position];
        StoredLogbook stored;
        if (const Result r = readLogbookFile(s.carPath(file), stored); !r) {
            y.warnings << r.message();
            continue;
        }
        MonthLog log = monthFromStored(s, stored, file);
        YearRow row;
        row.month = month;
        row.fileName = file;
        row.start = log.startOdometer;
        row.km = refreshKilometres(s, log);
        row.season = loadMonthSeason(s.carPath(QString()), year, month);
        const Season season = seasonOf(s, row.season == SeasonBox::AirConditioning, row.season == SeasonBox::Winter);
        const MonthCost cost = computeMonthCost(s, log, season.multiplier);
        row.cost = cost.total;
        row.missingPrice = cost.missingPrice;
        row.chainBreak = !chainFault(row.start, previousReading(listing, year, month)).isEmpty();
        y.totalKm += row.km;
        y.totalCost += row.cost;
        y.missingPrice = y.missingPrice || row.missingPrice;
        y.rows.append(row);
    }
    return y;
}

QString yearCostText(qint64 cost, bool missingPrice) { return missingPrice ? u"-"_s : QString::number(cost); }

QString yearRowWarning(const YearRow& row) {
    QStringList what;
    if (row.chainBreak)
        what << u"a kezdő állás nem egyezik az előző hónap záró állásával"_s;
    if (row.missingPrice)
        what << u"hiányzik a benzinár"_s;
    return what.join(u"; "_s);
}

SheetTable yearTable(const YearSummary& y) {
    SheetTable t;
    t.name = u"%1. év"_s.arg(y.year);
    t.columns = {{u"Hónap"_s, CellFormat::Month},          {u"Kezdő km-óra állás"_s, CellFormat::Km},
                 {u"Megtett km"_s, CellFormat::Km},        {u"Záró km-óra állás"_s, CellFormat::Km},
                 {u"Költség"_s, CellFormat::Forint},       {u"Figyelmeztetés"_s, CellFormat::Text}};
    const auto cost = [](qint64 value, bool missing) { return missing ? SheetCell::of(u"-"_s) : SheetCell::of(value); };
    for (const YearRow& r : y.rows)
        t.rows.append({SheetCell::of(QDate(y.year, r.month, 1)), SheetCell::of(qint64(r.start)), SheetCell::of(r.km),
                       SheetCell::of(r.closing()), cost(r.cost, r.missingPrice), SheetCell::of(yearRowWarning(r))});
    t.totals.append({SheetCell::of(u"Összesen"_s), {}, SheetCell::of(y.totalKm), {}, cost(y.totalCost, y.missingPrice), {}});
    t.totals.append({SheetCell::of(u"Nyitó km-óra állás"_s), SheetCell::of(y.opening())});
    t.totals.append({SheetCell::of(u"Záró km-óra állás"_s), {}, {}, SheetCell::of(y.closing())});
    return t;
}

} // namespace rv
