#pragma once

#include "model/triprecords.h"
#include "storage/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <QVector>

namespace rv {

// One recorded position of a track.
struct TrackPoint {
    GeoPoint at;
    QDateTime time; // UTC
};

// Reads every <trkpt> of every track and segment (lat, lon and <time>), in time order. A point
// without a time or with coordinates out of range is damage: the message names its line.
Result parseGpx(const QByteArray& data, QVector<TrackPoint>& out);

// How a track is cut into trips.
struct StopRule {
    int minutes = 5;      // standing at least this long is a stop
    double radius = 100;  // metres: staying within this of where the standstill began
    double shortest = 200; // metres: a stretch between stops shorter than this is no trip (drift)
};
inline constexpr int kDefaultStopMinutes = 5;

// The trips of a track: a stop is a run of points that stay within rule.radius of its first
// point for at least rule.minutes (a tracker that stops logging while parked leaves one point
// and a gap in time, which is the same). A trip runs from the last point of one stop to the first
// of the next (the track's first and last points end it too); its km is the sum of the haversine
// distances of its points. Dates and times are those of zone (Hungary's by default).
QVector<RecordedTrip> tripsFromTrack(const QVector<TrackPoint>& points, const StopRule& rule = {},
                                     const QTimeZone& zone = QTimeZone());

// The zone the logbook is kept in: Europe/Budapest where the system knows it, else local time.
QTimeZone logbookZone();

} // namespace rv
