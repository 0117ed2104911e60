#pragma once

// The fuel prices NAV publishes each month for cost accounting by norm (ESZ-95, gázolaj,
// keverék, LPG, CNG; no ESZ-98), by the 25th of the month before, for trips of that month. The
// program carries the table data/nav-uzemanyagarak.tsv (each row with its source) compiled in;
// newer months come from files of the same layout, read by the same parser.

#include "storage/carrecords.h"
#include "result.h"

#include <QByteArray>
#include <QVector>

#include <array>
#include <optional>

namespace rv {

enum NavColumn { NavEsz95, NavGazolaj, NavKeverek, NavLpg, NavCng, kNavColumnCount };

struct NavPriceRow {
    int year = 0;
    int month = 0;
    std::array<std::optional<qint16>, kNavColumnCount> prices; // none where the cell is empty
    QString source;
};

// A table with the header "year month esz95 gazolaj keverek lpg cng source_url", tab- or
// ";"-separated (as the header is); lines starting with # and blank lines are ignored, empty
// price cells skipped. A table with a month outside 1-12, a year outside 1-9999, a price that is
// not a whole number 1-32767, a missing column or a month given twice is refused whole, the line
// named.
Result parseNavPriceTable(const QByteArray& data, const QString& fileName, QVector<NavPriceRow>& out);

// The bytes of data/nav-uzemanyagarak.tsv as built into the program, and that table read.
QByteArray shippedNavTableBytes();
const QVector<NavPriceRow>& shippedNavPrices();

// The NAV column of a fuel type (0-based index into the fuel type table): ESZ-95, dízel
// (gázolaj) and keverék have one; ESZ-98 has none.
std::optional<NavColumn> navColumnOf(int fuelIndex);

// One fuel type's prices of a table: an entry a month dated its first day, ascending.
QVector<FuelPrice> navPricesOf(const QVector<NavPriceRow>& rows, int fuelIndex);

// A price list against monthly prices. A month counts as present when any entry falls in it.
struct MonthlyMerge {
    QVector<FuelPrice> prices;   // the merged list, ascending (entries of a day keep their order)
    QVector<QDate> added;        // first days of the months the list lacked
    QVector<QDate> differing;    // first days of the present months whose entries differ
};
// Adds the months the list lacks; with replace a differing month's entries give way to the
// monthly one. Without replace every entry of the list stays as it is.
MonthlyMerge mergeMonthly(const QVector<FuelPrice>& list, const QVector<FuelPrice>& monthly, bool replace);

// "2024. március".
QString navMonthText(const QDate& day);

} // namespace rv
