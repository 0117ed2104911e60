#pragma once

#include "model/state.h"

namespace rv {

// n partners without any distance.
inline void setPartners(AppState& s, int n) {
    s.partners.clear();
    for (int i = 1; i <= n; ++i)
        s.partners.append(Partner{QStringLiteral("Partner %1").arg(i), QStringLiteral("Város"), QString()});
    s.distances.reset(n);
}

// The distance both ways; back < 0: the same as there.
inline void setLink(AppState& s, int i, int j, int there, int back = -1) {
    s.distances.at(i, j).distance = qint16(there);
    s.distances.at(j, i).distance = qint16(back < 0 ? there : back);
}

} // namespace rv
