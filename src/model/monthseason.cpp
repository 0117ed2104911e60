#include "monthseason.h"

#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/records.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

QString folder(const QString& carDir) { return carDir.endsWith(u'/') ? carDir : carDir + u'/'; }

int boxCode(SeasonBox box) { return box == SeasonBox::AirConditioning ? 1 : box == SeasonBox::Winter ? 2 : 0; }

bool before(const MonthSeason& a, const MonthSeason& b) {
    return a.year != b.year ? a.year < b.year : a.month < b.month;
}

} // namespace

QByteArray serializeMonthSeasons(const QVector<MonthSeason>& seasons) {
    RecordWriter w;
    qint64 count = 0;
    for (const MonthSeason& m : seasons)
        count += m.box != SeasonBox::None;
    w.line(count);
    for (const MonthSeason& m : seasons)
        if (m.box != SeasonBox::None)
            w.integer(m.year).integer(m.month).integer(boxCode(m.box)).endLine();
    return w.data();
}

Result parseMonthSeasons(const QByteArray& data, const QString& fileName, QVector<MonthSeason>& out) {
    QVector<MonthSeason> seasons;
    const Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int n = in.readInt16();
        if (n < 0)
            in.fail(u"a hónapok száma (%1) negatív"_s.arg(n));
        in.requireRoom(qint64(n) * 6); // "y,m,b" and a line end at least
        for (int i = 0; i < n; ++i) {
            MonthSeason m;
            m.year = in.readInt16();
            m.month = in.readInt16();
            const int code = in.readInt16();
            if (m.year < 1 || m.month < 1 || m.month > 12 || code < 1 || code > 2)
                in.fail(u"érvénytelen hónap vagy évszak (%1, %2, %3)"_s.arg(m.year).arg(m.month).arg(code));
            m.box = code == 1 ? SeasonBox::AirConditioning : SeasonBox::Winter;
            seasons.append(m);
        }
    });
    if (r)
        out = std::move(seasons);
    return r;
}

SeasonBox loadMonthSeason(const QString& carDir, int year, int month) {
    const QString path = folder(carDir) + kSeasonFileName;
    if (!QFileInfo::exists(path))
        return SeasonBox::None;
    QByteArray data;
    QVector<MonthSeason> seasons;
    if (!readWholeFile(path, data) || !parseMonthSeasons(data, kSeasonFileName, seasons))
        return SeasonBox::None;
    for (const MonthSeason& m : seasons)
        if (m.year == year && m.month == month)
            return m.box;
    return SeasonBox::None;
}

Result saveMonthSeason(const QString& dataDir, const QString& carDir, int year, int month, SeasonBox box) {
    const QString dir = folder(carDir);
    const QString path = dir + kSeasonFileName;
    QVector<MonthSeason> seasons;
    bool damaged = false;
    if (QFileInfo::exists(path)) {
        QByteArray data;
        if (Result r = readWholeFile(path, data); !r)
            return r;
        if (!parseMonthSeasons(data, kSeasonFileName, seasons)) {
            if (keepAside(dataDir, path).isEmpty())
                return Result::failure(u"A fájl nem menthető félre: %1"_s.arg(QDir::toNativeSeparators(path)), 75);
            seasons.clear();
            damaged = true;
        }
    } else if (box == SeasonBox::None) {
        return Result::success();
    }
    auto it = std::find_if(seasons.begin(), seasons.end(),
                           [&](const MonthSeason& m) { return m.year == year && m.month == month; });
    if (!damaged && (it != seasons.end() ? it->box == box : box == SeasonBox::None))
        return Result::success();
    if (it != seasons.end())
        seasons.erase(it);
    if (box != SeasonBox::None)
        seasons.append(MonthSeason{year, month, box});
    std::sort(seasons.begin(), seasons.end(), before);
    return saveWholeFile(dataDir, path, serializeMonthSeasons(seasons));
}

} // namespace rv
