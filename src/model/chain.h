#pragma once

#include "model/monthfacts.h"

#include <QString>
#include <QVector>

#include <optional>

namespace rv {

// A month's odometer readings: its start reading as stored, its kilometres as the sum of its
// legs, its private kilometres and its real closing reading when one was typed.
struct MonthReading {
    int year = 0;
    int month = 0;
    qint32 start = 0;
    qint64 km = 0;
    qint64 privateKm = 0;
    std::optional<qint64> real; // the closing reading read off the odometer
    // The next month starts here: the real reading, else start + business + private km.
    qint64 closing() const { return real ? *real : qint64(start) + km + privateKm; }
};
// The reading of a month from its start, its legs' km and its facts.
MonthReading monthReading(int year, int month, qint32 start, qint64 km, const MonthFacts& facts);

// The car's months as the chain sees them, kept apart from how they are stored.
class MonthHistory {
public:
    virtual ~MonthHistory() = default;
    // The months with a logbook, oldest first, each once, with its start reading (0: none).
    struct Start {
        int year = 0;
        int month = 0;
        qint32 start = 0;
    };
    virtual QVector<Start> starts() const = 0;
    // The kilometres of a month's legs; none when its logbook cannot be read.
    virtual std::optional<qint64> legKm(int year, int month) const = 0;
    // What is kept beside a month: its private use. None by default.
    virtual MonthFacts facts(int year, int month) const { return MonthFacts{year, month}; }
};

// The month a month follows on from: the latest earlier month whose logbook has a start reading
// and can be read. None when there is no such month.
std::optional<MonthReading> previousReading(const MonthHistory& history, int year, int month);

// How a reading's digits are written: plain for the command line and files, grouped by threes
// for people (windows and printouts).
enum class Digits { Plain, Grouped };
// A month's closing reading with its unit ("12 345 km"): the real reading when typed, else
// start + km + private; "–" for a month without a start reading, which has no closing either.
QString closingReadingText(const MonthReading& reading, Digits digits = Digits::Plain);

// The start reading of a new month: the previous month's closing reading, 0 without one.
qint32 chainedStart(const std::optional<MonthReading>& previous);

// The fault when a month's start reading does not follow on; empty when it does, when the month
// has no start reading or there is no previous month.
QString chainFault(qint32 start, const std::optional<MonthReading>& previous);

} // namespace rv
