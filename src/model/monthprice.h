#pragma once

// Whether a month is costed at its own published price. NAV publishes one price a month for each
// fuel; a price carried over from an earlier month is a figure the statement cannot vouch for.

#include "model/monthlog.h"
#include "storage/tables.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

namespace rv {

struct AppState;
struct FuelPrice;

struct PriceFault {
    QDate month;      // first day of the month costed
    QDate from;       // date of the entry its legs were costed at
    qint16 price = 0;
    QString fuelName; // "gázolaj"
    // "2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva"
    QString text() const;
};

// A month's legs whose price comes from an entry dated in an earlier calendar month, while the
// published list of the car's fuel is in use but lacks the month (a gap, or past its end). A
// price the user typed for a day of the month, and a month before the published list begins,
// are never faults; nor is anything when the published list is empty.
std::optional<PriceFault> monthPriceFault(const AppState& s, const MonthLog& log);

// The same rule for one price list, the published one and the days that have legs.
std::optional<PriceFault> priceFaultOf(const QVector<FuelPrice>& prices, const QVector<FuelPrice>& published,
                                       int year, int month, const QVector<int>& legDays);

// The published list of a fuel type as it is on disk now (Users/ + its file); a file that does not
// read counts as empty, as a list not in use.
QVector<FuelPrice> publishedList(const AppState& s, int fuelIndex);

// How NAV names a fuel type's column ("ESZ-95", "gázolaj", "keverék"); the table's name otherwise.
QString navFuelName(int fuelIndex);

// First days of this month and the one before that a published list in use lacks, ascending.
QVector<QDate> missingRecentMonths(const QVector<FuelPrice>& published, const QDate& today);

} // namespace rv
