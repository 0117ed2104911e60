#pragma once

#include "model/triprecords.h"
#include "storage/carrecords.h"
#include "storage/result.h"
#include "storage/writegate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

namespace rv {

// ---- addresses ---------------------------------------------------------------------------------


// An address as the matching compares it: the street with its kind spelt out ("u." and "utca",
// "krt." and "körút" alike; "út" and "utca" stay two streets) and the house number.
struct StreetKey {
    QString street;  // folded words, e.g. "vaci ut"; empty when there is none
    int number = 0;  // the house number, 0 when none
    int numberTo = 0; // the end of a range ("12-14."), else number
    QString letter;  // "12/A", "12a": "a"
    friend bool operator==(const StreetKey&, const StreetKey&) = default;
};

// Whether a recorded address ("1138 Budapest, Váci út 12.", "Váci u. 12, Győr") is the partner's:
// the partner's town is among its words and the rest is the partner's street with a house number
// that agrees (a number or letter missing on either side does not part them; a range holds its
// numbers). A partner without a street address takes only its town named alone.
bool addressMatches(const Partner& partner, const QString& recorded);
// Whether a recorded place name is the partner's: its name alone, or with its town (and address)
// as the program labels it.
bool nameMatches(const Partner& partner, const QString& recorded);

// A recorded place's words with abbreviations spelt out: "Fő u. 1." and "FŐ UTCA 1" alike. The
// key a remembered text is kept and found by.
QString placeKey(const QString& text);

// ---- places remembered per car ---------------------------------------------------------------

inline const QString kPlacesFileName = QStringLiteral("helyek.rvd");
// A stop within this many metres of a partner's remembered position is the partner.
constexpr double kPlaceRadiusMetres = 300;

// What the user said of a recorded place once: it is a partner (kept by its three texts, as
// logbooks keep their stops) or a private place. Either a position (a track's stop) or the
// recorded text (a report's address) by its placeKey.
struct KnownPlace {
    bool isPrivate = false;
    Partner partner; // empty for a private place
    std::optional<GeoPoint> at;
    QString text;
    friend bool operator==(const KnownPlace&, const KnownPlace&) = default;
};

// The file: the line "RVP",1, the number of places, then a line per place: private (0/1), whether
// it has a position (0/1), latitude and longitude in millionths of a degree, the text's key,
// the partner's name, town and address.
QByteArray serializePlaces(const QVector<KnownPlace>& places);
Result parsePlaces(const QByteArray& data, const QString& fileName, QVector<KnownPlace>& out);
// No file: no place known yet. A damaged file fails with the message naming file and line.
Result readPlaces(const QString& dataDir, const QString& carDir, QVector<KnownPlace>& out);
// Through the program's one writer.
Result savePlaces(const WriteGate& gate, const QString& carDir, const QVector<KnownPlace>& places);

// ---- matching ----------------------------------------------------------------------------------

struct PlaceMatch {
    int partner = 0;        // 1-based index into partners; 0: none
    bool isPrivate = false; // a place the user marked private
    bool ambiguous = false; // several partners fit the address equally
    bool matched() const { return partner > 0 || isPrivate; }
};
// A recorded place: first what the user said of it before (the same text, or a position within
// kPlaceRadiusMetres, the nearest), then a partner by name, then by address. A place that fits
// several partners' addresses matches none of them (ambiguous).
PlaceMatch matchPlace(const QVector<Partner>& partners, const QVector<KnownPlace>& known, const QString& text,
                      const std::optional<GeoPoint>& at);

} // namespace rv
