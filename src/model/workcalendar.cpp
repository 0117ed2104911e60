#include "workcalendar.h"

#include "storage/fileio.h"
#include "storage/locks.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

Result readUserTable(const QString& programDir, QVector<SwappedDay>& out) {
    const QString path = swappedDayPath(programDir);
    out.clear();
    if (!QFileInfo::exists(path))
        return Result::success();
    QByteArray data;
    Result r = readDataFile(programDir, path, data);
    if (r)
        r = parseSwappedDays(data, QDir::toNativeSeparators(path), out);
    return r;
}

} // namespace

QString swappedDayPath(const QString& programDir) { return programDir + kSwappedDayFile; }

Result loadUserSwappedDays(const QString& programDir) {
    QVector<SwappedDay> rows;
    const Result r = readUserTable(programDir, rows);
    installSwappedDays(r ? rows : QVector<SwappedDay>());
    if (!r)
        return Result::failure(r.message() + u"\r\nA program csak a beépített munkarendet használja."_s, r.code());
    return r;
}

Result importSwappedDays(const QString& programDir, const QByteArray& data, const QString& name, int* count) {
    QVector<SwappedDay> incoming;
    if (Result r = parseSwappedDays(data, name, incoming); !r)
        return r;
    // Another computer may be writing the same table.
    DataLock folder(programDir, folderLockPath(programDir));
    if (folder.tryTake(5000) != DataLock::State::Taken)
        return Result::failure(u"Az adatkönyvtárat most más használja (%1); a munkarend nem változott."_s.arg(
            holderText(folder.holder())));
    QVector<SwappedDay> rows;
    if (Result r = readUserTable(programDir, rows); !r)
        return r;
    for (const SwappedDay& day : incoming) {
        rows.removeIf([&](const SwappedDay& d) { return d.date == day.date; });
        rows.append(day);
    }
    std::sort(rows.begin(), rows.end(), [](const SwappedDay& a, const SwappedDay& b) { return a.date < b.date; });
    if (Result r = saveWholeFile(programDir, swappedDayPath(programDir), serializeSwappedDays(rows)); !r)
        return r;
    installSwappedDays(rows);
    if (count)
        *count = int(incoming.size());
    return Result::success();
}

} // namespace rv
