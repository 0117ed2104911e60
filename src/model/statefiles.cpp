#include "model/statefiles.h"

#include "model/carfacts.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/prompter.h"
#include "storage/records.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

Result readFile(const AppState& s, const QString& path, QByteArray& data) { return readDataFile(s.programDir, path, data); }

Result logged(const AppState& s, Result r) {
    if (!r)
        logCaught(s, r.code(), r.message());
    return r;
}

// A shared file that another program or computer changed since this one read or wrote it is
// never overwritten unasked.
Result confirmOverwrite(AppState& s, const QString& path) {
    const auto known = s.stamps.constFind(path);
    if (known == s.stamps.cend() || stampOf(path) == *known)
        return Result::success();
    const QString file = QDir::toNativeSeparators(path);
    if (s.prompter && s.prompter->ask(u"A(z) %1 fájlt azóta, hogy a program beolvasta, egy másik program vagy egy "
                                      u"másik gép megváltoztatta.\r\n\r\nFelülírja a most mentendő adatokkal? Az "
                                      u"ottani változtatás elvész.\r\n\r\nNem: a mentés elmarad, a fájl úgy marad, "
                                      u"ahogy a másik hagyta."_s.arg(file),
                                  Yes | No | DefaultNo, MsgIcon::Exclamation) == Yes)
        return Result::success();
    return Result::failure(u"A(z) %1 fájlt közben más megváltoztatta, ezért a program nem írta felül."_s.arg(file));
}

// Saves with the Abort/Retry/Ignore question when the folder is missing.
Result saveAsking(AppState& s, const WriteGate& gate, const QString& path, const QByteArray& data) {
    if (Result r = gate.check(); !r)
        return r;
    if (Result r = confirmOverwrite(s, path); !r)
        return r;
    for (;;) {
        SaveError kind = SaveError::None;
        Result r = gate.save(path, data, &kind);
        if (r)
            s.stamps[path] = stampOfBytes(data);
        if (r || kind != SaveError::PathNotFound || !s.prompter)
            return logged(s, r);
        MsgButton answer = s.prompter->ask(u"Az elérési út nem található."_s, Abort | Retry | Ignore, MsgIcon::Question);
        if (answer == Retry)
            continue;
        if (answer == Abort)
            throw RuntimeError(76, u"Az elérési út nem található."_s);
        return logged(s, r);
    }
}

// Reads and parses one data file: only a file that parses replaces what memory holds, and its
// bytes become the stamp the next save compares with.
template <typename T>
Result loadParsed(AppState& s, const QString& path, T& target, Result (*parse)(const QByteArray&, const QString&, T&)) {
    QByteArray data;
    Result r = readFile(s, path, data);
    T parsed;
    if (r)
        r = parse(data, path, parsed);
    if (r) {
        target = std::move(parsed);
        s.stamps[path] = stampOfBytes(data);
    }
    return r;
}

QString keptText(const QString& rescue, const WriteGate& gate) {
    if (rescue.isEmpty() && gate.isClosed())
        return u"\r\n\r\n"_s + kUntouchedDamage;
    if (rescue.isEmpty())
        return u"\r\n\r\nA hibás fájlról nem sikerült másolatot készíteni."_s;
    return u"\r\n\r\nA hibás fájl másolata: "_s + QDir::toNativeSeparators(rescue);
}

} // namespace

Result LoadCars(AppState& s) {
    const QString path = s.path(u"user.rvd"_s);
    if (!QFile::exists(path)) {
        s.cars.clear(); // a first start has no cars yet
        return Result::success();
    }
    const Result r = loadParsed(s, path, s.cars, parseCars);
    if (r) {
        applyKeptFuelTypes(s.programDir, s.cars);
        return r;
    }
    // The next save of the car list would replace the damaged file; keep a copy for rescue.
    return logged(s, Result::failure(r.message() + keptText(s.folderGate().keepAside(path), s.folderGate()), r.code()));
}

Result SaveCars(AppState& s) { return saveAsking(s, s.folderGate(), s.path(u"user.rvd"_s), serializeCars(s.cars)); }

Result LoadDatabase(AppState& s, bool resize) {
    const QString path = s.carPath(u"data.rvd"_s);
    PartnerDatabase db;
    FileStamp stamp;
    // A file as this program writes it is read piece by piece, never held whole (a large one
    // would cost as much again in fresh memory); any other form, damage or fault is judged from
    // the whole file.
    DataFileReader file;
    Result r = Result::success();
    if (file.open(s.programDir, path) &&
        readWrittenPartnerFile([&](char* at, qint64 n) { return file.read(at, n); }, db)) {
        stamp = file.stamp();
    } else {
        QByteArray data;
        r = readFile(s, path, data);
        if (r)
            r = parseDatabase(data, path, s.defaultRouteType, db);
        stamp = stampOfBytes(data);
    }
    if (r && !resize && db.partners.size() > s.partners.size())
        r = Result::failure(u"%1: több partnert tartalmaz, mint amennyinek hely van."_s.arg(path), 9);
    if (!r)
        return logged(s, r);
    for (const QString& w : db.warnings)
        logCaught(s, 62, w);
    s.stamps[path] = stamp;
    if (resize) {
        s.partners = std::move(db.partners);
        s.distances = std::move(db.distances);
    } else {
        const int n = int(db.partners.size());
        for (int i = 1; i <= n; ++i) {
            s.partner(i) = db.partners[i - 1];
            for (int j = 1; j <= n; ++j)
                s.distances.at(i, j) = db.distances.at(i, j);
        }
    }
    return r;
}

Result SaveDatabase(AppState& s) {
    if (Result r = s.refuseReadOnly(); !r)
        return r;
    const QByteArray data = serializeDatabase(s.partners, s.distances, s.defaultRouteType);
    Result r = saveAsking(s, s.carGate(), s.carPath(u"data.rvd"_s), data);
    if (r)
        settleRouteTypes(s.distances, s.defaultRouteType); // route types 0 became the default on disk too
    return r;
}

Result LoadFuelPrices(AppState& s) {
    const QString path = s.carPath(u"benzin.rvd"_s);
    const QFileInfo info(path);
    const bool existed = info.exists() || info.isSymLink();
    Result r = loadParsed(s, path, s.fuelPrices, parseFuelPrices);
    if (r)
        return r;
    logged(s, r);
    // Whoever holds the car mends its file; this program only reads it.
    if (s.readOnly() || s.readingOnly)
        return r;
    // Only a missing file or one read and found damaged is replaced. One that cannot be read (a
    // link out of the data directory, no permission, not a regular file) stays, and so do the
    // prices in memory: the caller tells why.
    if (existed && r.code() != 62)
        return r;
    QString kept;
    if (existed) {
        // A damaged file is kept aside, never overwritten.
        kept = s.carGate().keepAside(path);
        if (kept.isEmpty())
            return Result::failure(u"A benzinárakat tartalmazó adatbázis nem olvasható:\r\n%1"_s.arg(
                                       QDir::toNativeSeparators(path)),
                                   75);
    }
    if (Result saved = s.carGate().save(path, emptyFuelPriceFile()); !saved) {
        logged(s, saved);
        return Result::failure(u"%1\r\n\r\nÚj, üres árlista sem hozható létre:\r\n%2"_s.arg(r.message(), saved.message()),
                               saved.code());
    }
    s.fuelPrices.clear();
    s.stamps[path] = stampOfBytes(emptyFuelPriceFile());
    if (s.prompter) {
        QString text = u"A benzinárakat tartalmazó adatbázis nem található.\r\n\r\nÚj adatbázi létrehozva."_s;
        if (existed)
            text = u"A benzinárakat tartalmazó adatbázis hibás, ezért félretettem:\r\n%1\r\n\r\n%2\r\n\r\nÚj adatbázis létrehozva."_s
                       .arg(QDir::toNativeSeparators(kept), r.message());
        s.prompter->inform(text, MsgIcon::Exclamation);
    }
    return r;
}

Result SaveFuelPrices(AppState& s) {
    if (Result r = s.refuseReadOnly(); !r)
        return r;
    return saveAsking(s, s.carGate(), s.carPath(u"benzin.rvd"_s), serializeFuelPrices(s.fuelPrices));
}

Result LoadMultipliers(AppState& s) {
    const QString path = s.path(u"Users/szorzo.rvd"_s);
    MultiplierFile defaults;
    defaults.values.fill(1.0f);
    defaults.defaultRouteType = 1;
    MultiplierFile m = defaults;
    Result result = Result::success();
    if (!QFile::exists(path)) {
        Result saved = s.folderGate().save(path, serializeMultipliers(m));
        if (!saved)
            logged(s, saved);
        else
            s.stamps[path] = stampOfBytes(serializeMultipliers(m));
    } else {
        QByteArray data;
        Result r = readFile(s, path, data);
        if (r)
            r = parseMultipliers(data, path, m);
        if (r)
            s.stamps[path] = stampOfBytes(data);
        if (!r) {
            // Zeros in memory would make every cost 0 and the dialog's OK would store them for
            // good: the defaults take the damaged file's place, which is kept aside.
            logged(s, r);
            m = defaults;
            const QString kept = s.folderGate().keepAside(path);
            QString text = u"A szorzók fájlja hibás:\r\n%1%2\r\n\r\n"_s.arg(r.message(), keptText(kept, s.folderGate()));
            if (kept.isEmpty()) {
                text += u"A program most az alapértékekkel (minden szorzó 1) dolgozik; a fájl változatlan maradt."_s;
            } else if (Result saved = s.folderGate().save(path, serializeMultipliers(m)); !saved) {
                s.stamps.remove(path);
                logged(s, saved);
                text += u"A program most az alapértékekkel (minden szorzó 1) dolgozik, de ezeket nem sikerült "
                        u"elmenteni:\r\n"_s + saved.message();
            } else {
                s.stamps[path] = stampOfBytes(serializeMultipliers(m));
                text += u"Helyette az alapértékekkel (minden szorzó 1) készült új fájl; a szorzókat a Szorzók "
                        u"ablakban állíthatja be újra."_s;
            }
            result = Result::failure(text, r.code());
        }
    }
    for (int i = 0; i < kMultiplierCount; ++i)
        s.multipliers[size_t(i)].value = m.values[size_t(i)];
    s.defaultRouteType = m.defaultRouteType;
    return result;
}

Result SaveMultipliers(AppState& s) {
    MultiplierFile m;
    for (int i = 0; i < kMultiplierCount; ++i)
        m.values[size_t(i)] = s.multipliers[size_t(i)].value;
    m.defaultRouteType = s.defaultRouteType;
    return saveAsking(s, s.folderGate(), s.path(u"Users/szorzo.rvd"_s), serializeMultipliers(m));
}

QString citiesPath(const AppState& s) {
    const QString own = s.path(u"cities.rvd"_s);
    if (QFile::exists(own) || !QCoreApplication::instance())
        return own;
    // A data directory of its own (--data-dir, the per-user one) still finds the shipped list.
    const QString shipped = shippedFile(u"cities.rvd"_s, QCoreApplication::applicationDirPath());
    return shipped.isEmpty() ? own : shipped;
}

Result LoadCities(AppState& s, const std::function<void(int)>& started, const std::function<void(int)>& progress) {
    const QString path = citiesPath(s);
    QByteArray data;
    Result r = readFile(s, path, data);
    QStringList cities;
    if (r)
        r = parseCities(data, path, cities, started, progress);
    if (!r)
        return logged(s, r);
    s.cities = std::move(cities);
    s.citiesLoaded = true;
    return r;
}

} // namespace rv
