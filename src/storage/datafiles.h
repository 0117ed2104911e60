#pragma once

#include "records.h"
#include "result.h"
#include "state.h"

#include <QByteArray>

namespace rv {

// Each shared file has a pure pair (bytes <-> values, used by tests and fuzzers) and the
// operation on the state. Loads read into temporaries and touch the state only when the whole
// file was read; a failed load is logged with ErrorLocation and leaves the state as it was.
// Saves are atomic.

// ---- the car file user.rvd -----------------------------------------------------------------
QByteArray serializeCars(const QVector<CarRecord>& cars);
Result parseCars(const QByteArray& data, const QString& fileName, QVector<CarRecord>& out);
Result LoadCars(AppState& s);
Result SaveCars(AppState& s);

// ---- partners and distances data.rvd ---------------------------------------------------------
struct PartnerDatabase {
    QVector<Partner> partners;
    DistanceMatrix distances;
    QStringList warnings; // cells whose route type was out of range and got the default
};
// The frame of a partner file: the count, the partners, then n*n cells whose second value
// readRouteType(reader, db) reads (the present layout and the older one differ only there).
template <typename ReadRouteType>
Result parsePartnerFile(const QByteArray& data, const QString& fileName, PartnerDatabase& out,
                        ReadRouteType&& readRouteType) {
    PartnerDatabase db;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int n = in.readInt16();
        if (n < 1)
            in.fail(QStringLiteral("a partnerek száma (%1) nem pozitív").arg(n));
        // Three strings of at least one byte, then n*n cells of two numbers of at least two.
        in.requireRoom(qint64(n) * 3 + qint64(n) * n * 4 - 1);
        db.partners.resize(n);
        for (Partner& p : db.partners) {
            p.name = in.readString();
            p.city = in.readString();
            p.address = in.readString();
        }
        db.distances.reset(n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                DistanceCell& c = db.distances.at(i, j);
                c.distance = in.readInt16();
                c.routeType = readRouteType(in, db);
            }
    });
    if (r)
        out = std::move(db);
    return r;
}

// Cells of route type 0 are written with the default route type (and so changed in db).
QByteArray serializeDatabase(PartnerDatabase& db, qint16 defaultRouteType);
Result parseDatabase(const QByteArray& data, const QString& fileName, qint16 defaultRouteType,
                     PartnerDatabase& out);
// resize true: replaces Partners and Distances; false: the arrays must already hold at least
// as many partners as the file, whose content overwrites theirs (PartnerCount is kept).
Result LoadDatabase(AppState& s, bool resize);
// When the directory is missing the user is asked Abort/Retry/Ignore; Abort raises a
// RuntimeError for the error trap.
Result SaveDatabase(AppState& s);

// ---- fuel prices benzin.rvd and the published price files -----------------------------------
QByteArray serializeFuelPrices(const QVector<FuelPrice>& prices);
Result parseFuelPrices(const QByteArray& data, const QString& fileName, QVector<FuelPrice>& out);
// A missing file is created empty with the message of the program; an unreadable one is kept as
// benzin.rvd.hibas first.
Result LoadFuelPrices(AppState& s);
Result SaveFuelPrices(AppState& s);
// The content of an empty price file: the single line "0".
QByteArray emptyFuelPriceFile();

// ---- multipliers Users/szorzo.rvd -------------------------------------------------------------
struct MultiplierFile {
    std::array<float, kMultiplierCount> values{};
    qint16 defaultRouteType = 1;
};
QByteArray serializeMultipliers(const MultiplierFile& m);
Result parseMultipliers(const QByteArray& data, const QString& fileName, MultiplierFile& out);
// A missing file is written with every multiplier 1 and default route type 1.
Result LoadMultipliers(AppState& s);
Result SaveMultipliers(AppState& s);

// ---- the city list cities.rvd -------------------------------------------------------------
QByteArray serializeCities(const QString& heading, const QStringList& cities);
// progress is called after each city read with its number.
Result parseCities(const QByteArray& data, const QString& fileName, QStringList& out,
                   const std::function<void(int count)>& started = {},
                   const std::function<void(int done)>& progress = {});
// The data directory's own list, else the one shipped with the program.
QString citiesPath(const AppState& s);

// ---- files shipped with the program ------------------------------------------------------------
// Beside the executable first (a build folder, a program copied as a whole), then the install's
// share directory relative to it (<bin>/../share/rovanta); empty when neither holds the file.
QString shippedFile(const QString& name, const QString& executableDir);
// The executable sits in an installed tree: its share directory is there.
bool isInstalledProgram(const QString& executableDir);
Result LoadCities(AppState& s, const std::function<void(int count)>& started = {},
                  const std::function<void(int done)>& progress = {});

} // namespace rv
