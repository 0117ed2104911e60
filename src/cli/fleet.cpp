#include "fleet.h"

#include "model/carfacts.h"

#include "model/cost.h"
#include "model/logbookfile.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "months/openmonth.h"
#include "startup/startup.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/locks.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// Runs a parser over a data file that may be missing: missing tells a file that is not there
// from one that cannot be read. A damaged file is refused with what it should hold.
template <typename Parse>
Result parseDataFile(const QString& dataDir, const QString& path, const QString& damaged, bool& missing,
                     Parse&& parse) {
    missing = !QFile::exists(path) && !QFileInfo(path).isSymLink();
    if (missing)
        return Result::success();
    QByteArray data;
    Result r = readDataFile(dataDir, path, data);
    if (!r)
        return r;
    r = parse(data, native(path));
    if (!r)
        return Result::failure(damaged + u'\n' + r.message(), r.code());
    return r;
}

} // namespace

QString monthText(int year, int month) { return u"%1-%2"_s.arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0')); }

std::optional<MonthArg> parseMonthArg(const QString& text) {
    static const QRegularExpression pattern(u"^(\\d{4})-(\\d{2})$"_s);
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int year = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    if (year < 1 || month < 1 || month > 12)
        return std::nullopt;
    return MonthArg{year, month};
}

QString badMonthMessage(const QString& text) {
    return u"Hibás hónap: „%1”. A hónapot ÉÉÉÉ-HH alakban kell megadni, például 2024-03."_s.arg(text);
}

Fleet::Fleet(const QString& programDir) {
    state.programDir = programDir;
    // Nothing is written until a command takes its lock, and the error log never is.
    state.readingOnly = true;
    state.keepsErrorLog = false;
}

Fleet::~Fleet() {
    state.folderLock = nullptr;
    state.carLock.reset();
}

Result Fleet::loadCars() {
    bool missing = false;
    QVector<CarRecord> cars;
    const Result r = parseDataFile(state.programDir, state.path(u"user.rvd"_s), u"Az autók listája sérült."_s, missing,
                                   [&](const QByteArray& data, const QString& name) {
                                       return parseCars(data, name, cars);
                                   });
    if (r) {
        applyKeptFuelTypes(state.programDir, cars);
        state.cars = std::move(cars);
    }
    return r;
}

Result Fleet::selectCar(const QString& name) {
    const QString wanted = name.trimmed();
    QVector<int> loose;
    QVector<int> exact;
    for (int i = 1; i <= state.carCount(); ++i) {
        const CarRecord& c = state.car(i);
        const QString user = c.userName.trimmed();
        const QString plate = c.plateNumber.trimmed();
        if (user.compare(wanted, Qt::CaseInsensitive) == 0 || plate.compare(wanted, Qt::CaseInsensitive) == 0)
            loose << i;
        if (user == wanted || plate == wanted)
            exact << i;
    }
    const QVector<int>& found = loose.size() == 1 ? loose : exact;
    if (loose.isEmpty() || wanted.isEmpty())
        return Result::failure(u"Nincs ilyen autó: „%1”. Az autók listája: rovanta-cli cars"_s.arg(name));
    if (found.size() != 1) {
        QStringList which;
        for (int i : loose)
            which << state.car(i).userName.trimmed() + u" ("_s + state.car(i).plateNumber.trimmed() + u')';
        return Result::failure(u"A(z) „%1” név több autóra is illik: %2. Adja meg a rendszámot."_s.arg(
            name, which.join(u", "_s)));
    }
    state.currentCar = found.first();
    state.carDir = carDirOf(state.car(state.currentCar));
    return Result::success();
}

Result Fleet::requireCarDirectory() const {
    const QString dir = state.carPath(QString());
    if (Result r = checkInsideDataDir(state.programDir, dir); !r)
        return r;
    if (!QFileInfo(dir).isDir())
        return Result::failure(u"Az autó könyvtára nem található: %1"_s.arg(native(dir)), 76);
    return Result::success();
}

Result Fleet::loadMultipliers() {
    bool missing = false;
    MultiplierFile m;
    const Result r = parseDataFile(state.programDir, state.path(u"Users/szorzo.rvd"_s), u"A szorzók fájlja sérült."_s, missing,
                                   [&](const QByteArray& data, const QString& name) {
                                       return parseMultipliers(data, name, m);
                                   });
    if (!r)
        return r;
    if (missing) {
        m.values.fill(1.0f);
        m.defaultRouteType = 1;
    }
    for (int i = 0; i < kMultiplierCount; ++i)
        state.multipliers[size_t(i)].value = m.values[size_t(i)];
    state.defaultRouteType = m.defaultRouteType;
    return Result::success();
}

Result Fleet::loadDatabase() {
    const QString path = state.carPath(u"data.rvd"_s);
    bool missing = false;
    PartnerDatabase db;
    const Result r = parseDataFile(state.programDir, path, u"Az autó partneradatbázisa sérült."_s, missing,
                                   [&](const QByteArray& data, const QString& name) {
                                       return parseDatabase(data, name, state.defaultRouteType, db);
                                   });
    if (!r)
        return r;
    if (missing)
        return Result::failure(u"Az autó partneradatbázisa nem található: %1"_s.arg(native(path)), 53);
    state.partners = std::move(db.partners);
    state.distances = std::move(db.distances);
    return r;
}

Result Fleet::loadFuelPrices() {
    bool missing = false;
    QVector<FuelPrice> prices;
    const Result r = parseDataFile(state.programDir, state.carPath(u"benzin.rvd"_s), u"Az autó benzinárait tartalmazó fájl sérült."_s,
                                   missing, [&](const QByteArray& data, const QString& name) {
                                       return parseFuelPrices(data, name, prices);
                                   });
    if (r)
        state.fuelPrices = std::move(prices);
    return r;
}

namespace {

// A stale lock is never taken here: the program offers it, naming the holder.
Result takeForCommand(DataLock* lock, const QString& what) {
    const LockAttempt attempt = takeLock(*lock, kCliLockWaitMs, {});
    if (attempt.outcome == LockOutcome::Taken)
        return Result::success();
    if (attempt.outcome == LockOutcome::Failed)
        return Result::failure(lock->failure() + u"\nA parancs semmit sem írt."_s);
    if (attempt.stale)
        return Result::failure(
            u"%1 zárolása elavultnak látszik: %2, de a(z) %3 számítógép régóta nem jelentkezett. A parancssor nem "
            u"veszi át; a programban átvehető, ha ott már biztosan nem fut. A parancs semmit sem írt."_s.arg(
                what, holderText(lock->holder()), lock->holder().host.isEmpty() ? u"?"_s : lock->holder().host));
    return Result::failure(u"%1 most zárolva van: %2. A parancs semmit sem írt; próbálja újra, ha ott befejezték."_s.arg(
        what, holderText(lock->holder())));
}

} // namespace

Result Fleet::lockFolder() {
    m_folder = std::make_unique<DataLock>(state.programDir, folderLockPath(state.programDir));
    if (Result r = takeForCommand(m_folder.get(), u"Az adatkönyvtár"_s); !r)
        return r;
    state.folderLock = m_folder.get();
    state.readingOnly = false;
    return Result::success();
}

Result Fleet::lockCar() {
    auto lock = std::make_shared<DataLock>(state.programDir, carLockPath(state.programDir, car().dirName));
    if (Result r = takeForCommand(lock.get(), u"A(z) %1 autó"_s.arg(car().userName.trimmed())); !r)
        return r;
    state.carLock = std::move(lock);
    state.readingOnly = false;
    return Result::success();
}

void Fleet::unlockCar() {
    state.carLock.reset();
    state.readingOnly = !state.folderLock;
}

void Fleet::unlockFolder() {
    state.folderLock = nullptr;
    m_folder.reset();
    state.readingOnly = !state.carLock;
}

Result Fleet::openCarToWrite(const QString& name, bool locked) {
    Result r = openCar(name, false);
    if (r && locked)
        r = lockCar();
    if (r)
        r = openCar(name, true);
    return r;
}

Result Fleet::openCar(const QString& name, bool withDatabase) {
    Result r = loadCars();
    if (r)
        r = selectCar(name);
    if (r)
        r = requireCarDirectory();
    if (r && withDatabase)
        r = loadMultipliers();
    if (r && withDatabase)
        r = loadDatabase();
    if (r && withDatabase) {
        const CarFactsRead facts = readCarFacts(state.carGate(), state.carPath(QString()));
        state.carFacts = facts.facts;
        if (!facts.problem)
            notices << facts.problem.message();
    }
    return r;
}

Result Fleet::findMonthFile(const MonthArg& month, QString& fileName, QStringList& warnings) const {
    const LogbookListing listing = listLogbooks(state);
    QStringList files;
    for (const LogbookEntry& e : listing.entries)
        if (e.year == month.year && e.month == month.month)
            files << listing.files[e.position];
    for (const LogbookListing::Unreadable& u : listing.unreadable)
        if (files.isEmpty() && u.year == month.year && u.month == month.month)
            return Result::failure(u"A(z) %1 hónap nyilvántartása (%2) nem olvasható: %3"_s.arg(
                                       monthText(month.year, month.month), listing.files[u.position], u.reason.simplified()),
                                   53);
    if (files.isEmpty()) {
        QString message = u"A(z) %1 hónapnak nincs nyilvántartása ennél az autónál (%2)."_s.arg(
            monthText(month.year, month.month), car().userName.trimmed());
        // A damaged or too new file of the month tells more than "none".
        const QString own = newMonthFileName(month.year, month.month);
        for (const QString& w : listing.warnings)
            if (w.contains(own, Qt::CaseInsensitive))
                message += u"\n"_s + w;
        return Result::failure(message, 53);
    }
    fileName = listing.files[monthEntry(listing, month.year, month.month)->position];
    if (files.size() > 1)
        warnings << u"A(z) %1 hónapnak több nyilvántartása is van (%2); a(z) %3 fájlt használom."_s.arg(
            monthText(month.year, month.month), files.join(u", "_s), fileName);
    return Result::success();
}

Result Fleet::openMonth(const QString& fileName, QVector<Partner>& unknown) {
    StoredLogbook stored;
    const Result r = readLogbookFile(state.carPath(fileName), stored, state.programDir);
    if (!r)
        return Result::failure(u"A nyilvántartás nem nyitható meg.\n"_s + r.message(), r.code());
    unknown = missingPartners(state, stored);
    state.month = monthFromStored(state, stored, fileName);
    const MonthFactsFile facts = readMonthFacts(state.carGate(), state.carPath(QString()));
    applyMonthFacts(state.month, facts.of(state.month.year, state.month.month));
    if (!facts.problem)
        notices << facts.problem.message();
    refreshKilometres(state, state.month);
    return Result::success();
}

} // namespace rv::cli
