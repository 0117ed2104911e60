#include "tripimport.h"

#include "database/partners.h"
#include "model/cost.h"
#include "model/logbookfile.h"
#include "model/monthlist.h"
#include "model/monthchange.h"
#include "model/statefiles.h"
#include "model/state.h"
#include "storage/fileio.h"
#include "storage/settings.h"
#include "storage/tables.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QString dayText(const QDate& d) { return d.toString(u"yyyy.MM.dd."_s); }

QStringList presetLines(const Settings& settings) {
    return settings.text(keys::TripPresets).split(u'\n', Qt::SkipEmptyParts);
}

bool before(const RecordedTrip& a, const RecordedTrip& b) {
    if (a.date != b.date)
        return a.date < b.date;
    if (a.start != b.start)
        return a.start.isValid() && (!b.start.isValid() || a.start < b.start);
    return a.line < b.line;
}

// Which listed place a recorded end is: the same folded text, or for a stop the first within the
// radius of one listed.
int listedPlace(const QVector<UnmatchedPlace>& list, const QString& text, const std::optional<GeoPoint>& at) {
    for (qsizetype i = 0; i < list.size(); ++i) {
        const UnmatchedPlace& p = list[i];
        if (at && p.at && haversineMetres(*at, *p.at) <= kPlaceRadiusMetres)
            return int(i);
        if (!at && !p.at && placeKey(p.text) == placeKey(text))
            return int(i);
    }
    return -1;
}

void matchEnds(const QVector<Partner>& partners, const QVector<KnownPlace>& known, TripPlan& plan) {
    plan.unmatched.clear();
    for (PlacedTrip& t : plan.trips) {
        auto place = [&](const QString& text, const std::optional<GeoPoint>& at, PlaceMatch& m, int& index) {
            m = matchPlace(partners, known, text, at);
            index = -1;
            // Where a private trip went is nobody's business: its places are not asked about.
            if (m.matched() || t.trip.kind == TripKind::Private)
                return;
            index = listedPlace(plan.unmatched, text, at);
            if (index < 0) {
                UnmatchedPlace p;
                p.text = text;
                p.at = at;
                p.first = t.trip.date;
                plan.unmatched << p;
                index = int(plan.unmatched.size() - 1);
            }
            UnmatchedPlace& p = plan.unmatched[index];
            ++p.trips;
            p.ambiguous = p.ambiguous || m.ambiguous;
        };
        place(t.trip.from, t.trip.fromPoint, t.from, t.fromPlace);
        place(t.trip.to, t.trip.toPoint, t.to, t.toPlace);
    }
}

QString partnerName(const AppState& s, int p) {
    if (p < 1 || p > s.partnerCount())
        return u"?"_s;
    const QString name = s.partner(p).name.trimmed();
    return name.isEmpty() ? PartnerAddress(s, p) : name;
}

} // namespace

// ---- settings ----------------------------------------------------------------------------------

QStringList tripPresetNames(const Settings& settings) {
    QStringList names;
    for (const QString& line : presetLines(settings))
        if (const qsizetype tab = line.indexOf(u'\t'); tab > 0 && layoutFromText(line.mid(tab + 1)))
            names << line.left(tab);
    return names;
}

std::optional<CsvLayout> tripPreset(const Settings& settings, const QString& name) {
    for (const QString& line : presetLines(settings))
        if (const qsizetype tab = line.indexOf(u'\t'); tab > 0 && line.left(tab) == name.trimmed())
            return layoutFromText(line.mid(tab + 1));
    return std::nullopt;
}

void saveTripPreset(Settings& settings, const QString& name, const CsvLayout& layout) {
    QString clean = name;
    clean.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    clean = clean.trimmed();
    QStringList lines;
    for (const QString& line : presetLines(settings))
        if (line.section(u'\t', 0, 0) != clean)
            lines << line;
    lines << clean + u'\t' + layoutToText(layout);
    settings.setText(keys::TripPresets, lines.join(u'\n'));
}

int stopMinutes(const Settings& settings) {
    bool ok = false;
    const int minutes = settings.text(keys::StopMinutes).trimmed().toInt(&ok);
    return ok && minutes >= 1 && minutes <= 240 ? minutes : kDefaultStopMinutes;
}

// ---- the file ----------------------------------------------------------------------------------

Result readTripFile(const QString& path, const std::optional<CsvLayout>& layout, int minutes, TripFile& out) {
    QByteArray data;
    if (Result r = readWholeFile(path, data, 64LL * 1024 * 1024); !r)
        return r;
    TripFile file;
    if (QFileInfo(path).suffix().compare(u"gpx"_s, Qt::CaseInsensitive) == 0) {
        QVector<TrackPoint> points;
        if (Result r = parseGpx(data, points); !r)
            return r;
        StopRule rule;
        rule.minutes = minutes;
        file.trips = tripsFromTrack(points, rule);
        file.track = true;
    } else {
        TripReport report;
        if (Result r = parseTripReport(data, layout ? *layout : detectCsvLayout(data), report); !r)
            return r;
        file.trips = std::move(report.trips);
        file.problems = std::move(report.problems);
    }
    out = std::move(file);
    return Result::success();
}

// ---- the places ----------------------------------------------------------------------------------

QString UnmatchedPlace::label() const {
    if (at)
        return u"%1, %2"_s.arg(at->lat, 0, 'f', 5).arg(at->lon, 0, 'f', 5);
    return text;
}

Result chooseTripMonth(const QVector<RecordedTrip>& trips, int year, int month, int& chosenYear, int& chosenMonth) {
    if (trips.isEmpty())
        return Result::failure(u"A fájlban nincs egyetlen út sem."_s);
    if (year > 0) {
        chosenYear = year;
        chosenMonth = month;
        const bool any = std::any_of(trips.begin(), trips.end(), [&](const RecordedTrip& t) {
            return t.date.year() == year && t.date.month() == month;
        });
        if (!any)
            return Result::failure(u"A fájlban nincs út %1 hónapban."_s.arg(monthsListLine(year, month)));
        return Result::success();
    }
    QMap<std::pair<int, int>, int> months;
    for (const RecordedTrip& t : trips)
        ++months[{t.date.year(), t.date.month()}];
    if (months.size() > 1) {
        QStringList names;
        for (auto it = months.cbegin(); it != months.cend(); ++it)
            names << u"%1 (%2 út)"_s.arg(monthsListLine(it.key().first, it.key().second)).arg(it.value());
        return Result::failure(u"A fájl több hónap útjait tartalmazza: %1. Válassza ki, melyik hónapot tölti be."_s.arg(
            names.join(u", "_s)));
    }
    chosenYear = months.firstKey().first;
    chosenMonth = months.firstKey().second;
    return Result::success();
}

TripPlan planTrips(const QVector<Partner>& partners, const QVector<KnownPlace>& known, const QVector<RecordedTrip>& trips,
                   int year, int month) {
    TripPlan plan;
    plan.year = year;
    plan.month = month;
    QVector<RecordedTrip> ofMonth;
    for (const RecordedTrip& t : trips) {
        if (t.date.year() == year && t.date.month() == month)
            ofMonth << t;
        else
            ++plan.outside;
    }
    std::stable_sort(ofMonth.begin(), ofMonth.end(), before);
    for (const RecordedTrip& t : ofMonth) {
        PlacedTrip p;
        p.trip = t;
        plan.trips << p;
    }
    matchEnds(partners, known, plan);
    return plan;
}

Partner partnerGuess(const UnmatchedPlace& place) {
    Partner p;
    if (place.at)
        return p;
    const qsizetype comma = place.text.indexOf(u',');
    if (comma < 0) {
        p.name = place.text.trimmed();
        return p;
    }
    static const QRegularExpression postalCode(u"^\\d{4}\\s+"_s);
    p.city = place.text.left(comma).trimmed().remove(postalCode);
    p.address = place.text.mid(comma + 1).trimmed();
    return p;
}

Result decidePlaces(AppState& s, QVector<KnownPlace>& known, TripPlan& plan, const QVector<PlaceDecision>& decisions) {
    if (decisions.size() != plan.unmatched.size())
        return Result::failure(u"Nem minden ismeretlen helyről született döntés."_s);
    for (qsizetype i = 0; i < decisions.size(); ++i) {
        const PlaceDecision& d = decisions[i];
        const QString place = plan.unmatched[i].label();
        if (d.kind == PlaceDecision::Kind::Partner && (d.partner < 1 || d.partner > s.partnerCount()))
            return Result::failure(u"A(z) „%1” helyhez választott partner nincs az adatbázisban."_s.arg(place));
        if (d.kind == PlaceDecision::Kind::NewPartner &&
            (d.newPartner.name.trimmed().isEmpty() || d.newPartner.city.trimmed().isEmpty()))
            return Result::failure(u"A(z) „%1” helyből készülő új partnernek név és város kell."_s.arg(place));
    }
    QVector<KnownPlace> added;
    QVector<Partner> partners = s.partners;
    for (qsizetype i = 0; i < decisions.size(); ++i) {
        const PlaceDecision& d = decisions[i];
        const UnmatchedPlace& u = plan.unmatched[i];
        KnownPlace k;
        k.at = u.at;
        k.text = u.at ? QString() : placeKey(u.text);
        switch (d.kind) {
        case PlaceDecision::Kind::Private:
            k.isPrivate = true;
            break;
        case PlaceDecision::Kind::Partner:
            k.partner = partners[d.partner - 1];
            break;
        case PlaceDecision::Kind::NewPartner: {
            Partner p{d.newPartner.name.trimmed(), d.newPartner.city.trimmed(), d.newPartner.address.trimmed()};
            // The same new partner named for two places is one partner.
            if (std::find(partners.begin(), partners.end(), p) == partners.end())
                partners << p;
            k.partner = p;
            break;
        }
        }
        added << k;
    }
    if (partners.size() > kMaxPartners)
        return Result::failure(u"Az adatbázisban legfeljebb %1 partner lehet."_s.arg(kMaxPartners));
    if (partners.size() != s.partners.size()) {
        s.distances.resize(int(partners.size()));
        s.partners = partners;
    }
    known += added;
    matchEnds(s.partners, known, plan);
    return Result::success();
}

// ---- the month ---------------------------------------------------------------------------------

QVector<RecordedLeg> businessLegs(const TripPlan& plan) {
    QVector<RecordedLeg> legs;
    for (const PlacedTrip& t : plan.trips)
        if (!t.isPrivate() && t.from.partner > 0 && t.to.partner > 0)
            legs << RecordedLeg{t.from.partner, t.to.partner, t.trip.km};
    return legs;
}

ImportedMonth buildImportedMonth(const AppState& s, const TripPlan& plan, qint32 chainedStart) {
    ImportedMonth out;
    MonthLog& log = out.log;
    log.year = plan.year;
    log.month = plan.month;
    std::array<QVector<int>, kLogDays> days;
    std::array<QStringList, kLogDays> purposes;
    double privateKm = 0;
    std::optional<qint64> firstReading, lastReading;
    for (const PlacedTrip& t : plan.trips) {
        const RecordedTrip& r = t.trip;
        if (!firstReading)
            firstReading = r.startOdometer ? r.startOdometer : r.endOdometer;
        if (r.endOdometer || r.startOdometer)
            lastReading = r.endOdometer ? r.endOdometer : r.startOdometer;
        const QString when = dayText(r.date) + (r.start.isValid() ? u' ' + r.start.toString(u"H:mm"_s) : QString());
        if (t.isPrivate()) {
            privateKm += r.km;
            continue;
        }
        if (t.from.partner < 1 || t.to.partner < 1) {
            out.notes << u"%1: az út egyik helye nincs eldöntve, kimarad."_s.arg(when);
            continue;
        }
        if (t.from.partner == t.to.partner) {
            out.notes << u"%1: a(z) %2 km-es út oda ért vissza, ahonnan indult (%3); közbülső megálló nélkül nem "
                         u"lehet szakasz, kimarad."_s.arg(when).arg(r.km, 0, 'f', 1).arg(partnerName(s, t.from.partner));
            continue;
        }
        QVector<int>& day = days[size_t(r.date.day() - 1)];
        if (!day.isEmpty() && day.last() != t.from.partner)
            out.notes << u"%1: az út innen indul: %2, de az előző itt ért véget: %3; a nyilvántartás a kettő "
                         u"közötti szakaszt is üzleti útnak veszi."_s.arg(when, partnerName(s, t.from.partner),
                                                                            partnerName(s, day.last()));
        if (day.isEmpty() || day.last() != t.from.partner)
            day << t.from.partner;
        day << t.to.partner;
        if (!r.purpose.isEmpty() && !purposes[size_t(r.date.day() - 1)].contains(r.purpose))
            purposes[size_t(r.date.day() - 1)] << r.purpose;
    }
    int width = 0;
    for (const QVector<int>& day : days)
        width = std::max(width, int(day.size()));
    log.stopWidth = width;
    log.stops.reset(std::max(width, 1));
    for (int d = 1; d <= kLogDays; ++d) {
        const QVector<int>& day = days[size_t(d - 1)];
        for (qsizetype c = 0; c < day.size(); ++c)
            log.stops.at(d, int(c + 1)) = qint16(day[c]);
        log.comments[size_t(d - 1)] = purposes[size_t(d - 1)].join(u"; "_s);
    }
    log.startOdometer = firstReading ? qint32(*firstReading) : chainedStart;
    out.privateKmRecorded = std::llround(privateKm);
    if (lastReading && firstReading) {
        log.closingReading = qint32(*lastReading);
        log.privateKm = 0;
    } else {
        log.privateKm = qint32(std::min<qint64>(out.privateKmRecorded, 99999999));
    }
    log.modified = true;
    refreshKilometres(s, log);
    out.dayLines = previewLines(s, log);
    return out;
}

MonthLog mergeImportedMonth(const MonthLog& existing, const ImportedMonth& imported) {
    MonthLog m = existing;
    const MonthLog& in = imported.log;
    const int width = std::max(existing.stopWidth, in.stopWidth);
    m.stops.resize(std::max(width, 1));
    m.stopWidth = width;
    for (int d = 1; d <= kLogDays; ++d) {
        if (in.stops.stopCount(d) == 0)
            continue;
        for (int c = 1; c <= m.stops.columns(); ++c)
            m.stops.at(d, c) = c <= in.stops.columns() ? in.stops.at(d, c) : 0;
        if (!in.comments[size_t(d - 1)].isEmpty())
            m.comments[size_t(d - 1)] = in.comments[size_t(d - 1)];
    }
    if (m.startOdometer == 0)
        m.startOdometer = in.startOdometer;
    if (in.closingReading > 0) {
        m.closingReading = in.closingReading;
        m.privateKm = 0;
    } else if (m.closingReading == 0) {
        m.privateKm = qint32(std::min<qint64>(qint64(m.privateKm) + in.privateKm, 99999999));
    }
    m.modified = true;
    return m;
}

ImportWrite writeImport(AppState& s, bool databaseChanged, const QVector<KnownPlace>* places, const QString& fileName,
                        const MonthLog& log) {
    ImportWrite out;
    auto fail = [&](const QString& what, const Result& r) {
        const QString before = out.database ? u"A partneradatbázis már elmentve. "_s : QString();
        out.result = Result::failure(before + what + u'\n' + r.message(), r.code());
        return out;
    };
    if (Result r = s.refuseReadOnly(); !r) {
        out.result = r;
        return out;
    }
    if (databaseChanged) {
        if (const Result r = SaveDatabase(s); !r)
            return fail(u"A partneradatbázis mentése nem sikerült, semmit sem írtam."_s, r);
        out.database = true;
    }
    if (places)
        if (const Result r = savePlaces(s.carGate(), s.carPath(QString()), *places); !r)
            return fail(u"A helyek mentése nem sikerült; a hónapot nem írtam."_s, r);
    MonthLog saved = log;
    saved.fileName = fileName;
    const MonthChange change = writeMonth(s, fileName, saved);
    if (!change.file)
        return fail(u"A nyilvántartás mentése nem sikerült."_s, change.file);
    if (!change.facts)
        return fail(u"A nyilvántartás elmentve, de a hónap magánhasználata nem frissíthető."_s, change.facts);
    return out;
}

QStringList previewLines(const AppState& s, const MonthLog& log) {
    QStringList lines;
    const int days = daysInMonth(log.year, log.month);
    for (int d = 1; d <= days; ++d) {
        const int n = log.stops.stopCount(d);
        if (n == 0)
            continue;
        QStringList names;
        for (int c = 1; c <= n; ++c)
            names << partnerName(s, log.stops.at(d, c));
        const QDate date(log.year, log.month, d);
        QString line = u"%1 %2: %3, %4 km"_s.arg(dayText(date), DayNames()[size_t(date.dayOfWeek() - 1)].toLower(),
                                                 names.join(u" – "_s))
                           .arg(log.dayKm[size_t(d - 1)]);
        if (!log.comments[size_t(d - 1)].isEmpty())
            line += u" (%1)"_s.arg(log.comments[size_t(d - 1)]);
        lines << line;
    }
    return lines;
}

QMap<QString, qint64> kmOfStoredMonths(const AppState& s) {
    QMap<QString, qint64> km;
    const LogbookListing listing = listLogbooks(s);
    for (const LogbookEntry& e : listing.entries)
        if (const auto legs = storedMonthKm(s, listing.files[e.position]))
            km.insert(listing.files[e.position], *legs);
    return km;
}

QStringList monthKmChanges(const AppState& s, const QMap<QString, qint64>& before) {
    QStringList out;
    const LogbookListing listing = listLogbooks(s);
    for (const LogbookEntry& e : listing.entries) {
        const QString& file = listing.files[e.position];
        const auto now = storedMonthKm(s, file);
        if (now && before.contains(file) && before.value(file) != *now)
            out << u"A tanult távolságokkal a(z) %1 hónap km-e %2 helyett %3 km (%4)."_s.arg(monthsListLine(e.year, e.month))
                       .arg(before.value(file))
                       .arg(*now)
                       .arg(file);
    }
    return out;
}

QString learnedDistanceText(const AppState& s, const LearnedDistance& d) {
    const QString pair = partnerName(s, d.a) + u" – "_s + partnerName(s, d.b);
    switch (d.verdict) {
    case LearnedDistance::Verdict::Fill:
        return u"%1: %2 km (a rögzített utak mediánja, %3 út; a táblázatban nem volt)"_s.arg(pair).arg(d.recorded).arg(d.trips);
    case LearnedDistance::Verdict::Differs:
        return u"%1: a táblázatban %2 km, a rögzített utak mediánja %3 km (%4 út)"_s.arg(pair).arg(d.table).arg(d.recorded).arg(
            d.trips);
    case LearnedDistance::Verdict::Agrees:
        break;
    }
    return u"%1: %2 km"_s.arg(pair).arg(d.table);
}

} // namespace rv
