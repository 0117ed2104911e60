#include "publishedprices.h"

#include "priceedit.h"
#include "storage/datafiles.h"
#include "storage/errorlog.h"
#include "storage/fileio.h"
#include "ui/prompter.h"
#include "storage/locks.h"
#include "ui/lockquestions.h"

#include <QDir>
#include <QFile>

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

int topUpPublishedPrices(AppState& s) {
    int added = 0;
    for (int fuel = 0; fuel < kFuelTypeCount; ++fuel) {
        const QString path = publishedPath(s, fuel);
        const QVector<FuelPrice> shipped = navPricesOf(shippedNavPrices(), fuel);
        QVector<FuelPrice> current;
        if (QFile::exists(path)) {
            QByteArray data;
            Result r = readDataFile(s.programDir, path, data);
            if (r)
                r = parseFuelPrices(data, path, current);
            if (!r) {
                logCaught(s, r.code(), r.message());
                continue;
            }
        } else if (shipped.isEmpty()) {
            // Written anyway: the car dialog copies the file of every fuel type.
            if (const Result r = saveWholeFile(s.programDir, path, emptyFuelPriceFile()); !r)
                logCaught(s, r.code(), r.message());
            continue;
        }
        const MonthlyMerge m = mergeMonthly(current, shipped, false);
        if (m.added.isEmpty())
            continue;
        if (const Result r = saveWholeFile(s.programDir, path, serializeFuelPrices(m.prices)); !r) {
            logCaught(s, r.code(), r.message());
            continue;
        }
        added += int(m.added.size());
    }
    return added;
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
    r = parseNavPriceTable(data, QDir::toNativeSeparators(tablePath), rows);
    if (!r)
        return r;
    PublishedImport plan;
    plan.rows = int(rows.size());
    for (int fuel = 0; fuel < kFuelTypeCount; ++fuel) {
        if (!navColumnOf(fuel))
            continue;
        PublishedImport::File f;
        f.fuel = fuel;
        f.path = publishedPath(s, fuel);
        QVector<FuelPrice> current;
        if (QFile::exists(f.path)) {
            r = readDataFile(s.programDir, f.path, f.before);
            if (r)
                r = parseFuelPrices(f.before, f.path, current);
            if (!r)
                return Result::failure(u"A közzétett árak fájlja nem olvasható, ezért az árak nem frissülnek:\r\n%1"_s
                                           .arg(QDir::toNativeSeparators(f.path)),
                                       r.code());
        }
        const QVector<FuelPrice> monthly = navPricesOf(rows, fuel);
        f.keep = mergeMonthly(current, monthly, false);
        f.replace = mergeMonthly(current, monthly, true);
        plan.files.append(f);
    }
    out = std::move(plan);
    return Result::success();
}

Result applyPublishedImport(const AppState& s, const PublishedImport& plan, bool replace, int* added, int* replaced) {
    int addedCount = 0;
    int replacedCount = 0;
    QVector<const PublishedImport::File*> written;
    for (const PublishedImport::File& f : plan.files) {
        const MonthlyMerge& m = replace ? f.replace : f.keep;
        if (m.added.isEmpty() && (!replace || m.differing.isEmpty()))
            continue;
        const Result r = saveWholeFile(s.programDir, f.path, serializeFuelPrices(m.prices));
        if (!r) {
            // Either every file takes the table or none does.
            for (const PublishedImport::File* w : written) {
                if (w->before.isNull())
                    QFile::remove(w->path);
                else
                    saveWholeFile(s.programDir, w->path, w->before);
            }
            logCaught(s, r.code(), r.message());
            return Result::failure(u"A közzétett árak nem frissültek; minden fájl maradt a régi.\r\n"_s + r.message(),
                                   r.code());
        }
        written.append(&f);
        addedCount += int(m.added.size());
        if (replace)
            replacedCount += int(m.differing.size());
    }
    if (added)
        *added = addedCount;
    if (replaced)
        *replaced = replacedCount;
    return Result::success();
}

QVector<FuelPrice> importedPrices(const PublishedImport& plan, int fuelIndex, bool replace) {
    QVector<FuelPrice> entries;
    for (const PublishedImport::File& f : plan.files) {
        if (f.fuel != fuelIndex)
            continue;
        const MonthlyMerge& m = replace ? f.replace : f.keep;
        for (const FuelPrice& p : m.prices)
            if (m.added.contains(p.month) || (replace && m.differing.contains(p.month)))
                entries.append(p);
    }
    return entries;
}

bool importPublishedPrices(AppState& s, const QString& tablePath) {
    Prompter& ask = *s.prompter;
    PublishedImport plan;
    if (const Result r = planPublishedImport(s, tablePath, plan); !r) {
        ask.inform(r.message(), MsgIcon::Exclamation);
        return false;
    }
    bool replace = false;
    if (const QVector<QDate> differing = plan.differing(); !differing.isEmpty()) {
        const MsgButton answer = ask.ask(
            u"A táblázat ára eltér a közzétett ártól ezekben a hónapokban:\r\n%1\r\n\r\nLecseréli ezek árát a "
            u"táblázat szerintire? (Nem: csak az új hónapok kerülnek be.)"_s.arg(monthList(differing)),
            Yes | No | Cancel, MsgIcon::Question);
        if (answer == Cancel)
            return false;
        replace = answer == Yes;
    }
    int added = 0;
    int replaced = 0;
    {
        // The published prices belong to every car. Another computer may have imported since the
        // plan was made: it is made again on the files as they are, under the folder lock.
        DataLock folder(s.programDir, folderLockPath(s.programDir));
        Result r = takeFolderLock(folder, &ask, u"a közzétett árak"_s);
        if (r)
            r = planPublishedImport(s, tablePath, plan);
        if (r)
            r = applyPublishedImport(s, plan, replace, &added, &replaced);
        if (!r) {
            ask.inform(r.message(), MsgIcon::Exclamation);
            return false;
        }
    }
    const QString done = u"Az üzemanyagárak frissítve: %1 új ár került a közzétett árak közé, %2 ár cserélődött."_s
                             .arg(added)
                             .arg(replaced);
    const int car = s.currentCar;
    const int fuel = car >= 1 && car <= s.carCount() ? s.car(car).fuelType - 1 : -1;
    QVector<FuelPrice> entries = importedPrices(plan, fuel, replace);
    if (entries.isEmpty()) {
        ask.inform(done);
        return added + replaced > 0;
    }
    QVector<QDate> months;
    for (const FuelPrice& p : entries)
        months.append(p.month);
    if (askYesNo(ask, done + u"\r\n\r\nÁtveszi a(z) %1 hónap árát a(z) %2 autó benzinárai közé? A más napokra "
                              u"beírt árak megmaradnak."_s.arg(monthList(months), s.car(car).userName.trimmed()))) {
        if (const Result r = takeIntoCarPrices(s, entries); !r)
            ask.inform(r.message(), MsgIcon::Exclamation);
    }
    return true;
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
    if (const Result r = saveWholeFile(s.programDir, path, data); !r) {
        logCaught(s, r.code(), r.message());
        return r;
    }
    s.stamps[path] = stampOfBytes(data);
    s.fuelPrices = std::move(prices);
    return Result::success();
}

} // namespace rv
