#include "tripgpx.h"

#include <QXmlStreamReader>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// ISO 8601 as GPX writes it: "2026-11-03T07:15:00Z", with fractions or an offset.
QDateTime readTime(const QString& text) {
    QDateTime t = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    return t.isValid() ? t.toUTC() : QDateTime();
}

} // namespace

Result parseGpx(const QByteArray& data, QVector<TrackPoint>& out) {
    QXmlStreamReader xml(data);
    QVector<TrackPoint> points;
    auto damaged = [&](const QString& what) {
        return Result::failure(u"A GPX fájl %1. sora: %2"_s.arg(xml.lineNumber()).arg(what), 62);
    };
    bool gpx = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"gpx"_s) {
            gpx = true;
            continue;
        }
        if (xml.name() != u"trkpt"_s)
            continue;
        bool okLat = false, okLon = false;
        TrackPoint p;
        p.at.lat = xml.attributes().value(u"lat"_s).toDouble(&okLat);
        p.at.lon = xml.attributes().value(u"lon"_s).toDouble(&okLon);
        if (!okLat || !okLon || p.at.lat < -90 || p.at.lat > 90 || p.at.lon < -180 || p.at.lon > 180)
            return damaged(u"a pont koordinátái (lat, lon) hiányoznak vagy hibásak."_s);
        const qint64 line = xml.lineNumber();
        // The point's children: only its time matters here.
        while (xml.readNextStartElement()) {
            if (xml.name() == u"time"_s)
                p.time = readTime(xml.readElementText());
            else
                xml.skipCurrentElement();
        }
        if (xml.hasError())
            break;
        if (!p.time.isValid())
            return Result::failure(u"A GPX fájl %1. sora: a pontnak nincs olvasható ideje (<time>); idő nélkül "
                                   u"a megállók nem ismerhetők fel."_s.arg(line), 62);
        points << p;
    }
    if (xml.hasError())
        return damaged(u"a fájl nem olvasható XML (%1)."_s.arg(xml.errorString()));
    if (!gpx)
        return Result::failure(u"A fájl nem GPX (nincs benne <gpx> elem)."_s, 62);
    std::stable_sort(points.begin(), points.end(), [](const TrackPoint& a, const TrackPoint& b) { return a.time < b.time; });
    out = std::move(points);
    return Result::success();
}

QTimeZone logbookZone() {
    const QTimeZone budapest("Europe/Budapest");
    return budapest.isValid() ? budapest : QTimeZone::systemTimeZone();
}

QVector<RecordedTrip> tripsFromTrack(const QVector<TrackPoint>& points, const StopRule& rule, const QTimeZone& zone) {
    const QTimeZone tz = zone.isValid() ? zone : logbookZone();
    const qsizetype n = points.size();
    // Stops as [first, last] point indices.
    QVector<std::pair<qsizetype, qsizetype>> stops;
    for (qsizetype i = 0; i < n;) {
        qsizetype j = i;
        while (j + 1 < n && haversineMetres(points[i].at, points[j + 1].at) <= rule.radius)
            ++j;
        if (j > i && points[i].time.secsTo(points[j].time) >= qint64(rule.minutes) * 60) {
            stops.append({i, j});
            i = j + 1;
        } else {
            ++i;
        }
    }
    QVector<RecordedTrip> trips;
    auto addTrip = [&](qsizetype a, qsizetype b) {
        if (b <= a)
            return;
        double metres = 0;
        for (qsizetype k = a; k < b; ++k)
            metres += haversineMetres(points[k].at, points[k + 1].at);
        if (metres < rule.shortest)
            return;
        RecordedTrip t;
        const QDateTime start = points[a].time.toTimeZone(tz);
        const QDateTime end = points[b].time.toTimeZone(tz);
        t.date = start.date();
        t.start = start.time();
        t.end = end.time();
        t.fromPoint = points[a].at;
        t.toPoint = points[b].at;
        t.km = metres / 1000.0;
        t.line = int(a + 1); // the trip's first point, counted from 1
        trips << t;
    };
    qsizetype from = 0;
    for (const auto& [first, last] : stops) {
        addTrip(from, first);
        from = last;
    }
    addTrip(from, n - 1);
    return trips;
}

} // namespace rv
