#pragma once

#include "model/monthlog.h"
#include "model/reckoning.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace rv {

struct AppState;

// One month of the year that has a logbook, opened as the months window opens it (stops the
// database lacks left out, kilometres counted anew from the legs). A logbook that cannot be read
// is a row too, with its reason: the year never hides a month.
struct YearRow {
    int month = 0;
    QString fileName;
    QString unreadable; // why the logbook could not be read; empty when it was
    qint32 start = 0;   // 0: the month has no start reading
    qint64 km = 0;        // business: the sum of the legs
    qint64 privateKm = 0; // typed, or worked out of the real closing reading
    std::optional<qint64> realClosing; // the closing reading read off the odometer
    bool privateFault = false; // the real closing reading lies below start + km
    qint64 cost = 0; // meaningless when missingPrice
    bool missingPrice = false;
    bool chainBreak = false; // the start does not follow on from the previous month
    QString priceFault;      // costed at an earlier month's price where NAV's is missing
    QStringList doubts;      // what makes the month's cost doubtful, its reckoning's words
    QStringList otherDoubts; // of those, the ones the fields above do not name
    QVector<PriceRun> prices; // the prices the month took, as its reckoning says
    bool doubtful() const { return !readable() || !doubts.isEmpty(); }
    SeasonBox season = SeasonBox::None;
    bool readable() const { return unreadable.isEmpty(); }
    // None for a month without a start reading, which has no closing reading either.
    std::optional<qint64> closing() const {
        if (!readable())
            return std::nullopt;
        if (realClosing)
            return realClosing;
        return start != 0 ? std::optional<qint64>(qint64(start) + km + privateKm) : std::nullopt;
    }
    bool warned() const { return doubtful() || chainBreak || privateFault; }
};

struct YearSummary {
    int year = 0;
    FuelMeasure measure = FuelMeasure::Litre;
    QVector<YearRow> rows; // by month
    qint64 totalKm = 0;
    qint64 totalPrivateKm = 0;
    qint64 totalCost = 0;       // meaningless when missingPrice
    bool missingPrice = false;  // some month lacks a price: the year has no total cost
    bool incomplete = false;    // some month cannot be read: the year has no totals
    QStringList warnings;       // the messages of what could not be read
    // Some month cannot be read or its cost is doubtful: the year is refused unless accepted.
    bool doubtful() const;
    // The start reading of the first readable month that has one; the closing reading of the
    // last such month.
    std::optional<qint64> opening() const;
    std::optional<qint64> closing() const;
};

// The logged-in car's year; needs its partners, distances, prices and multipliers loaded.
YearSummary summarizeYear(const AppState& s, int year);

// A cost or "-" when a price is missing.
QString yearCostText(qint64 cost, bool missingPrice);
// A reading or kilometres, "–" where there is none.
QString yearKmText(const std::optional<qint64>& km);
// The cells of a row as every output shows them: start, km, closing, cost.
QString rowStartText(const YearRow& row);
QString rowKmText(const YearRow& row);
QString rowCostText(const YearRow& row);
QString totalKmText(const YearSummary& y);
QString totalCostText(const YearSummary& y);
// The private km and the business share ("80,0 %") of a row and of the year; "–" where unknown.
QString rowPrivateText(const YearRow& row);
QString rowShareText(const YearRow& row);
QString totalPrivateText(const YearSummary& y);
QString totalShareText(const YearSummary& y);
// What a row's warning mark stands for, empty without one.
QString yearRowWarning(const YearRow& row);

} // namespace rv
