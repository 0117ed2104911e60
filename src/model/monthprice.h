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
    bool kilograms = false;           // CNG, priced by the kilogram
    std::optional<qint16> published;  // the month's published price the car's list lacks
    QString plate;                    // the car, for the fix
    // "2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva",
    // or, where the published list has the month: "2025. decemberre a közzétett NAV-ár (gázolaj)
    // 612 Ft/l, de az autó árai között nincs; a 2025. novemberi 596 Ft/l-rel számolva"
    QString text() const;
};

// The published list of a fuel type as it is on disk now (Users/ + its file); a file that does not
// read counts as empty, as a list not in use.
QVector<FuelPrice> publishedList(const AppState& s, int fuelIndex);

// Whether the published list of a fuel type is watched for missing months: ESZ-95, gázolaj and
// keverék always, as they were; an LPG or CNG list once a car of that gas is in the list.
bool publishedListWatched(const AppState& s, int fuelIndex);

// How NAV names a fuel type's column ("ESZ-95", "gázolaj", "keverék"); the table's name otherwise.
QString navFuelName(int fuelIndex);

// First days of this month and the one before that a published list in use lacks, ascending.
QVector<QDate> missingRecentMonths(const QVector<FuelPrice>& published, const QDate& today);

} // namespace rv
