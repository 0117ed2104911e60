#pragma once

#include "storage/carrecords.h"
#include "storage/records.h"
#include "storage/result.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <functional>

namespace rv {

// Each shared file has a pure pair here (bytes <-> values, used by tests and fuzzers); the
// loading into the state and the saving from it are model/statefiles.

// Keeps a copy of a damaged file for rescue under the first free name of path.hibas,
// path.hibas.2, path.hibas.3 ...: a copy is never overwritten. A copy of the very same bytes
// already kept is reused. Returns the copy's path, empty when none could be made.
QString keepAside(const QString& dataDir, const QString& path);

// ---- the car file user.rvd -----------------------------------------------------------------
QByteArray serializeCars(const QVector<CarRecord>& cars);
Result parseCars(const QByteArray& data, const QString& fileName, QVector<CarRecord>& out);

// ---- partners and distances data.rvd ---------------------------------------------------------
struct PartnerDatabase {
    QVector<Partner> partners;
    DistanceMatrix distances;
    QStringList warnings; // cells whose route type was out of range and got the default
};
// How far a damaged partner file was read.
struct PartnerFileProgress {
    PartnerDatabase read;   // as far as it got
    int partnersInFile = 0; // what the count says, 0 when the count itself is damaged
    int partnersRead = 0;   // whole partners before the damage
    int rowsRead = 0;       // whole distance rows before the damage
};
// A cell as the writer puts it: a distance in range and a route type 1..kRouteTypeCount.
inline bool isWrittenCell(int km, int routeType) {
    constexpr int shortest = int(rangeOf(Quantity::Distance).min), longest = int(rangeOf(Quantity::Distance).max);
    return km >= shortest && km <= longest && routeType >= 1 && routeType <= kRouteTypeCount;
}

// A partner's three lines: name, city, address.
inline Partner readPartner(RecordReader& in) {
    Partner p;
    p.name = in.readString();
    p.city = in.readString();
    p.address = in.readString();
    return p;
}

// The frame of a partner file: the count, the partners, then n*n cells whose second value
// readRouteType(reader, db) reads (the present layout and the older one differ only there).
// progress, when given, tells how far a damaged file was read. routeTypesAsWritten: a second
// value 1..kRouteTypeCount is the route type itself (the present layout), so the cells the
// writer wrote are read in one pass; any other cell still goes to readRouteType.
template <typename ReadRouteType>
Result parsePartnerFile(const QByteArray& data, const QString& fileName, PartnerDatabase& out,
                        ReadRouteType&& readRouteType, PartnerFileProgress* progress = nullptr,
                        bool routeTypesAsWritten = false) {
    PartnerFileProgress local;
    PartnerFileProgress& at = progress ? *progress : local;
    at = PartnerFileProgress{};
    PartnerDatabase& db = at.read;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int countLine = in.line();
        const int n = in.readInt16In(1, 32767, QStringLiteral("partnerek száma"));
        // Three strings of at least one byte, then n*n cells of two numbers of at least two.
        in.requireRoom(qint64(n) * 3 + qint64(n) * n * 4 - 1, countLine);
        at.partnersInFile = n;
        db.partners.reserve(n);
        for (int i = 0; i < n; ++i) {
            db.partners.append(readPartner(in));
            at.partnersRead = i + 1;
        }
        db.distances.reset(n);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n;) {
                if (routeTypesAsWritten) {
                    DistanceCell* cell = &db.distances.at(i, j);
                    j += in.readPairLines(n - j + 1, [&](int km, int routeType) {
                        if (!isWrittenCell(km, routeType))
                            return false;
                        *cell++ = DistanceCell{qint16(km), qint16(routeType)};
                        return true;
                    });
                    if (j > n)
                        break;
                }
                DistanceCell& c = db.distances.at(i, j);
                c.distance = in.readInt16In(Quantity::Distance);
                c.routeType = readRouteType(in, db);
                ++j;
            }
            at.rowsRead = i;
        }
        in.requireEnd();
    });
    if (r)
        out = std::move(db);
    return r;
}
// Reads a partner file as this program writes it, piece by piece through read(at, n) (up to n
// bytes into at: how many, 0 at the end, -1 on a fault), so that the whole file is never held:
// false, out untouched, for a file of any other form, damage or a fault, which parseDatabase
// then judges from the whole file. pieceBytes: the size of the one buffer.
bool readWrittenPartnerFile(const std::function<qint64(char* at, qint64 n)>& read, PartnerDatabase& out,
                            qsizetype pieceBytes = 1 << 20);

// The partners and distance rows read before the damage; the cells of a lost row are taken
// from the mirror cells of the rows read, the rest are 0 km without a route type.
PartnerDatabase readablePart(const PartnerFileProgress& progress);

// Cells of route type 0 are written with the default route type (and so changed in db).
QByteArray serializeDatabase(PartnerDatabase& db, qint16 defaultRouteType);
// The same without changing the cells; settleRouteTypes then changes them as written.
QByteArray serializeDatabase(const QVector<Partner>& partners, const DistanceMatrix& distances, qint16 defaultRouteType);
void settleRouteTypes(DistanceMatrix& distances, qint16 defaultRouteType);
Result parseDatabase(const QByteArray& data, const QString& fileName, qint16 defaultRouteType,
                     PartnerDatabase& out, PartnerFileProgress* progress = nullptr);

// ---- fuel prices benzin.rvd and the published price files -----------------------------------
QByteArray serializeFuelPrices(const QVector<FuelPrice>& prices);
Result parseFuelPrices(const QByteArray& data, const QString& fileName, QVector<FuelPrice>& out);
// The content of an empty price file: the single line "0".
QByteArray emptyFuelPriceFile();

// ---- multipliers Users/szorzo.rvd -------------------------------------------------------------
struct MultiplierFile {
    std::array<float, kMultiplierCount> values{};
    qint16 defaultRouteType = 1;
};
QByteArray serializeMultipliers(const MultiplierFile& m);
Result parseMultipliers(const QByteArray& data, const QString& fileName, MultiplierFile& out);

// ---- the city list cities.rvd -------------------------------------------------------------
QByteArray serializeCities(const QString& heading, const QStringList& cities);
// progress is called after each city read with its number.
Result parseCities(const QByteArray& data, const QString& fileName, QStringList& out,
                   const std::function<void(int count)>& started = {},
                   const std::function<void(int done)>& progress = {});

// ---- files shipped with the program ------------------------------------------------------------
// Beside the executable first (a build folder, a program copied as a whole), then the install's
// share directory relative to it (<bin>/../share/rovanta); empty when neither holds the file.
QString shippedFile(const QString& name, const QString& executableDir);
// The executable sits in an installed tree: its share directory is there.
bool isInstalledProgram(const QString& executableDir);

} // namespace rv
