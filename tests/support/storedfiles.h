#pragma once

// The data files of a test's directory, read back the way the program reads them. A file that
// does not read is reported and gives an empty result, which the test's comparisons then catch.

#include "model/statefiles.h"
#include "testenv.h"

#include <QDebug>

namespace rv {

inline void warnIfFailed(const Result& r) {
    if (!r)
        qWarning() << r.message();
}

inline QVector<CarRecord> storedCars(const TestEnv& env) {
    QVector<CarRecord> cars;
    warnIfFailed(parseCars(env.read(QStringLiteral("user.rvd")), QStringLiteral("user.rvd"), cars));
    return cars;
}

// A data.rvd under the data directory (default route type 1 for cells that have none).
inline PartnerDatabase storedDatabase(const TestEnv& env, const QString& relative) {
    PartnerDatabase db;
    warnIfFailed(parseDatabase(env.read(relative), relative, 1, db));
    return db;
}

// The logged-in car's partners and distances as its file holds them.
inline AppState storedPartners(const AppState& s) {
    AppState back;
    back.programDir = s.programDir;
    back.carDir = s.carDir;
    warnIfFailed(LoadDatabase(back, true));
    return back;
}

// The multipliers and default route type as szorzo.rvd holds them.
inline AppState storedMultipliers(const AppState& s) {
    AppState fresh;
    fresh.programDir = s.programDir;
    warnIfFailed(LoadMultipliers(fresh));
    return fresh;
}

} // namespace rv
