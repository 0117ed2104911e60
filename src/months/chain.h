#pragma once

#include <QString>

#include <optional>

namespace rv {

struct AppState;
struct LogbookListing;

// A month's odometer readings as its logbook holds them.
struct MonthReading {
    int year = 0;
    int month = 0;
    qint32 start = 0;
    qint64 km = 0;
    qint64 closing() const { return qint64(start) + km; }
};

// The month a month follows on from: the latest earlier month of the car whose logbook has a
// start reading. None when there is no such month.
std::optional<MonthReading> previousReading(const LogbookListing& listing, int year, int month);
std::optional<MonthReading> previousReading(const AppState& s, int year, int month);

// The start reading of a new month: the previous month's closing reading, 0 without one.
qint32 chainedStart(const std::optional<MonthReading>& previous);

// The fault when a month's start reading does not follow on; empty when it does, when the month
// has no start reading or there is no previous month.
QString chainFault(qint32 start, const std::optional<MonthReading>& previous);

} // namespace rv
