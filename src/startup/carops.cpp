#include "carops.h"
#include "startup/carsteps.h"

#include "model/carfacts.h"
#include "model/taxid.h"
#include "model/statefiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "storage/tables.h"
#include "storage/fieldtext.h"
#include "ui/lockquestions.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace carsteps {

bool sameText(const QString& a, const QString& b) {
    return QString::compare(a.trimmed(), b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString absoluteCarDir(const AppState& s, const CarRecord& car) { return s.path(carDirOf(car)); }

Prompter* prompterOf(AppState& s) { return s.prompter; }

void tell(AppState& s, const QString& text, MsgIcon icon) {
    if (Prompter* p = prompterOf(s))
        p->inform(text, icon);
}

bool ask(AppState& s, const QString& text) {
    Prompter* p = prompterOf(s);
    return p && askYesNo(*p, text);
}

Result logged(AppState& s, Result r) {
    if (!r)
        logCaught(s, r.code(), r.message());
    return r;
}

// A car's published-price file (by fuel type, 1-based).
QString publishedPricePath(const AppState& s, int fuelType) {
    const auto table = fuelTypeTable();
    const int i = std::clamp(fuelType, 1, kFuelTypeCount) - 1;
    return s.path(u"Users/"_s + table[size_t(i)].oldFile);
}

// Replaces dir's benzin.rvd by a copy of another price file; a missing source gives an empty list.
WriteGate carGateOf(const AppState& s, DataLock* lock, const CarRecord& car) {
    const QString name = car.plateNumber.trimmed().isEmpty() ? car.dirName.trimmed() : car.plateNumber.trimmed();
    if (!lock)
        return WriteGate::closed(s.programDir, u"A(z) %1 gépkocsi nincs zárolva, ezért a program nem írja."_s.arg(name));
    return WriteGate::locked(s.programDir, lock, u"A(z) %1"_s.arg(name));
}

Result copyPrices(AppState& s, const WriteGate& gate, const QString& source, const QString& dir) {
    QByteArray data;
    Result r = readDataFile(s.programDir, source, data);
    if (!r) {
        logged(s, r);
        tell(s, u"Az üzemanyagárak nem másolhatók:\r\n%1\r\n\r\nÜres árlista készült."_s.arg(r.message()));
        data = emptyFuelPriceFile();
    }
    return logged(s, gate.saveThroughScratch(dir, u"benzin.rvd"_s, data));
}

Result writeEmptyPrices(AppState& s, const WriteGate& gate, const QString& dir) {
    return logged(s, gate.saveThroughScratch(dir, u"benzin.rvd"_s, emptyFuelPriceFile()));
}

Partner baseOf(const CarRecord& car) { return Partner{car.companyName, car.city, car.companyAddress}; }

// The car list as another computer may have left it; false when it is missing or cannot be read
// (the list in memory then stands).
bool readCarsOnDisk(const AppState& s, QVector<CarRecord>& out, FileStamp* stamp) {
    const QString path = s.path(u"user.rvd"_s);
    QByteArray data;
    if (!readDataFile(s.programDir, path, data) || !parseCars(data, path, out))
        return false;
    applyKeptFuelTypes(s.programDir, out);
    if (stamp)
        *stamp = stampOfBytes(data);
    return true;
}

// 1-based, 0 when no car has that directory.
int indexOfDir(const QVector<CarRecord>& cars, const QString& dirName) {
    for (int i = 0; i < cars.size(); ++i)
        if (sameText(cars[i].dirName, dirName))
            return i + 1;
    return 0;
}

} // namespace carsteps

using namespace carsteps;

namespace {

// Takes over partners, distances and prices of car from; false when its database could not be
// read (the user was told, and the new car gets a database of its own instead).
bool importCarData(AppState& s, const WriteGate& gate, int from, const CarRecord& car, const QString& dir) {
    const CarRecord& source = s.car(from);
    const QString sourceDir = absoluteCarDir(s, source);
    QByteArray data;
    Result r = readDataFile(s.programDir, sourceDir + u"data.rvd"_s, data);
    QByteArray rebased;
    if (r)
        r = rebasedDatabase(data, sourceDir + u"data.rvd"_s, baseOf(car), s.defaultRouteType, rebased);
    if (r)
        r = gate.saveThroughScratch(dir, u"data.rvd"_s, rebased);
    if (!r) {
        logged(s, r);
        tell(s, u"A(z) %1 gépkocsi adatbázisa nem importálható:\r\n%2\r\n\r\nAz új gépkocsi saját adatbázist kap."_s.arg(
                    source.userName, r.message()));
        return false;
    }
    QString prices = sourceDir + u"benzin.rvd"_s;
    if (!QFile::exists(prices)) {
        writeEmptyPrices(s, gate, dir);
        return true;
    }
    copyPrices(s, gate, prices, dir);
    return true;
}

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System); }

// ---- several computers on one data directory ----------------------------------------------------

// The fuel kind too: user.rvd holds a gas car as ESZ-95.
bool sameRecord(const CarRecord& a, const CarRecord& b) {
    return a.fuelType == b.fuelType && serializeCars({a}) == serializeCars({b});
}

// Changes the car list under the folder lock: change() works on the list as it is on disk now
// (another computer may have added or changed cars since it was read), so both changes stay.
// change() returns false when it refuses (it told why). On any failure the list in memory is
// as it was; a refusal gives a failure with no message.
Result changeCarList(AppState& s, const std::function<bool()>& change) {
    DataLock folder(s.programDir, folderLockPath(s.programDir));
    if (Result r = takeFolderLock(folder, prompterOf(s), u"a gépkocsik listája"_s); !r)
        return r;
    const HeldFolder held(s, folder);
    const QVector<CarRecord> before = s.cars;
    const int beforeCurrent = s.currentCar;
    const QString current = s.currentCar >= 1 ? s.car(s.currentCar).dirName : QString();
    const QString path = s.path(u"user.rvd"_s);
    const auto stampBefore = s.stamps.constFind(path);
    const std::optional<FileStamp> oldStamp =
        stampBefore == s.stamps.cend() ? std::nullopt : std::optional<FileStamp>(*stampBefore);
    // What is on disk now is what the change is applied to: the save that follows overwrites nothing unseen.
    QVector<CarRecord> onDisk;
    FileStamp seen;
    if (readCarsOnDisk(s, onDisk, &seen)) {
        s.cars = std::move(onDisk);
        if (seen.known)
            s.stamps[path] = seen;
    }
    Result r = change() ? SaveCars(s) : Result::failure({});
    if (!r) {
        s.cars = before;
        s.currentCar = beforeCurrent;
        if (oldStamp)
            s.stamps[path] = *oldStamp;
        else
            s.stamps.remove(path);
        return r;
    }
    s.currentCar = current.isEmpty() ? 0 : indexOfDir(s.cars, current);
    return r;
}

// The car's lock for a change of its record or files: the session's own when it is the
// logged-in car, else taken for the change. Null when someone else holds it (the user was told
// why the change is refused).
std::shared_ptr<DataLock> lockForChange(AppState& s, const CarRecord& car, const QString& refused) {
    if (s.carLock && s.carLock->isTaken() && s.currentCar >= 1 && sameText(s.car(s.currentCar).dirName, car.dirName))
        return s.carLock;
    auto lock = std::make_shared<DataLock>(s.programDir, carLockPath(s.programDir, car.dirName));
    const LockAttempt attempt = takeAsking(*lock, 0, prompterOf(s), u"A(z) %1 gépkocsi"_s.arg(car.userName));
    if (attempt.outcome == LockOutcome::Taken)
        return lock;
    if (attempt.outcome == LockOutcome::Failed)
        tell(s, lock->failure() + u"\r\n\r\nA(z) %1 gépkocsi %2"_s.arg(car.userName, refused));
    else
        tell(s, u"A(z) %1 gépkocsit most %2, ezért %3"_s.arg(car.userName, holderText(lock->holder()), refused));
    return {};
}

// A gas car's kind lives only in its facts file: the car list holds ESZ-95 for it.
QString factsNotSaved(const CarFacts& facts) {
    if (facts.fuelType == 0)
        return u"A gépkocsi normájának fajtája és hengerűrtartalma nem menthető"_s;
    return u"A gépkocsi normájának fajtája, hengerűrtartalma és üzemanyaga (%1) nem menthető, ezért a program "
           u"%2 üzemanyagúnak veszi"_s.arg(fuelTypeName(facts.fuelType - 1), fuelTypeName(storedFuelType(facts.fuelType) - 1));
}

int monthFileCount(const QString& dir) {
    int n = 0;
    for (const QString& f : filesIn(dir))
        n += f.toLower().endsWith(u".rvn"_s) ? 1 : 0;
    return n;
}

// A directory under Users/ that no car uses, with data of the program in it: what a lost car
// list leaves behind.
bool isUnregisteredCarDir(const AppState& s, const QString& name) {
    const QFileInfo info(s.usersDir() + name);
    if (!info.isDir() || info.isSymLink())
        return false;
    for (const CarRecord& c : s.cars)
        if (sameText(c.dirName, name))
            return false;
    for (const QString& f : filesIn(info.filePath()))
        if (isOwnFileName(f))
            return true;
    return false;
}

} // namespace

// ---- files -------------------------------------------------------------------------------------

QByteArray baseDatabase(const Partner& base, qint16 defaultRouteType) {
    PartnerDatabase db;
    db.partners = {base};
    db.distances.reset(1);
    db.distances.at(1, 1) = DistanceCell{0, defaultRouteType};
    return serializeDatabase(db, defaultRouteType);
}

Result rebasedDatabase(const QByteArray& source, const QString& fileName, const Partner& base,
                       qint16 defaultRouteType, QByteArray& out) {
    PartnerDatabase db;
    Result r = parseDatabase(source, fileName, defaultRouteType, db);
    if (!r)
        return r;
    db.partners[0] = base;
    out = serializeDatabase(db, defaultRouteType);
    return r;
}

// ---- flows -------------------------------------------------------------------------------------

int createCar(AppState& s, const CarForm& form, const CarChooser& choose) {
    s.errorLocation = u"frmUjuser - UjBegin"_s;
    CarRecord car = carFromForm(form);
    if (QString problem = uniquenessProblem(s, car, 0); !problem.isEmpty()) {
        tell(s, problem);
        return 0;
    }
    if (QString problem = plateDirectoryProblem(car.plateNumber); !problem.isEmpty()) {
        tell(s, problem);
        return 0;
    }

    s.errorLocation = u"frmUjuser - UjAdd"_s;
    // A car list lost to damage leaves the car's directory behind: the car created again may
    // take it over with its logbooks instead of starting empty beside it.
    const QString plainDir = car.plateNumber.trimmed();
    bool takeOver = false;
    if (isUnregisteredCarDir(s, plainDir)) {
        const QString dir = s.usersDir() + plainDir;
        takeOver = ask(s, u"A(z) %1 könyvtár már létezik, de egyetlen gépkocsihoz sem tartozik (például mert a "
                          u"gépkocsik listája megsérült). %2 havi nyilvántartás van benne.\r\n\r\n"
                          u"Átveszi ezt a könyvtárat az adataival együtt (partnerek, távolságok, üzemanyagárak, "
                          u"nyilvántartások)?\r\n\r\nNem: a gépkocsi új, üres könyvtárat kap."_s
                              .arg(QDir::toNativeSeparators(dir))
                              .arg(monthFileCount(dir)));
    }
    int index = 0;
    QString dir;
    bool madeDir = false;
    // The new car is this program's until its files are written: a login from another computer
    // waits for them.
    std::unique_ptr<DataLock> carLock;
    s.errorLocation = u"frmUjuser - UjSave"_s;
    const Result saved = changeCarList(s, [&] {
        // Another computer may have added a car meanwhile: the checks run again on the list as it is.
        if (QString problem = uniquenessProblem(s, car, 0); !problem.isEmpty()) {
            tell(s, problem);
            return false;
        }
        takeOver = takeOver && isUnregisteredCarDir(s, plainDir);
        car.dirName = takeOver ? plainDir : freeDirName(s, car.plateNumber);
        s.errorLocation = u"frmUjuser - MakeDir  "_s;
        dir = absoluteCarDir(s, car);
        madeDir = !QFileInfo::exists(dir);
        if (!QDir().mkpath(dir)) {
            logCaught(s, 75, dir);
            tell(s, u"A gépkocsi könyvtára nem hozható létre:\r\n%1"_s.arg(QDir::toNativeSeparators(dir)));
            return false;
        }
        carLock = std::make_unique<DataLock>(s.programDir, carLockPath(s.programDir, car.dirName));
        carLock->tryTake();
        s.cars.append(car);
        index = s.carCount();
        return true;
    });
    if (!saved) {
        if (madeDir)
            QDir(s.usersDir()).rmdir(car.dirName);
        if (!saved.message().isEmpty())
            tell(s, u"Az új gépkocsi nem menthető:\r\n%1"_s.arg(saved.message()));
        return 0;
    }

    const WriteGate gate = carGateOf(s, carLock.get(), car);
    const CarFacts formFacts = withFuelType(form.facts, car.fuelType);
    if (Result r = saveCarFacts(gate, dir, formFacts); !r) {
        logCaught(s, r.code(), r.message());
        tell(s, factsNotSaved(formFacts) + u"; a gépkocsi ablakában adja meg újra:\r\n%1"_s.arg(r.message()));
    }
    if (takeOver) {
        // What the directory lacks is made as for a new car; what it holds stays.
        if (!QFile::exists(dir + u"data.rvd"_s))
            logged(s, gate.saveThroughScratch(dir, u"data.rvd"_s, baseDatabase(baseOf(car), s.defaultRouteType)));
        if (!QFile::exists(dir + u"benzin.rvd"_s))
            writeEmptyPrices(s, gate, dir);
        return index;
    }

    bool imported = false;
    if (index > 1 && ask(s, u"Kívánja egy már meglévő gépkocsi adatbázisát importálni?"_s)) {
        const int from = choose ? choose() : 0;
        if (from >= 1 && from < index)
            imported = importCarData(s, gate, from, car, dir);
    }
    if (!imported) {
        logged(s, gate.saveThroughScratch(dir, u"data.rvd"_s, baseDatabase(baseOf(car), s.defaultRouteType)));
        // An own-price car starts empty: its prices come from the invoices.
        const bool nav = formFacts.priceSource != PriceSource::Own &&
                         ask(s, u"Feltölti a gépkocsi üzemanyagárait\r\na NAV által közzétett havi árakkal?"_s);
        if (nav)
            copyPrices(s, gate, publishedPricePath(s, car.fuelType), dir);
        else
            writeEmptyPrices(s, gate, dir);
        // Without a choice in the form the answer makes it: a car made from the NAV prices is a NAV car.
        if (!formFacts.priceSource) {
            CarFacts facts = formFacts;
            facts.priceSource = nav ? PriceSource::Nav : PriceSource::Own;
            logged(s, saveCarFacts(gate, dir, facts));
        }
    }
    return index;
}

bool modifyCar(AppState& s, int index, const CarForm& form, const CarChooser& choose) {
    if (index < 1 || index > s.carCount())
        return false;
    s.errorLocation = u"frmUjuser - ModositBegin"_s;
    CarRecord changed = carFromForm(form);
    if (QString problem = uniquenessProblem(s, changed, index); !problem.isEmpty()) {
        tell(s, problem);
        return false;
    }
    const CarRecord old = s.car(index);
    changed.dirName = old.dirName;
    // The car's files may change with its fuel type: nobody else may be working on it meanwhile.
    const std::shared_ptr<DataLock> carLock = lockForChange(s, old, u"az adatai most nem módosíthatók."_s);
    if (!carLock)
        return false;
    const Result saved = changeCarList(s, [&] {
        const int at = indexOfDir(s.cars, old.dirName);
        if (at == 0) {
            tell(s, u"A(z) %1 gépkocsit közben egy másik gépről törölték."_s.arg(old.userName));
            return false;
        }
        if (!sameRecord(s.car(at), old) &&
            !(prompterOf(s) &&
              askYesDefaultNo(*prompterOf(s), u"A(z) %1 gépkocsi adatait közben egy másik gépről megváltoztatták "
                                              u"(user.rvd).\r\n\r\nFelülírja az ottani változtatást a most megadott "
                                              u"adatokkal?"_s.arg(old.userName))))
            return false;
        if (QString problem = uniquenessProblem(s, changed, at); !problem.isEmpty()) {
            tell(s, problem);
            return false;
        }
        s.car(at) = changed;
        index = at;
        return true;
    });
    if (!saved) {
        if (!saved.message().isEmpty())
            tell(s, u"A gépkocsi adatai nem menthetők:\r\n%1"_s.arg(saved.message()));
        return false;
    }

    const WriteGate gate = carGateOf(s, carLock.get(), changed);
    const CarFacts formFacts = withFuelType(form.facts, changed.fuelType);
    if (Result r = saveCarFacts(gate, absoluteCarDir(s, changed), formFacts); !r) {
        logCaught(s, r.code(), r.message());
        tell(s, factsNotSaved(formFacts) + u":\r\n%1"_s.arg(r.message()));
    } else if (index == s.currentCar) {
        s.carFacts = formFacts;
    }
    if (changed.fuelType != old.fuelType) {
        const QString dir = absoluteCarDir(s, changed);
        bool replaced = false;
        if (ask(s, u"Megváltoztatta a gépkocsi üzemanyagát.\r\nBetölti az új üzemanyag NAV által közzétett havi árait?"_s)) {
            copyPrices(s, gate, publishedPricePath(s, changed.fuelType), dir);
            replaced = true;
        } else if (ask(s, u"Megváltoztatta gépkocsija üzemanyagtípusát.\r\nKívánja egy másik gépkocsi üzemanyagadatbázisát importálni?"_s)) {
            const int from = choose ? choose() : 0;
            if (from >= 1 && from <= s.carCount() && from != index) {
                const QString source = absoluteCarDir(s, s.car(from)) + u"benzin.rvd"_s;
                copyPrices(s, gate, source, dir);
                replaced = true;
            }
        }
        // The logged-in car must not keep the old prices in memory: the next save would put
        // them back over the new file.
        if (replaced && index == s.currentCar)
            LoadFuelPrices(s);
    }
    return true;
}

CarFacts carFactsOf(AppState& s, int index) {
    if (index < 1 || index > s.carCount())
        return {};
    // Another car's damaged file is only read: its rescue copy is made by whoever holds it.
    const WriteGate gate = index == s.currentCar ? s.carGate()
                                                 : WriteGate::closed(s.programDir, u"A gépkocsi nincs zárolva."_s);
    const CarFactsRead read = readCarFacts(gate, absoluteCarDir(s, s.car(index)));
    if (!read.problem) {
        logCaught(s, read.problem.code(), read.problem.message());
        tell(s, read.problem.message());
    }
    return read.facts;
}

void logout(AppState& s) {
    s.carFacts = CarFacts{};
    s.carLock.reset();
    s.readOnlyBy.clear();
    s.currentCar = 0;
    s.carDir.clear();
    s.partners.clear();
    s.distances.reset(0);
    s.fuelPrices.clear();
}

DeleteOutcome deleteCar(AppState& s, int index) {
    DeleteOutcome out;
    if (index < 1 || index > s.carCount())
        return out;
    const CarRecord car = s.car(index);
    const QString dirName = car.dirName.trimmed();
    const QString path = s.usersDir() + dirName;
    const int months = isSafeDirName(dirName) ? monthFileCount(path) : 0;
    Prompter* p = prompterOf(s);
    if (!p || !askYesDefaultNo(*p, u"Biztos, hogy törli a(z) %1 nevű felhasználót?\r\n\r\nVele együtt törlődik %2 havi "
                                   u"nyilvántartása, a partnerei, a távolságai és az üzemanyagárai."_s.arg(car.userName)
                                       .arg(months)))
        return out;

    // Nobody may be working on the car while it goes; a login waiting for the lock finds it gone.
    const std::shared_ptr<DataLock> carLock = lockForChange(s, car, u"nem törölhető."_s);
    if (!carLock)
        return out;
    const bool loggedIn = s.currentCar == index;
    // The record goes first: a car file that cannot be written leaves the car and its files whole.
    const Result saved = changeCarList(s, [&] {
        int at = 0;
        for (int i = 1; i <= s.carCount() && at == 0; ++i)
            if (sameRecord(s.car(i), car))
                at = i;
        if (at == 0)
            at = indexOfDir(s.cars, car.dirName);
        if (at >= 1)
            s.cars.removeAt(at - 1);
        return true;
    });
    if (!saved) {
        tell(s, u"A gépkocsi nem törölhető, mert a gépkocsik listája nem írható:\r\n%1"_s.arg(saved.message()));
        return out;
    }
    out.removed = true;
    if (loggedIn) {
        logout(s);
        out.wasLoggedIn = true;
    }

    if (!isSafeDirName(dirName)) {
        logCaught(s, 75, u"Nem biztonságos könyvtárnév: %1"_s.arg(quotedField(dirName)));
        tell(s, u"A(z) %1 felhasználó könyvtárneve („%2”) nem biztonságos, ezért egyetlen fájlt sem töröltem."_s.arg(
                    car.userName, dirName));
        return out;
    }
    for (const CarRecord& other : s.cars)
        if (sameText(other.dirName, dirName)) {
            tell(s, u"A(z) %1 könyvtárat a(z) %2 felhasználó is használja, ezért megmaradt."_s.arg(dirName, other.userName),
                 MsgIcon::Information);
            return out;
        }

    const QString users = QFileInfo(s.usersDir()).canonicalFilePath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return out;
    if (info.isSymLink()) {
        if (!QFile::remove(path)) { // the link only, never what it points to
            logCaught(s, 75, path);
            tell(s, u"A(z) %1 hivatkozás nem törölhető:\r\n%2"_s.arg(dirName, QDir::toNativeSeparators(path)));
        }
        return out;
    }
    if (!info.isDir() || users.isEmpty() || QFileInfo(info.canonicalFilePath()).absolutePath() != users)
        return out;
    // Only what the program made there goes; anything the user keeps beside it stays.
    QStringList stayed;
    const WriteGate gate = carGateOf(s, carLock.get(), car);
    for (const QString& f : filesIn(path))
        if (!isOwnFileName(f) || !gate.remove(path + u'/' + f))
            stayed.append(f);
    for (const QString& d : QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        stayed.append(d + u'/');
    if (stayed.isEmpty() && QDir(s.usersDir()).rmdir(dirName))
        return out;
    constexpr int kListed = 10;
    QString list = QStringList(stayed.mid(0, kListed)).join(u"\r\n"_s);
    if (stayed.size() > kListed)
        list += u"\r\n... és még %1"_s.arg(stayed.size() - kListed);
    logCaught(s, 75, u"A könyvtár megmaradt: "_s + path);
    tell(s, u"A(z) %1 könyvtár megmaradt, mert ezek maradtak benne:\r\n%2"_s.arg(QDir::toNativeSeparators(path), list),
         MsgIcon::Information);
    return out;
}

} // namespace rv
