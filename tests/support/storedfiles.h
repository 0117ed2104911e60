#pragma once

// The data files of a test's directory, read back the way the program reads them. A file that
// does not read is reported and gives an empty result, which the test's comparisons then catch.

#include "model/statefiles.h"
#include "testenv.h"

#include <QDebug>

namespace rv {

inline QVector<CarRecord> storedCars(const TestEnv& env) {
    QVector<CarRecord> cars;
    if (const Result r = parseCars(env.read(QStringLiteral("user.rvd")), QStringLiteral("user.rvd"), cars); !r)
        qWarning() << r.message();
    return cars;
}

// A data.rvd under the data directory (default route type 1 for cells that have none).
inline PartnerDatabase storedDatabase(const TestEnv& env, const QString& relative) {
    PartnerDatabase db;
    if (const Result r = parseDatabase(env.read(relative), relative, 1, db); !r)
        qWarning() << r.message();
    return db;
}

// The logged-in car's partners and distances as its file holds them.
inline AppState storedPartners(const AppState& s) {
    AppState back;
    back.programDir = s.programDir;
    back.carDir = s.carDir;
    if (const Result r = LoadDatabase(back, true); !r)
        qWarning() << r.message();
    return back;
}

// The multipliers and default route type as szorzo.rvd holds them.
inline AppState storedMultipliers(const AppState& s) {
    AppState fresh;
    fresh.programDir = s.programDir;
    if (const Result r = LoadMultipliers(fresh); !r)
        qWarning() << r.message();
    return fresh;
}

} // namespace rv
