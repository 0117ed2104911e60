#pragma once

// The data files of a test's directory, read back the way the program reads them.

#include "storage/datafiles.h"
#include "testenv.h"

#include <QDebug>

namespace rv {

// A data.rvd under the data directory (default route type 1 for cells that have none).
inline PartnerDatabase storedDatabase(const TestEnv& env, const QString& relative) {
    PartnerDatabase db;
    const Result r = parseDatabase(env.read(relative), relative, 1, db);
    if (!r)
        qWarning() << r.message();
    return db;
}

// The logged-in car's partners and distances as its file holds them, read into back.
inline bool readStoredPartners(const AppState& s, AppState& back) {
    back.programDir = s.programDir;
    back.carDir = s.carDir;
    return bool(LoadDatabase(back, true));
}
inline AppState storedPartners(const AppState& s) {
    AppState back;
    readStoredPartners(s, back);
    return back;
}

// The multipliers and default route type as szorzo.rvd holds them, read into fresh.
inline bool readStoredMultipliers(const AppState& s, AppState& fresh) {
    fresh.programDir = s.programDir;
    return bool(LoadMultipliers(fresh));
}

} // namespace rv
