#pragma once

#include "model/logbookfile.h"
#include "model/statefiles.h"
#include "model/state.h"
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
// The kilometres and the route type of a cell.
inline std::pair<qint16, qint16> cell(const AppState& s, int i, int j) {
    return {s.distances.at(i, j).distance, s.distances.at(i, j).routeType};
}

// A logged-in car whose n partners (makePartners) are saved in its file.
inline bool loginWithSavedPartners(TestEnv& env, int n) {
    env.loginCar();
    makePartners(env.state, n);
    return bool(SaveDatabase(env.state));
}

// A stored logbook of the given month of 2002 whose day 3 visits day3 and day 20 the first of
// them, written under the given version text.
inline QByteArray logbookWith(int month, const QVector<Partner>& day3, const QByteArray& version = "2.2") {
    StoredLogbook log;
    log.year = 2002;
    log.month = month;
    log.startOdometer = 12000;
    log.monthKm = 321;
    log.stops[2] = day3;
    log.stops[19] = {day3.value(0)};
    log.comments[2] = u"ügyfél, tárgyalás"_s;
    return serializeLogbook(log).replace("\"RVN\",\"2.2\"", "\"RVN\",\"" + version + "\"");
}

// Beside the logged-in "Teszt" (car 1), car 2 "Másik" with the given partners (none: no
// partner file) and price file.
inline void addOtherCar(TestEnv& env, const QVector<Partner>& partners, const QByteArray& prices = "0\r\n") {
    env.state.cars.append(CarRecord{u"Másik"_s, {}, {}, 1, 0, 0, {}, {}, {}, u"XYZ789"_s});
    env.write(u"Users/XYZ789/benzin.rvd"_s, prices);
    if (partners.isEmpty())
        return;
    PartnerDatabase db{partners, {}};
    db.distances.reset(int(partners.size()));
    env.write(u"Users/XYZ789/data.rvd"_s, serializeDatabase(db, 1));
}

} // namespace rv::dbtest
