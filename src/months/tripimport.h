#pragma once

#include "model/learneddistances.h"
#include "model/monthlog.h"
#include "model/placematch.h"
#include "model/tripgpx.h"
#include "model/triprecords.h"
#include "storage/result.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace rv {

struct AppState;
class Settings;

// ---- settings ----------------------------------------------------------------------------------

// The column layouts the user named in the mapping step, and the stop length of tracks.
namespace keys {
inline const QString TripPresets = QStringLiteral("Útimport sémák"); // a line per preset: name, tab, layout
inline const QString StopMinutes = QStringLiteral("Megálló perc");
} // namespace keys

QStringList tripPresetNames(const Settings& settings);
std::optional<CsvLayout> tripPreset(const Settings& settings, const QString& name);
// Adds or replaces the preset; the name loses tabs and line ends.
void saveTripPreset(Settings& settings, const QString& name, const CsvLayout& layout);
// The stop length of tracks in minutes (1..240), 5 when not set.
int stopMinutes(const Settings& settings);

// ---- the file ----------------------------------------------------------------------------------

struct TripFile {
    QVector<RecordedTrip> trips;
    QStringList problems; // rows that were left out
    bool track = false;   // a GPX track: places are positions
};
// A ".gpx" file is a track cut at stops of stopMinutes; anything else a trip report read by
// layout, or by what detectCsvLayout tells when none is given.
Result readTripFile(const QString& path, const std::optional<CsvLayout>& layout, int stopMinutes, TripFile& out);

// ---- the places ----------------------------------------------------------------------------------

// A recorded place that matched no partner, listed once for all its trips.
struct UnmatchedPlace {
    QString text;               // as recorded (a report's address or place name)
    std::optional<GeoPoint> at; // a track's stop
    int trips = 0;
    QDate first;
    bool ambiguous = false; // fits several partners
    QString label() const;  // the text, or the position "47.52000, 19.05000"
};

struct PlacedTrip {
    RecordedTrip trip;
    PlaceMatch from;
    PlaceMatch to;
    int fromPlace = -1; // index into TripPlan::unmatched when the end matched nothing
    int toPlace = -1;
    // Private when recorded so or when either end is a private place.
    bool isPrivate() const { return trip.kind == TripKind::Private || from.isPrivate || to.isPrivate; }
};

struct TripPlan {
    int year = 0;
    int month = 0;
    QVector<PlacedTrip> trips; // the month's, by day and start time
    QVector<UnmatchedPlace> unmatched;
    int outside = 0; // trips of other months, left out
};

// The month of the trips: the one asked for, else the only month they hold; otherwise the
// message names the months found.
Result chooseTripMonth(const QVector<RecordedTrip>& trips, int year, int month, int& chosenYear, int& chosenMonth);

// Orders the month's trips and matches both ends of each against the partners and the places
// remembered; a stop of a track within kPlaceRadiusMetres of an unmatched one is the same place.
TripPlan planTrips(const QVector<Partner>& partners, const QVector<KnownPlace>& known, const QVector<RecordedTrip>& trips,
                   int year, int month);

// What the user says of an unmatched place.
struct PlaceDecision {
    enum class Kind { Partner, NewPartner, Private } kind = Kind::Private;
    int partner = 0;    // Partner: 1-based
    Partner newPartner; // NewPartner
};
// A new partner's texts guessed from a recorded address: "1138 Budapest, Váci út 12." gives town
// "Budapest" and address "Váci út 12."; a text without a comma is taken as the name. A track's
// stop gives nothing.
Partner partnerGuess(const UnmatchedPlace& place);

// Adds the new partners to state (with an empty row and column of distances), remembers every
// decided place in known and matches the trips again. decisions run parallel to plan.unmatched.
// A new partner must have a name and a town; a partner number must exist.
Result decidePlaces(AppState& s, QVector<KnownPlace>& known, TripPlan& plan, const QVector<PlaceDecision>& decisions);

// ---- the month ---------------------------------------------------------------------------------

// Every business trip between two partners, as the distance learning takes them.
QVector<RecordedLeg> businessLegs(const TripPlan& plan);

struct ImportedMonth {
    MonthLog log;          // stops, comments, start reading and private use
    QStringList notes;     // what the import could not carry over as recorded
    QStringList dayLines;  // the preview: a line per day with trips
    qint64 privateKmRecorded = 0; // the private trips' km, rounded
};

// The month from the plan, every end decided: business trips become each day's stops (first
// trip's start, then each end; a trip that starts elsewhere than the last one ended adds its
// start, told, and a trip back to where it began cannot be a leg and is told), purposes become
// the day's comment, private trips add up to the private km. The first recorded odometer reading
// is the start reading (else chainedStart) and the last one the closing reading. The day and
// month km are counted on the state's distances.
ImportedMonth buildImportedMonth(const AppState& s, const TripPlan& plan, qint32 chainedStart);

// The existing month with the imported days put in: a day the import has trips for takes the
// imported stops and comment, the rest stay. The start reading stays unless it was 0; the
// imported closing reading replaces the month's private use, imported private km are added to
// the typed ones.
MonthLog mergeImportedMonth(const MonthLog& existing, const ImportedMonth& imported);

// Writes what the import changed, each file through the one writer: the partner database when
// partners were added or distances learned (first, since the month names its stops by their
// texts), the places when some were remembered, then the month and its facts. Stops at the first
// failure, whose message says what was written before it.
struct ImportWrite {
    Result result = Result::success();
    bool database = false; // the partner database is on disk as the state holds it
};
ImportWrite writeImport(AppState& s, bool databaseChanged, const QVector<KnownPlace>* places, const QString& fileName,
                        const MonthLog& log);

// "2026.11.03. kedd: Cég – Alfa Zrt. – Cég, 242 km (Szerződés aláírása)" for each day of log.
QStringList previewLines(const AppState& s, const MonthLog& log);

// A month's km are its legs on the car's distances, so a learned distance changes the stored
// months that use the pair. kmOfStoredMonths gives each readable logbook's km (by file);
// monthKmChanges, after the distances changed, names each month whose km differ from before.
QMap<QString, qint64> kmOfStoredMonths(const AppState& s);
QStringList monthKmChanges(const AppState& s, const QMap<QString, qint64>& before);

// A learned distance as the import lists and asks it.
QString learnedDistanceText(const AppState& s, const LearnedDistance& d);

} // namespace rv
