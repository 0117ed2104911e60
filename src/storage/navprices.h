#pragma once

// The fuel prices NAV publishes each month for cost accounting by norm (ESZ-95, gázolaj,
// keverék, LPG, CNG; no ESZ-98), by the 25th of the month before, for trips of that month. The
// program carries the table data/nav-uzemanyagarak.tsv (each row with its source) compiled in;
// newer months come from files of the same layout, read by the same parser.

#include "storage/carrecords.h"
#include "storage/tables.h"
#include "result.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

namespace rv {

enum NavColumn { NavEsz95, NavGazolaj, NavKeverek, NavLpg, NavCng, kNavColumnCount };

// "ESZ-95", "gázolaj", "keverék", "LPG", "CNG".
QString navColumnName(NavColumn column);

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
// (gázolaj), keverék, both LPG kinds and CNG have one; ESZ-98 has none.
std::optional<NavColumn> navColumnOf(int fuelIndex);

// One fuel type's prices of a table: an entry a month dated its first day, ascending.
QVector<FuelPrice> navPricesOf(const QVector<NavPriceRow>& rows, int fuelIndex);
// The same for a column of the table.
QVector<FuelPrice> navColumnPrices(const QVector<NavPriceRow>& rows, NavColumn column);

// LPG (Ft/l) and CNG (Ft/kg) as NAV publishes them, each in a published list of its own under
// Users/, beside the four of the fuel types, for cars of those fuels.
struct GasList {
    NavColumn column;
    const char16_t* file;
};
inline constexpr std::array<GasList, 2> kGasLists{{{NavLpg, kLpgListFile}, {NavCng, kCngListFile}}};

// A price list against monthly prices. A month counts as present when any entry falls in it.
struct MonthlyMerge {
    QVector<FuelPrice> prices;   // the merged list, ascending (entries of a day keep their order)
    QVector<QDate> added;        // first days of the months the list lacked
    QVector<QDate> differing;    // first days of the present months whose entries differ
};
// Adds the months the list lacks; with replace a differing month's entries give way to the
// monthly one. Without replace every entry of the list stays as it is.
MonthlyMerge mergeMonthly(const QVector<FuelPrice>& list, const QVector<FuelPrice>& monthly, bool replace);

// The prices of rows a reader cannot vouch for, one line each naming the month and the fuel: a
// price outside kNavPlausible (Ft/l; CNG Ft/kg alike), or one that moves more than a third from
// the month before (the rows' own, else earlier's). Such a table goes in only when confirmed.
struct PriceBand {
    int min;
    int max;
};
inline constexpr PriceBand kNavPlausible{100, 2000};
QStringList implausibleNavPrices(const QVector<NavPriceRow>& rows, const QVector<NavPriceRow>& earlier);

// "2024. március".
QString navMonthText(const QDate& day);

} // namespace rv
