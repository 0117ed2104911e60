#pragma once

#include "storage/result.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

#include <array>
#include <optional>

namespace rv {

// Lower case, accents off ("Győr" and "GYOR" alike), every run of punctuation and space one space.
QString foldText(const QString& text);

// A place as a tracker or an app recorded it.
struct GeoPoint {
    double lat = 0; // degrees
    double lon = 0;
    friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};
// The great-circle distance in metres on a sphere of the Earth's mean radius (haversine).
double haversineMetres(const GeoPoint& a, const GeoPoint& b);

enum class TripKind { Business, Private };

// One recorded trip: a row of a trip report or a stretch of a track between two stops.
struct RecordedTrip {
    QDate date;
    QTime start; // invalid when not recorded
    QTime end;
    QString from; // address or place name; empty for a track
    QString to;
    std::optional<GeoPoint> fromPoint; // a track's start and end
    std::optional<GeoPoint> toPoint;
    double km = 0;
    std::optional<qint64> startOdometer;
    std::optional<qint64> endOdometer;
    TripKind kind = TripKind::Business;
    QString purpose;
    int line = 0; // where the trip is in its file, for messages
};

// ---- trip reports (CSV) ----------------------------------------------------------------------

enum class TripField {
    Date,
    StartTime,
    EndTime,
    From,
    To,
    Km,
    StartOdometer,
    EndOdometer,
    Kind,
    Purpose,
};
constexpr int kTripFieldCount = 10;
// The fields' names in the column-mapping step and in presets ("dátum", "honnan", ...).
QString tripFieldName(TripField f);
std::optional<TripField> tripFieldByName(const QString& name);

enum class TextEncoding { Utf8, Windows1250 };
enum class DecimalMark { Comma, Point };

// How a report is laid out: what the column-mapping step shows and a preset keeps.
struct CsvLayout {
    QChar separator = u';';
    TextEncoding encoding = TextEncoding::Utf8;
    DecimalMark decimal = DecimalMark::Comma;
    bool header = true;
    // The 0-based column of each field, -1 when the report has none.
    std::array<int, kTripFieldCount> columns{};
    CsvLayout() { columns.fill(-1); }
    int column(TripField f) const { return columns[size_t(f)]; }
    int& column(TripField f) { return columns[size_t(f)]; }
    friend bool operator==(const CsvLayout&, const CsvLayout&) = default;
};

// A report needs at least these: the date, both ends and the distance.
QString missingFieldsText(const CsvLayout& layout);

// The bytes as text: a UTF-8 byte order mark or valid UTF-8 is UTF-8, anything else Windows-1250
// (our own table).
TextEncoding detectEncoding(const QByteArray& data);
QString decodeText(const QByteArray& data, TextEncoding encoding);

// Splits text into rows of fields: quotes may hold separators, line ends and doubled quotes.
QVector<QStringList> splitCsv(const QString& text, QChar separator);

// Everything the detection can tell from the file itself: encoding, separator (the one of ; , tab
// | that splits the first lines into the same number of fields, more than one), decimal mark,
// whether the first row names the columns and which column is which field (by its heading in
// Hungarian or English, else by the look of its values).
CsvLayout detectCsvLayout(const QByteArray& data);

// A day: "2026.11.03.", "2026. 11. 03.", "2026-11-03", "2026/11/03", "03.11.2026"; a time of day
// after it ("2026-11-03T08:15", "2026.11.03. 8:15") is returned in time.
std::optional<QDate> parseTripDate(const QString& text, QTime* time = nullptr);
// "8:15", "08:15:30", "8.15".
std::optional<QTime> parseTripTime(const QString& text);
// "12,4", "1 234,5", "12.4 km", "1.234,5" with a decimal comma; "1,234.5" with a point.
std::optional<double> parseTripNumber(const QString& text, DecimalMark mark);
// "üzleti", "business", "magán", "private" and their usual short forms; empty is business.
std::optional<TripKind> parseTripKind(const QString& text);

struct TripReport {
    QVector<RecordedTrip> trips;
    QStringList problems; // rows that could not be read, each with its line
};
// Reads a report by its layout. A row whose date, places or distance cannot be read is named in
// problems and left out; blank rows are skipped. Fails only when the layout lacks a needed field.
Result parseTripReport(const QByteArray& data, const CsvLayout& layout, TripReport& out);

// ---- presets ---------------------------------------------------------------------------------

// A layout as one line of text ("sep=;|enc=utf8|dec=,|header=1|dátum=0|...") and back.
QString layoutToText(const CsvLayout& layout);
std::optional<CsvLayout> layoutFromText(const QString& text);

} // namespace rv
