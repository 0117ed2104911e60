#include "dataimport.h"

#include "database/partners.h"
#include "database/priceedit.h"
#include "model/errorlog.h"
#include "model/statefiles.h"
#include "storage/fileio.h"
#include "storage/records.h"
#include "storage/prompter.h"

#include <QFile>
#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QString keyOf(const Partner& p) { return p.name + QChar(0x1f) + p.city + QChar(0x1f) + p.address; }

QString fuelTypeName(const AppState& s, int fuelType) {
    return fuelType >= 1 && fuelType <= kFuelTypeCount ? s.fuelTypes[size_t(fuelType - 1)].name : u"ismeretlen"_s;
}

QString otherPath(const AppState& s, int car, const QString& file) {
    return s.path(carDirOf(s.car(car)) + file);
}

void reportFailure(AppState& s, const Result& r) {
    logCaught(s, r.code(), r.message());
    if (s.prompter)
        s.prompter->ask(u"A kiválasztott autó adatai nem olvashatók.\r\n\r\n"_s + r.message(), Ok,
                        MsgIcon::Exclamation);
}

} // namespace

QVector<int> importableCars(const AppState& s) {
    QVector<int> cars;
    for (int i = 1; i <= s.carCount(); ++i)
        if (i != s.currentCar)
            cars.append(i);
    return cars;
}

bool canImportFrom(const AppState& s, int car) {
    return car >= 1 && car <= s.carCount() && car != s.currentCar && s.currentCar >= 1;
}

Result readOtherDatabase(const AppState& s, int car, PartnerDatabase& out, bool& empty) {
    empty = false;
    const QString path = otherPath(s, car, u"data.rvd"_s);
    if (!QFile::exists(path)) {
        empty = true;
        return Result::success();
    }
    QByteArray data;
    Result r = readDataFile(s.programDir, path, data);
    if (!r)
        return r;
    try {
        RecordReader peek(data, path);
        if (!peek.atEnd() && peek.readInt16() == 0) {
            empty = true;
            return Result::success();
        }
    } catch (const FormatError&) {
        // the parser below names the fault
    }
    return parseDatabase(data, path, s.defaultRouteType, out);
}

Result readOtherPrices(const AppState& s, int car, QVector<FuelPrice>& out) {
    const QString path = otherPath(s, car, u"benzin.rvd"_s);
    if (!QFile::exists(path)) {
        out.clear();
        return Result::success();
    }
    QByteArray data;
    Result r = readDataFile(s.programDir, path, data);
    if (r)
        r = parseFuelPrices(data, path, out);
    return r;
}

QVector<int> matchPartners(const AppState& s, const QVector<Partner>& other) {
    QHash<QString, int> own;
    own.reserve(s.partnerCount());
    for (int i = 1; i <= s.partnerCount(); ++i)
        if (const QString key = keyOf(s.partner(i)); !own.contains(key))
            own.insert(key, i); // the first of equal partners wins
    QVector<int> map(other.size() + 1, 0);
    for (int i = 0; i < other.size(); ++i)
        map[i + 1] = own.value(keyOf(other[i]), 0);
    return map;
}

int mergePartners(AppState& s, const QVector<Partner>& other, const std::function<void()>& tick) {
    QHash<QString, int> own;
    own.reserve(s.partnerCount() + other.size());
    for (int i = 1; i <= s.partnerCount(); ++i)
        own.insert(keyOf(s.partner(i)), i);
    QVector<Partner> added;
    for (const Partner& p : other) {
        const QString key = keyOf(p);
        if (!own.contains(key) && s.partnerCount() + added.size() < kMaxPartners) {
            added.append(p);
            own.insert(key, s.partnerCount() + int(added.size()));
        }
        if (tick)
            tick();
    }
    if (added.isEmpty())
        return 0;
    // One growth of the matrix for all of them, keeping every cell.
    s.partners.append(added);
    const int n = s.partnerCount();
    s.distances.resize(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (s.distances.at(i, j).routeType == 0)
                s.distances.at(i, j).routeType = s.defaultRouteType;
    return int(added.size());
}

void mergeDistances(AppState& s, const PartnerDatabase& other, bool all) {
    const QVector<int> map = matchPartners(s, other.partners);
    const int m = int(other.partners.size());
    for (int i = 1; i <= m; ++i) {
        const int p = map[i];
        if (p == 0)
            continue;
        for (int j = 1; j <= m; ++j) {
            const int q = map[j];
            if (q == 0)
                continue;
            const DistanceCell& c = other.distances.at(i, j);
            if (c.distance >= 1 || (c.distance == 0 && all))
                s.distances.at(p, q) = c;
        }
    }
}

QString distanceQuestion(const QString& otherUser) {
    return u"A közös partnerek között %1 0 km-es (meg nem adott) távolságai is felülírják az itt megadottakat?"
           u"\r\n\r\nIgen: minden távolság átvétele, a 0 km-eseké is.\r\n"
           u"Nem: csak a nem 0 km-es távolságok átvétele.\r\n"
           u"Mégse: az importálás elmarad."_s.arg(otherUser);
}

QString fuelTypeQuestion(const AppState& s, int car) {
    return u"%1 autójának üzemanyaga %2, ennek az autónak %3.\r\n\r\n"
           u"Kívánja mégis a(z) %2 árait a(z) %3 árai közé venni?"_s.arg(s.car(car).userName,
                                                                        fuelTypeName(s, s.car(car).fuelType),
                                                                        fuelTypeName(s, s.car(s.currentCar).fuelType));
}

bool importPartners(AppState& s, int car, const std::function<void()>& tick) {
    if (!canImportFrom(s, car))
        return false;
    PartnerDatabase other;
    bool empty = false;
    Result r = readOtherDatabase(s, car, other, empty);
    if (!r) {
        reportFailure(s, r);
        return false;
    }
    if (empty) {
        if (s.prompter)
            s.prompter->inform(u"A kiválasztott adatbázis üres."_s);
        return false;
    }
    const QString user = s.car(car).userName;
    // Asked before anything changes, so Mégse leaves memory and disk as they were.
    bool all = false;
    if (s.prompter) {
        const MsgButton a = s.prompter->ask(distanceQuestion(user), Yes | No | Cancel, MsgIcon::Question);
        if (a == Cancel)
            return false;
        all = a == Yes;
    }
    int added = 0;
    // A failed import is told and leaves no trace in memory either.
    if (Result saved = changeAndSaveDatabase(s, [&] {
            added = mergePartners(s, other.partners, tick);
            mergeDistances(s, other, all);
        });
        !saved) {
        reportSaveFailure(s, saved);
        return false;
    }
    if (s.prompter) {
        if (added == 0)
            s.prompter->inform(u"Nem találtam új adatot "_s + user + u" partner-adatbázisában."_s);
        else
            s.prompter->inform(user + u" partner-adatbáziából "_s + QString::number(added) +
                               u" partner csatolva a saját adatbázishoz."_s);
    }
    return true;
}

bool importFuelPrices(AppState& s, int car) {
    if (!canImportFrom(s, car))
        return false;
    QVector<FuelPrice> other;
    Result r = readOtherPrices(s, car, other);
    if (!r) {
        reportFailure(s, r);
        return false;
    }
    // Prices of another fuel are not this car's prices unless the user says so; both LPG kinds
    // burn the same gas, priced by one published list.
    const auto fuels = fuelTypeTable();
    const auto listOf = [&](int i) {
        const int fuel = s.car(i).fuelType;
        return fuel >= 1 && fuel <= kFuelTypeCount ? fuels[size_t(fuel - 1)].oldFile : QString::number(fuel);
    };
    if (listOf(car) != listOf(s.currentCar) &&
        (!s.prompter || !askYesNo(*s.prompter, fuelTypeQuestion(s, car))))
        return false;
    QVector<FuelPrice> merged = s.fuelPrices;
    mergePrices(merged, other);
    // The merged list must still fit the file's count.
    if (merged.size() > kMaxPrices) {
        if (s.prompter)
            s.prompter->inform(u"Az üzemanyagárak száma túllépné a megengedettet ("_s + QString::number(kMaxPrices) +
                                   u"), ezért nem csatoltam őket."_s,
                               MsgIcon::Exclamation);
        return false;
    }
    const QVector<FuelPrice> before = s.fuelPrices;
    s.fuelPrices = merged;
    if (Result saved = SaveFuelPrices(s); !saved) {
        s.fuelPrices = before;
        reportSaveFailure(s, saved);
        return false;
    }
    if (s.prompter)
        s.prompter->inform(s.car(car).userName + u" üzemanyag-adatbázisa csatolva a saját adatbázishoz."_s);
    return true;
}

} // namespace rv
