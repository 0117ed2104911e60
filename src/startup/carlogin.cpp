#include "carops.h"
#include "startup/carsteps.h"

#include "model/statefiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/records.h"
#include "model/state.h"
#include "ui/lockquestions.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

// Logging in to a car: its lock, its database (or the readable part of a damaged one), its prices.
namespace rv {

using namespace carsteps;

namespace {

// A damaged data.rvd: offers to go on with what was read before the damage. On Yes the damaged
// file is kept aside and the readable part takes its place, on disk and in memory.
bool openReadablePart(AppState& s, const CarRecord& car, const Result& damage) {
    const QString path = s.carPath(u"data.rvd"_s);
    QByteArray data;
    PartnerFileProgress progress;
    PartnerDatabase whole;
    if (!readDataFile(s.programDir, path, data) || parseDatabase(data, path, s.defaultRouteType, whole, &progress))
        return false;
    PartnerDatabase part = readablePart(progress);
    if (part.partners.isEmpty())
        part.partners = {baseOf(car)}; // the car's own base is always partner 1
    if (part.distances.size() != part.partners.size())
        part.distances.resize(int(part.partners.size()));
    const int n = std::max(progress.partnersInFile, progress.partnersRead);
    const int partners = int(part.partners.size());
    const int rows = std::min(progress.rowsRead, partners);
    QString loss = n > 0 ? u"A fájl %1 partnert ír; ebből %2 partner és %3 távolságsor olvasható, %4 partner és %5 "
                           u"távolságsor elvész."_s.arg(n)
                               .arg(progress.partnersRead)
                               .arg(rows)
                               .arg(n - progress.partnersRead)
                               .arg(n - rows)
                         : u"A fájlból egyetlen partner sem olvasható; csak a saját telephely marad."_s;
    if (n > 0 && rows < partners)
        loss += u" Az elveszett sorok távolságai, ahol lehet, a fordított irányból pótlódnak."_s;
    Prompter* p = prompterOf(s);
    if (!p || p->ask(u"A(z) %1 gépkocsi partneradatbázisa (data.rvd) hibás:\r\n%2\r\n\r\n%3\r\n\r\nMegnyitja, ami "
                     u"olvasható? A hibás fájl megmarad másolatként.\r\n\r\nIgen: megnyitás, Mégsem: a bejelentkezés "
                     u"elmarad."_s.arg(car.userName, damage.message(), loss),
                     Yes | Cancel, MsgIcon::Exclamation) != Yes)
        return false;
    // Read-only, nothing is written: the part read is shown, the file stays for its holder to mend.
    if (s.readOnly()) {
        s.partners = part.partners;
        s.distances = part.distances;
        tell(s, u"A gépkocsi az olvasható adatokkal, csak olvasásra nyílt meg. A hibás fájl változatlan maradt; azt "
                u"a gépkocsit szerkesztő gép menti félre és javítja."_s,
             MsgIcon::Information);
        return true;
    }
    const QString kept = s.carGate().keepAside(path);
    if (kept.isEmpty()) {
        tell(s, u"A hibás adatbázisról nem sikerült másolatot készíteni, ezért változatlan maradt:\r\n%1"_s.arg(
                    QDir::toNativeSeparators(path)));
        return false;
    }
    const QVector<Partner> oldPartners = s.partners;
    const DistanceMatrix oldDistances = s.distances;
    s.partners = part.partners;
    s.distances = part.distances;
    if (Result r = SaveDatabase(s); !r) {
        s.partners = oldPartners;
        s.distances = oldDistances;
        tell(s, u"Az olvasható rész nem menthető:\r\n%1"_s.arg(r.message()));
        return false;
    }
    tell(s, u"A gépkocsi az olvasható adatokkal nyílt meg. A hibás fájl másolata:\r\n%1"_s.arg(
                QDir::toNativeSeparators(kept)),
         MsgIcon::Information);
    return true;
}

} // namespace

Result loginCar(AppState& s, int index) {
    if (index < 1 || index > s.carCount())
        return Result::failure(u"Nincs kiválasztva gépkocsi."_s);
    const CarRecord car = s.car(index);

    // The car's lock for the whole session; held elsewhere, the car opens for reading only.
    std::shared_ptr<DataLock> lock;
    QString readOnlyBy;
    if (s.carLock && s.carLock->isTaken() && s.currentCar >= 1 && sameText(s.car(s.currentCar).dirName, car.dirName)) {
        lock = s.carLock;
    } else {
        lock = std::make_shared<DataLock>(s.programDir, carLockPath(s.programDir, car.dirName));
        const LockAttempt attempt = takeAsking(*lock, 0, prompterOf(s), u"A(z) %1 gépkocsi"_s.arg(car.userName));
        if (attempt.outcome != LockOutcome::Taken) {
            const bool failed = attempt.outcome == LockOutcome::Failed;
            readOnlyBy = failed ? u"a gépkocsi nem zárolható"_s : holderText(lock->holder());
            const QString why = failed ? u"A(z) %1 gépkocsi nem zárolható:\r\n%2"_s.arg(car.userName, lock->failure())
                                       : u"A(z) %1 gépkocsit most %2."_s.arg(car.userName, readOnlyBy);
            Prompter* p = prompterOf(s);
            if (!p || p->ask(why + u"\r\n\r\nMegnyitja csak olvasásra? Így semmit sem módosíthat benne.\r\n\r\n"
                                   u"Nem: másik gépkocsit választhat."_s,
                             Yes | No, MsgIcon::Question) != Yes)
                return Result::failure({});
            lock.reset();
        } else if (QVector<CarRecord> onDisk; readCarsOnDisk(s, onDisk) && indexOfDir(onDisk, car.dirName) == 0) {
            // It was deleted from another computer while this one waited.
            return Result::failure(u"A(z) %1 gépkocsit közben egy másik gépről törölték. A gépkocsik listája a "
                                   u"program újraindításakor frissül."_s.arg(car.userName));
        }
    }

    // Everything of the previous login, put back when this one fails.
    const int oldCar = s.currentCar;
    const QString oldDir = s.carDir;
    QVector<Partner> oldPartners = s.partners;
    DistanceMatrix oldDistances = s.distances;
    QVector<FuelPrice> oldPrices = s.fuelPrices;
    const CarFacts oldFacts = s.carFacts;
    const QString oldReadOnlyBy = s.readOnlyBy;
    const std::shared_ptr<DataLock> oldLock = s.carLock;
    auto restore = [&] {
        s.carLock = oldLock;
        s.currentCar = oldCar;
        s.carDir = oldDir;
        s.partners = std::move(oldPartners);
        s.distances = std::move(oldDistances);
        s.fuelPrices = std::move(oldPrices);
        s.carFacts = oldFacts;
        s.readOnlyBy = oldReadOnlyBy;
    };

    s.currentCar = index;
    s.carDir = carDirOf(car);
    // Every write of the loads below (a rescue copy, a new price list) goes through this car's lock.
    s.carLock = lock;
    s.readOnlyBy = readOnlyBy;
    s.carFacts = carFactsOf(s, index);
    // What an earlier session saw of these files says nothing now; the loads note them anew.
    for (const QString& file : {u"data.rvd"_s, u"benzin.rvd"_s})
        s.stamps.remove(s.carPath(file));

    s.errorLocation = u"frmUjuser - Partner"_s;
    if (Result r = LoadDatabase(s, true); !r && !(r.code() == 62 && openReadablePart(s, car, r))) {
        restore();
        return Result::failure(u"A(z) %1 gépkocsi partneradatbázisa (data.rvd) nem tölthető be, ezért a bejelentkezés "
                               u"nem sikerült.\r\n\r\n%2"_s.arg(car.userName, r.message()),
                               r.code());
    }

    s.errorLocation = u"frmUjuser - Benzin"_s;
    if (Result r = LoadFuelPrices(s); !r) {
        // A missing or damaged price file is replaced by an empty list (the user was told);
        // only a file that is still not readable stops the login.
        QByteArray data;
        QVector<FuelPrice> prices;
        const QString path = s.carPath(u"benzin.rvd"_s);
        if (!readDataFile(s.programDir, path, data) || !parseFuelPrices(data, path, prices)) {
            restore();
            return Result::failure(u"A(z) %1 gépkocsi üzemanyagár-adatbázisa (benzin.rvd) nem tölthető be, ezért a "
                                   u"bejelentkezés nem sikerült.\r\n\r\n%2"_s.arg(car.userName, r.message()),
                                   r.code());
        }
        s.fuelPrices = std::move(prices);
    }
    s.errorLocation = u"frmUjuser - Form"_s;
    return Result::success();
}

} // namespace rv
