#pragma once

// The hand-written logbook files under tests/data/logbooks and the partners they name.

#include "model/logbookfile.h"
#include "model/monthlog.h"
#include "model/state.h"
#include "testenv.h"

#include <QFile>
#include <QVector>

namespace rv {

inline QByteArray logbookFixture(const QString& name) { return testData(QStringLiteral("logbooks/") + name); }

inline const Partner kBase{QStringLiteral("Rovanta Kft."), QStringLiteral("Székesfehérvár"), QStringLiteral("Fő utca 1.")};
inline const Partner kFire{QStringLiteral("Tűzoltó Bt."), QStringLiteral("Budapest"),
                           QStringLiteral("Kossuth Lajos u. 2., II. em.")};
inline const Partner kGyor{QStringLiteral("Győri Kft."), QStringLiteral("Győr"), QString()};

// Seven partners with the fixtures' ones at the places 1, 2 and 7.
inline QVector<Partner> fixtureDatabase() {
    QVector<Partner> p;
    for (int i = 1; i <= 7; ++i)
        p << Partner{QStringLiteral("Más%1").arg(i), QStringLiteral("Máshol"), QString()};
    p[0] = kBase;
    p[1] = kFire;
    p[6] = kGyor;
    return p;
}

// A logbook file of a month with one stop on day 2, written under the given version text.
inline QByteArray logbookBytes(int year, int month, int km, const QString& version = QStringLiteral("2.2")) {
    StoredLogbook log;
    log.year = year;
    log.month = month;
    log.monthKm = km;
    log.stopWidth = 1;
    log.stops[1] = {Partner{QStringLiteral("Alap Kft."), QStringLiteral("Győr"), QString()}};
    return serializeLogbook(log).replace("\"2.2\"", "\"" + version.toLatin1() + "\"");
}

// Every cell of a day up to its last stop, gaps included.
inline QVector<int> stopsOfDay(const MonthLog& m, int day) {
    QVector<int> v;
    for (int c = 1; c <= m.stops.columns(); ++c)
        v << m.stops.at(day, c);
    while (!v.isEmpty() && v.last() == 0)
        v.removeLast();
    return v;
}

} // namespace rv
