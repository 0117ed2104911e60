#pragma once

#include "storage/datafiles.h"
#include "storage/state.h"
#include "testenv.h"

#include <QString>

namespace rv::dbtest {

using namespace Qt::Literals::StringLiterals;

// Partners "P1".."Pn" in "Város1".."Városn"; cell (i, j) off the diagonal is 100*i + j km with
// route type (i + j) % 6 + 1, so every cell is told apart from the others.
inline void makePartners(AppState& s, int n) {
    s.partners.clear();
    for (int i = 1; i <= n; ++i)
        s.partners.append(Partner{u"P%1"_s.arg(i), u"Város%1"_s.arg(i), i % 2 ? u"Utca %1."_s.arg(i) : QString()});
    s.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            s.distances.at(i, j) = DistanceCell{qint16(i == j ? 0 : 100 * i + j), qint16((i + j) % 6 + 1)};
}

inline qint16 cellKm(int i, int j) { return qint16(i == j ? 0 : 100 * i + j); }

// A logged-in car whose n partners (makePartners) are saved in its file.
inline bool loginWithSavedPartners(TestEnv& env, int n) {
    env.loginCar();
    makePartners(env.state, n);
    return bool(SaveDatabase(env.state));
}

} // namespace rv::dbtest
