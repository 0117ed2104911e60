#include "publishedprices.h"

#include "priceedit.h"
#include "model/carfacts.h"
#include "model/monthprice.h"
#include "model/reckoning.h"
#include "model/state.h"
#include "storage/datafiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/navpaste.h"
#include "storage/prompter.h"
#include "storage/locks.h"
#include "ui/lockquestions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QString monthList(const QVector<QDate>& months) {
    QStringList words;
    for (const QDate& d : months)
        words << navMonthText(d);
    return words.join(u", "_s);
}

QString publishedPath(const AppState& s, int fuel) {
    return s.usersDir() + fuelTypeTable()[size_t(fuel)].oldFile;
}

} // namespace

namespace {

// One published list given the shipped months it lacks; returns how many. A missing list with
// nothing shipped is written empty only when kept: the car dialog copies the file of every
// older fuel type.
int topUpList(AppState& s, const QString& path, const QVector<FuelPrice>& shipped, bool kept) {
    QVector<FuelPrice> current;
    if (QFile::exists(path)) {
        QByteArray data;
        Result r = readDataFile(s.programDir, path, data);
        if (r)
            r = parseFuelPrices(data, path, current);
        if (!r) {
            logCaught(s, r.code(), r.message());
            return 0;
        }
    } else if (shipped.isEmpty() && kept) {
        if (const Result r = s.folderGate().save(path, emptyFuelPriceFile()); !r)
            logCaught(s, r.code(), r.message());
        return 0;
    }
    const MonthlyMerge m = mergeMonthly(current, shipped, false);
    if (m.added.isEmpty())
        return 0;
    if (const Result r = s.folderGate().save(path, serializeFuelPrices(m.prices)); !r) {
        logCaught(s, r.code(), r.message());
        return 0;
    }
    return int(m.added.size());
}

} // namespace

int topUpPublishedPrices(AppState& s) {
    int added = 0;
    for (int fuel = 0; fuel < kOlderFuelTypeCount; ++fuel)
        added += topUpList(s, publishedPath(s, fuel), navPricesOf(shippedNavPrices(), fuel), true);
    // LPG and CNG: kept like the others, written with the built-in months on the first start.
    for (const GasList& gas : kGasLists)
        added += topUpList(s, s.usersDir() + QString::fromUtf16(gas.file),
                           navColumnPrices(shippedNavPrices(), gas.column), false);
    return added;
}

QVector<NavPriceRow> knownNavRows(const AppState& s) {
    QVector<NavPriceRow> rows = shippedNavPrices();
    const auto put = [&](NavColumn column, const QVector<FuelPrice>& list) {
        for (const FuelPrice& p : list) {
            if (!p.month.isValid())
                continue;
            auto row = std::find_if(rows.begin(), rows.end(), [&](const NavPriceRow& r) {
                return r.year == p.month.year() && r.month == p.month.month();
            });
            if (row == rows.end()) {
                rows.append(NavPriceRow{p.month.year(), p.month.month(), {}, {}});
                row = rows.end() - 1;
            }
            row->prices[size_t(column)] = p.price;
        }
    };
    for (int fuel = 0; fuel < kOlderFuelTypeCount; ++fuel)
        if (const auto column = navColumnOf(fuel))
            put(*column, publishedList(s, fuel));
    for (const GasList& gas : kGasLists) {
        const QString path = s.usersDir() + QString::fromUtf16(gas.file);
        QByteArray data;
        QVector<FuelPrice> list;
        if (QFileInfo::exists(path) && readDataFile(s.programDir, path, data) && parseFuelPrices(data, path, list))
            put(gas.column, list);
    }
    return rows;
}

QVector<QDate> PublishedImport::differing() const {
    QVector<QDate> months;
    for (const File& f : files)
        for (const QDate& d : f.keep.differing)
            if (!months.contains(d))
                months.append(d);
    std::sort(months.begin(), months.end());
    return months;
}

Result planPublishedImport(const AppState& s, const QString& tablePath, PublishedImport& out) {
    QByteArray data;
    Result r = readWholeFile(tablePath, data);
    if (!r)
        return r;
    QVector<NavPriceRow> rows;
    r = parseAnyNavTable(data, QDir::toNativeSeparators(tablePath), rows);
    if (!r)
        return r;
    return planPublishedImport(s, rows, out);
}

namespace {

// A published list's part of the plan: what it holds now, and the months merged in both ways.
Result planFile(const AppState& s, PublishedImport::File f, const QVector<FuelPrice>& monthly, PublishedImport& plan) {
    QVector<FuelPrice> current;
    if (QFile::exists(f.path)) {
        Result r = readDataFile(s.programDir, f.path, f.before);
        if (r)
            r = parseFuelPrices(f.before, f.path, current);
        if (!r)
            return Result::failure(u"A közzétett árak fájlja nem olvasható, ezért az árak nem frissülnek:\r\n%1"_s
                                       .arg(QDir::toNativeSeparators(f.path)),
                                   r.code());
    }
    f.keep = mergeMonthly(current, monthly, false);
    f.replace = mergeMonthly(current, monthly, true);
    plan.files.append(f);
    return Result::success();
}

} // namespace

Result planPublishedImport(const AppState& s, const QVector<NavPriceRow>& rows, PublishedImport& out) {
    PublishedImport plan;
    plan.rows = int(rows.size());
    for (int fuel = 0; fuel < kOlderFuelTypeCount; ++fuel) {
        if (!navColumnOf(fuel))
            continue;
        PublishedImport::File f;
        f.fuel = fuel;
        f.column = *navColumnOf(fuel);
        f.label = navFuelName(fuel);
        f.path = publishedPath(s, fuel);
        if (Result r = planFile(s, f, navPricesOf(rows, fuel), plan); !r)
            return r;
    }
    for (const GasList& gas : kGasLists) {
        PublishedImport::File f;
        f.fuel = -1;
        f.column = gas.column;
        f.label = navColumnName(gas.column);
        f.path = s.usersDir() + QString::fromUtf16(gas.file);
        if (Result r = planFile(s, f, navColumnPrices(rows, gas.column), plan); !r)
            return r;
    }
    out = std::move(plan);
    return Result::success();
}

namespace {

// One change of the journal: a published file's name under Users/, its bytes before (null when
// there was no file) and after.
struct JournalEntry {
    QString name;
    QByteArray before;
    QByteArray after;
};

constexpr char kJournalMagic[] = "ROVANTA NAV-IMPORT 1\n";
constexpr char kJournalEnd[] = "VEGE\n";

QByteArray journalBytes(const QVector<JournalEntry>& entries) {
    QByteArray out = kJournalMagic;
    out += QByteArray::number(entries.size()) + '\n';
    for (const JournalEntry& e : entries) {
        out += e.name.toLatin1() + ' ' + (e.before.isNull() ? QByteArray("-") : QByteArray::number(e.before.size())) +
               ' ' + QByteArray::number(e.after.size()) + '\n';
        out += e.before + e.after;
    }
    return out + kJournalEnd;
}

bool isPublishedName(const QString& name) {
    for (const GasList& gas : kGasLists)
        if (QString::fromUtf16(gas.file) == name)
            return true;
    for (const FuelType& f : fuelTypeTable())
        if (f.oldFile == name)
            return true;
    return false;
}

// Every byte accounted for: a journal cut short or grown reads as damaged.
bool parseJournal(const QByteArray& data, QVector<JournalEntry>& out) {
    if (!data.startsWith(kJournalMagic) || !data.endsWith(kJournalEnd))
        return false;
    qsizetype at = qsizetype(sizeof kJournalMagic) - 1;
    const qsizetype end = data.size() - qsizetype(sizeof kJournalEnd) + 1;
    const auto line = [&](QByteArray& text) {
        const qsizetype nl = data.indexOf('\n', at);
        if (nl < 0 || nl >= end)
            return false;
        text = data.mid(at, nl - at);
        at = nl + 1;
        return true;
    };
    QByteArray text;
    bool ok = false;
    if (!line(text))
        return false;
    const int count = text.toInt(&ok);
    if (!ok || count < 1 || count > kOlderFuelTypeCount + int(kGasLists.size()))
        return false;
    QVector<JournalEntry> entries;
    for (int i = 0; i < count; ++i) {
        if (!line(text))
            return false;
        const QList<QByteArray> words = text.split(' ');
        if (words.size() != 3)
            return false;
        JournalEntry e;
        e.name = QString::fromLatin1(words[0]);
        const bool absent = words[1] == "-";
        bool okBefore = absent, okAfter = false;
        const qint64 before = absent ? 0 : words[1].toLongLong(&okBefore);
        const qint64 after = words[2].toLongLong(&okAfter);
        if (!isPublishedName(e.name) || !okBefore || !okAfter || before < 0 || after < 0 || before > end - at ||
            after > end - at - before)
            return false;
        if (!absent)
            e.before = data.mid(at, before);
        e.after = data.mid(at + before, after);
        QVector<FuelPrice> check;
        if (!parseFuelPrices(e.after, e.name, check))
            return false;
        at += before + after;
        entries.append(e);
    }
    if (at != end)
        return false;
    out = std::move(entries);
    return true;
}

Result writeWith(const AppState& s, const ImportHooks& hooks, const QString& path, const QByteArray& data) {
    const WriteGate gate = s.folderGate();
    if (Result r = gate.check(); !r)
        return r;
    return hooks.write ? hooks.write(s.programDir, path, data) : gate.save(path, data);
}

// What a file of the journal holds now: read back, never assumed.
enum class Holds { Before, After, Other };
Holds holdsNow(const AppState& s, const JournalEntry& e) {
    const QString path = s.usersDir() + e.name;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return e.before.isNull() ? Holds::Before : Holds::Other;
    QByteArray now;
    if (!readDataFile(s.programDir, path, now))
        return Holds::Other;
    if (now == e.after)
        return Holds::After;
    return !e.before.isNull() && now == e.before ? Holds::Before : Holds::Other;
}

// Each file by name with what it holds now, for a message that says exactly what happened.
QString filesNow(const AppState& s, const QVector<JournalEntry>& entries) {
    QStringList lines;
    for (const JournalEntry& e : entries) {
        const Holds h = holdsNow(s, e);
        lines << u"%1: %2"_s.arg(e.name, h == Holds::After    ? u"az új árak"_s
                                          : h == Holds::Before ? u"a régi árak"_s
                                                               : u"sem a régi, sem az új (más írta közben)"_s);
    }
    return lines.join(u"\r\n"_s);
}

enum class Run { Done, Stopped };

// Puts each entry's new bytes in place, then drops the journal. Recovering, a file is written
// only while it still holds its old bytes: one that holds the new is done, one that holds
// neither was written by someone else since, and stays as it is. On a failed write the entries
// written here get their old bytes back; the journal goes only when every file is read back as
// old, else it stays for the next start, and the message names what each file holds.
Result commitJournal(const AppState& s, const QVector<JournalEntry>& entries, const ImportHooks& hooks, Run* run,
                     bool recovering, QString* report) {
    *run = Run::Done;
    const QString journal = importJournalPath(s);
    QVector<qsizetype> written;
    QStringList finished, already, untouched;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString path = s.usersDir() + entries[i].name;
        if (recovering) {
            const Holds h = holdsNow(s, entries[i]);
            if (h != Holds::Before) {
                (h == Holds::After ? already : untouched) << entries[i].name;
                continue;
            }
        }
        const Result r = writeWith(s, hooks, path, entries[i].after);
        if (!r) {
            for (qsizetype k = written.size() - 1; k >= 0; --k) {
                const JournalEntry& w = entries[written[k]];
                if (holdsNow(s, w) != Holds::After)
                    continue; // not ours to put back
                const QString back = s.usersDir() + w.name;
                if (w.before.isNull())
                    s.folderGate().remove(back);
                else
                    writeWith(s, hooks, back, w.before);
            }
            bool allOld = true;
            for (const JournalEntry& e : entries)
                allOld = allOld && holdsNow(s, e) == Holds::Before;
            if (!allOld)
                return Result::failure(u"A közzétett árak nem frissültek:\r\n%1\r\n\r\nA már átírt fájlok "
                                       u"visszaállítása sem sikerült. A fájlok most:\r\n%2\r\n\r\nA program a "
                                       u"következő indításkor befejezi a frissítést a naplóból (%3)."_s
                                           .arg(r.message(), filesNow(s, entries), QDir::toNativeSeparators(journal)),
                                       r.code());
            s.folderGate().remove(journal);
            return Result::failure(u"A közzétett árak nem frissültek; minden fájl maradt a régi.\r\n"_s + r.message(),
                                   r.code());
        }
        written.append(i);
        finished << entries[i].name;
        if (hooks.stop && hooks.stop(int(i) + 1)) {
            *run = Run::Stopped;
            return Result::failure(u"megszakítva"_s);
        }
    }
    // A journal that stays behind only repeats the same writes at the next start.
    s.folderGate().remove(journal);
    if (report) {
        QStringList parts;
        if (!finished.isEmpty())
            parts << u"most kapta meg az új árakat: %1"_s.arg(finished.join(u", "_s));
        if (!already.isEmpty())
            parts << u"már az új árakat tartalmazta: %1"_s.arg(already.join(u", "_s));
        if (!untouched.isEmpty())
            parts << u"közben más írta, ezért változatlan maradt: %1"_s.arg(untouched.join(u", "_s));
        *report = u"Egy félbemaradt NAV-ár-frissítés naplójából (%1) a program befejezte a frissítést; %2."_s.arg(
            QDir::toNativeSeparators(journal), parts.join(u"; "_s));
    }
    return Result::success();
}

} // namespace

QString importJournalPath(const AppState& s) { return s.usersDir() + u"nav-import.naplo"_s; }

Result applyPublishedImport(const AppState& s, const PublishedImport& plan, bool replace, int* added, int* replaced,
                            const ImportHooks& hooks) {
    int addedCount = 0;
    int replacedCount = 0;
    QVector<JournalEntry> entries;
    for (const PublishedImport::File& f : plan.files) {
        const MonthlyMerge& m = replace ? f.replace : f.keep;
        if (m.added.isEmpty() && (!replace || m.differing.isEmpty()))
            continue;
        entries.append(JournalEntry{QFileInfo(f.path).fileName(), f.before, serializeFuelPrices(m.prices)});
        addedCount += int(m.added.size());
        if (replace)
            replacedCount += int(m.differing.size());
    }
    if (!entries.isEmpty()) {
        if (const Result r = writeWith(s, hooks, importJournalPath(s), journalBytes(entries)); !r) {
            logCaught(s, r.code(), r.message());
            return Result::failure(u"A közzétett árak nem frissültek; minden fájl maradt a régi.\r\n"_s + r.message(),
                                   r.code());
        }
        if (hooks.stop && hooks.stop(0))
            return Result::failure(u"megszakítva"_s);
        Run run = Run::Done;
        if (const Result r = commitJournal(s, entries, hooks, &run, false, nullptr); !r) {
            if (run == Run::Done)
                logCaught(s, r.code(), r.message());
            return r;
        }
    }
    if (added)
        *added = addedCount;
    if (replaced)
        *replaced = replacedCount;
    return Result::success();
}

Result recoverPublishedImport(const AppState& s, const ImportHooks& hooks, QString* report) {
    const QString journal = importJournalPath(s);
    if (!QFileInfo::exists(journal) && !QFileInfo(journal).isSymLink())
        return Result::success();
    // Another computer may be in the middle of the very import the journal belongs to.
    if (!s.folderLock || !s.folderLock->isTaken())
        return Result::failure(u"Egy NAV-ár-frissítés naplója (%1) az adatkönyvtárban van, de a program csak az "
                               u"adatkönyvtár zárolásával nyúlhat hozzá. Semmi sem változott."_s.arg(
                                   QDir::toNativeSeparators(journal)),
                               75);
    QByteArray data;
    QVector<JournalEntry> entries;
    if (const Result r = readDataFile(s.programDir, journal, data); !r || !parseJournal(data, entries)) {
        // Written whole before any published file was touched: a damaged one changed nothing.
        const QString kept = s.folderGate().keepAside(journal);
        if (!kept.isEmpty())
            s.folderGate().remove(journal);
        const Result told = Result::failure(
            u"A NAV-árak egy félbemaradt frissítésének naplója sérült, ezért a közzétett árak a régiek maradtak. "
            u"A napló: %1"_s.arg(QDir::toNativeSeparators(kept.isEmpty() ? journal : kept)), 62);
        logCaught(s, told.code(), told.message());
        return told;
    }
    Run run = Run::Done;
    const Result r = commitJournal(s, entries, hooks, &run, true, report);
    if (!r && run == Run::Done)
        logCaught(s, r.code(), r.message());
    return r;
}

Result syncCarPrices(const AppState& s, const WriteGate& gate, const CarRecord& car, int* added) {
    const int fuel = car.fuelType - 1;
    if (added)
        *added = 0;
    if (fuel < 0 || fuel >= kFuelTypeCount)
        return Result::success();
    const QString published = publishedPath(s, fuel);
    const QString own = s.path(carDirOf(car) + u"benzin.rvd"_s);
    QByteArray data;
    QVector<FuelPrice> monthly;
    Result r = readDataFile(s.programDir, published, data);
    if (r)
        r = parseFuelPrices(data, QDir::toNativeSeparators(published), monthly);
    if (!r)
        return r;
    QVector<FuelPrice> current;
    data.clear();
    if (QFileInfo::exists(own)) {
        r = readDataFile(s.programDir, own, data);
        if (r)
            r = parseFuelPrices(data, QDir::toNativeSeparators(own), current);
        if (!r)
            return r;
    }
    const MonthlyMerge m = mergeMonthly(current, monthly, false);
    if (m.added.isEmpty())
        return Result::success();
    if (m.prices.size() > 32767)
        return Result::failure(u"Az autó ártáblázata megtelt: %1"_s.arg(QDir::toNativeSeparators(own)));
    if (r = gate.save(own, serializeFuelPrices(m.prices)); !r)
        return r;
    if (added)
        *added = int(m.added.size());
    return Result::success();
}

PriceSource carPriceSource(const AppState& s, const CarRecord& car, const WriteGate* keep) {
    // A fuel NAV does not publish (ESZ-98) has only the car's own prices.
    if (!navColumnOf(car.fuelType - 1))
        return PriceSource::Own;
    const QString dir = s.path(carDirOf(car));
    // Only a keeping caller holds the car: a reader leaves a damaged file as it is.
    const CarFactsRead facts = readCarFacts(keep ? *keep : WriteGate::closed(s.programDir, QString()), dir);
    if (!facts.problem)
        return PriceSource::Own;
    if (facts.facts.priceSource)
        return *facts.facts.priceSource;
    QVector<FuelPrice> own;
    QByteArray data;
    const QString path = dir + u"benzin.rvd"_s;
    if (QFileInfo::exists(path) &&
        (!readDataFile(s.programDir, path, data) || !parseFuelPrices(data, QDir::toNativeSeparators(path), own)))
        return PriceSource::Own;
    const PriceSource source = decidedPriceSource(facts.facts, own, publishedList(s, car.fuelType - 1));
    if (keep) {
        CarFacts kept = facts.facts;
        kept.priceSource = source;
        if (const Result r = saveCarFacts(*keep, dir, kept); !r)
            logCaught(s, r.code(), r.message());
    }
    return source;
}

int carryPublishedIntoNavCars(AppState& s, QStringList* problems, QStringList* deferred) {
    int total = 0;
    for (int i = 1; i <= s.carCount(); ++i) {
        const CarRecord& car = s.car(i);
        // Nothing published for its fuel yet: nothing to carry.
        const int fuel = car.fuelType - 1;
        if (fuel < 0 || fuel >= kFuelTypeCount || !QFileInfo::exists(publishedPath(s, fuel)) ||
            !QFileInfo(s.path(carDirOf(car))).isDir())
            continue;
        if (carPriceSource(s, car) != PriceSource::Nav)
            continue;
        // The logged-in car through its own gate; any other only while its lock can be had at
        // once: a car someone else has open keeps its list until it is next opened.
        const bool ours = i == s.currentCar && s.carLock;
        DataLock lock(s.programDir, carLockPath(s.programDir, car.dirName));
        if (!ours) {
            const LockAttempt attempt = takeLock(lock, 0, {});
            if (attempt.outcome == LockOutcome::Failed && problems)
                *problems << car.userName.trimmed() + u": "_s + lock.failure();
            // Held elsewhere is no failure: the holder's program carries them when it next starts.
            if (attempt.outcome == LockOutcome::Held && deferred)
                *deferred << car.userName.trimmed() + u": most más szerkeszti (%1); árai a következő megnyitáskor "
                                                      u"kerülnek át."_s.arg(holderText(lock.holder()));
            if (attempt.outcome != LockOutcome::Taken)
                continue;
        }
        const WriteGate gate =
            ours ? s.carGate() : WriteGate::locked(s.programDir, &lock, u"A(z) %1 gépkocsi"_s.arg(car.userName.trimmed()));
        if (carPriceSource(s, car, &gate) != PriceSource::Nav)
            continue;
        int added = 0;
        if (const Result r = syncCarPrices(s, gate, car, &added); !r) {
            if (problems)
                *problems << car.userName.trimmed() + u": "_s + r.message();
            continue;
        }
        total += added;
        if (added > 0 && i == s.currentCar) {
            // The logged-in car's prices in memory are its file's.
            const QString path = s.carPath(u"benzin.rvd"_s);
            QByteArray data;
            QVector<FuelPrice> prices;
            if (readDataFile(s.programDir, path, data) && parseFuelPrices(data, QDir::toNativeSeparators(path), prices)) {
                s.fuelPrices = prices;
                s.stamps[path] = stampOfBytes(data);
            }
        }
    }
    return total;
}

QString missingPublishedNotice(const AppState& s, const QDate& today) {
    QVector<QDate> missing;
    for (int fuel = 0; fuel < kFuelTypeCount; ++fuel) {
        if (!publishedListWatched(s, fuel))
            continue;
        for (const QDate& d : missingRecentMonths(publishedList(s, fuel), today))
            if (!missing.contains(d))
                missing.append(d);
    }
    if (missing.isEmpty())
        return {};
    std::sort(missing.begin(), missing.end());
    return u"A közzétett NAV-üzemanyagárak közül hiányzik: %1. Az ezekre a hónapokra számolt költség egy korábbi "
           u"hónap árával készülne.\r\n\r\nFrissítse az árakat az Eszközök menü „Letöltés a NAV honlapjáról” "
           u"pontjával, vagy másolja ki a táblázatot a NAV honlapjáról, és illessze be a „NAV-árak beillesztése” "
           u"ponttal (parancssorból: rovanta-cli prices update)."_s.arg(monthList(missing));
}

QString importSummary(const PublishedImport& plan) {
    QVector<QDate> added;
    for (const PublishedImport::File& f : plan.files)
        for (const QDate& d : f.keep.added)
            if (!added.contains(d))
                added.append(d);
    std::sort(added.begin(), added.end());
    QStringList lines;
    if (!added.isEmpty())
        lines << u"Új hónapok a közzétett árak között: %1."_s.arg(monthList(added));
    for (const PublishedImport::File& f : plan.files)
        for (const QDate& d : f.keep.differing) {
            QStringList was;
            for (const FuelPrice& p : f.keep.prices)
                if (p.month.year() == d.year() && p.month.month() == d.month())
                    was << QString::number(p.price);
            qint16 now = 0;
            for (const FuelPrice& p : f.replace.prices)
                if (p.month == d)
                    now = p.price;
            lines << u"%1, %2: most %3 Ft, a táblázatban %4 Ft."_s.arg(navMonthText(d), f.label,
                                                                      was.join(u"/"_s))
                         .arg(now);
        }
    return lines.join(u"\r\n"_s);
}

QVector<FuelPrice> importedPrices(const PublishedImport& plan, int fuelIndex, bool replace) {
    QVector<FuelPrice> entries;
    const auto column = navColumnOf(fuelIndex);
    if (!column)
        return entries;
    for (const PublishedImport::File& f : plan.files) {
        if (f.column != *column)
            continue;
        const MonthlyMerge& m = replace ? f.replace : f.keep;
        for (const FuelPrice& p : m.prices)
            if (m.added.contains(p.month) || (replace && m.differing.contains(p.month)))
                entries.append(p);
    }
    return entries;
}

namespace {

bool importPlanned(AppState& s, PublishedImport plan, const QVector<NavPriceRow>& rows, const QString& origin) {
    Prompter& ask = *s.prompter;
    const QString summary = importSummary(plan);
    bool replace = false;
    if (const QVector<QDate> differing = plan.differing(); !differing.isEmpty()) {
        const MsgButton answer = ask.ask(
            u"%1\r\n\r\nA táblázat ára eltér a közzétett ártól ezekben a hónapokban:\r\n%2\r\n\r\nLecseréli ezek "
            u"árát a táblázat szerintire? (Nem: csak az új hónapok kerülnek be.)"_s.arg(summary, monthList(differing)),
            Yes | No | Cancel, MsgIcon::Question);
        if (answer == Cancel)
            return false;
        replace = answer == Yes;
    } else if (summary.isEmpty()) {
        ask.inform(u"%1: a táblázat minden hónapja megvan már a közzétett árak között; semmi sem változott."_s.arg(origin));
        return false;
    } else if (!askYesNo(ask, u"%1\r\n\r\nBeviszi ezeket a közzétett árak közé?"_s.arg(summary))) {
        return false;
    }
    int added = 0;
    int replaced = 0;
    {
        // The published prices belong to every car. Another computer may have imported since the
        // plan was made: it is made again on the files as they are, under the folder lock.
        DataLock folder(s.programDir, folderLockPath(s.programDir));
        Result r = takeFolderLock(folder, &ask, u"a közzétett árak"_s);
        const HeldFolder held(s, folder);
        QString recovered;
        if (r)
            r = recoverPublishedImport(s, {}, &recovered);
        if (r && !recovered.isEmpty())
            ask.inform(recovered, MsgIcon::Information);
        if (r)
            r = planPublishedImport(s, rows, plan);
        if (r)
            r = applyPublishedImport(s, plan, replace, &added, &replaced);
        if (!r) {
            ask.inform(r.message(), MsgIcon::Exclamation);
            return false;
        }
    }
    QString done = u"Az üzemanyagárak frissítve: %1 új ár került a közzétett árak közé, %2 ár cserélődött."_s
                       .arg(added)
                       .arg(replaced);
    // A NAV car takes the months it lacks without a question; what it has stays.
    QStringList problems;
    QStringList deferred;
    if (const int carried = carryPublishedIntoNavCars(s, &problems, &deferred); carried > 0)
        done += u"\r\n%1 új havi ár került a NAV-árakkal számoló autók árai közé."_s.arg(carried);
    if (!deferred.isEmpty())
        done += u"\r\n\r\nKésőbb:\r\n"_s + deferred.join(u"\r\n"_s);
    if (!problems.isEmpty())
        done += u"\r\n\r\nNem sikerült:\r\n"_s + problems.join(u"\r\n"_s);
    const int car = s.currentCar;
    const bool navCar = car >= 1 && car <= s.carCount() && carPriceSource(s, s.car(car)) == PriceSource::Nav;
    // Only a replaced month is left to offer, and only to a NAV car: an own-price car is never
    // asked about NAV's prices.
    const int fuel = navCar && replace ? s.car(car).fuelType - 1 : -1;
    QVector<FuelPrice> entries = importedPrices(plan, fuel, replace);
    if (entries.isEmpty()) {
        ask.inform(done);
        return added + replaced > 0;
    }
    QVector<QDate> months;
    for (const FuelPrice& p : entries)
        months.append(p.month);
    if (askYesNo(ask, done + u"\r\n\r\nÁtveszi a(z) %1 hónap árát a(z) %2 autó %3árai közé? A más napokra "
                              u"beírt árak megmaradnak."_s.arg(monthList(months), s.car(car).userName.trimmed(),
                                                               fuelPriceStem(fuel)))) {
        if (const Result r = takeIntoCarPrices(s, entries); !r)
            ask.inform(r.message(), MsgIcon::Exclamation);
    }
    return true;
}

} // namespace

bool importPublishedPrices(AppState& s, const QString& tablePath) {
    QByteArray data;
    Result r = readWholeFile(tablePath, data);
    QVector<NavPriceRow> rows;
    if (r)
        r = parseAnyNavTable(data, QDir::toNativeSeparators(tablePath), rows);
    if (!r) {
        s.prompter->inform(r.message(), MsgIcon::Exclamation);
        return false;
    }
    return importPublishedRows(s, rows, QDir::toNativeSeparators(tablePath));
}

bool importPublishedRows(AppState& s, const QVector<NavPriceRow>& rows, const QString& origin) {
    if (const QStringList doubtful = implausibleNavPrices(rows, knownNavRows(s));
        !doubtful.isEmpty() && !askYesNo(*s.prompter, u"%1: ezek az árak valószínűtlenek:\r\n%2\r\n\r\nBiztosan így "
                                                     u"szerepelnek a NAV táblázatában? (Nem: semmi sem változik.)"_s
                                                         .arg(origin, doubtful.join(u"\r\n"_s)))) {
        return false;
    }
    PublishedImport plan;
    if (const Result r = planPublishedImport(s, rows, plan); !r) {
        s.prompter->inform(r.message(), MsgIcon::Exclamation);
        return false;
    }
    return importPlanned(s, plan, rows, origin);
}

Result takeIntoCarPrices(AppState& s, const QVector<FuelPrice>& entries) {
    if (Result r = s.refuseReadOnly(); !r)
        return r;
    QVector<FuelPrice> prices = s.fuelPrices;
    for (const FuelPrice& p : entries)
        if (!storePrice(prices, p.month, p.price))
            return Result::failure(u"Az autó ártáblázata megtelt."_s);
    const QString path = s.carPath(u"benzin.rvd"_s);
    const QByteArray data = serializeFuelPrices(prices);
    if (const Result r = s.carGate().save(path, data); !r) {
        logCaught(s, r.code(), r.message());
        return r;
    }
    s.stamps[path] = stampOfBytes(data);
    s.fuelPrices = std::move(prices);
    return Result::success();
}

} // namespace rv
