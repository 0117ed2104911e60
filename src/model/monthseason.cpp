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

std::optional<MonthSeason> record(int year, int month, int code) {
    if (year < 1 || year > 32767 || month < 1 || month > 12 || code < 1 || code > 2)
        return std::nullopt;
    return MonthSeason{year, month, code == 1 ? SeasonBox::AirConditioning : SeasonBox::Winter};
}

bool holds(const QVector<MonthSeason>& seasons, const MonthSeason& m) {
    return std::any_of(seasons.begin(), seasons.end(),
                       [&](const MonthSeason& o) { return o.year == m.year && o.month == m.month; });
}

// Every line after the first that is a whole record by itself.
QVector<MonthSeason> readableLines(const QByteArray& data) {
    QVector<MonthSeason> seasons;
    QByteArray text = data;
    text.replace("\r\n", "\n").replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(',');
        if (f.size() != 3)
            continue;
        bool ok[3];
        const int v[3] = {f[0].toInt(&ok[0]), f[1].toInt(&ok[1]), f[2].toInt(&ok[2])};
        if (!ok[0] || !ok[1] || !ok[2])
            continue;
        if (const auto m = record(v[0], v[1], v[2]); m && !holds(seasons, *m))
            seasons.append(*m);
    }
    return seasons;
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
        const int countLine = in.line();
        const int n = in.readInt16In(0, 32767, u"a hónapok száma"_s);
        in.requireRoom(qint64(n) * 6 - 1, countLine); // "y,m,b" and a line end at least
        for (int i = 0; i < n; ++i) {
            const int line = in.line();
            const int year = in.readInt16();
            const int month = in.readInt16();
            const int code = in.readInt16();
            const auto m = record(year, month, code);
            if (!m)
                in.failAt(line, u"érvénytelen hónap vagy évszak (%1, %2, %3)"_s.arg(year).arg(month).arg(code));
            if (holds(seasons, *m))
                in.failAt(line, u"a(z) %1. %2. hónap kétszer szerepel"_s.arg(year).arg(month));
            seasons.append(*m);
        }
        in.requireEnd();
    });
    out = r ? std::move(seasons) : readableLines(data);
    return r;
}

SeasonBox SeasonFile::boxOf(int year, int month) const {
    for (const MonthSeason& m : seasons)
        if (m.year == year && m.month == month)
            return m.box;
    return SeasonBox::None;
}

SeasonFile readSeasonFile(const QString& dataDir, const QString& carDir) {
    SeasonFile file;
    const QString path = folder(carDir) + kSeasonFileName;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return file;
    QByteArray data;
    if (Result r = readDataFile(dataDir, path, data); !r) {
        file.problem = Result::failure(u"A hónapok Klíma/Téli üzemeltetés jelölését tartalmazó fájl nem olvasható; "
                                       u"egyik hónapnál sem számol vele a program:\r\n"_s + r.message(),
                                       r.code());
        return file;
    }
    const Result r = parseMonthSeasons(data, QDir::toNativeSeparators(path), file.seasons);
    if (!r) {
        const QString kept = keepAside(dataDir, path);
        file.problem = Result::failure(
            u"A hónapok Klíma/Téli üzemeltetés jelölését tartalmazó fájl hibás:\r\n%1\r\n\r\n"
            u"A hibátlanul olvasható %2 hónap jelölése megmarad, a többié elveszett: nézze át a hónapok Klíma és Téli "
            u"üzemeltetés jelölését.\r\n\r\n%3"_s
                .arg(r.message())
                .arg(file.seasons.size())
                .arg(kept.isEmpty() ? u"A hibás fájlról nem sikerült másolatot készíteni."_s
                                    : u"A hibás fájl másolata: "_s + QDir::toNativeSeparators(kept)),
            r.code());
    }
    return file;
}

SeasonBox loadMonthSeason(const QString& dataDir, const QString& carDir, int year, int month, QString* warning) {
    const SeasonFile file = readSeasonFile(dataDir, carDir);
    if (warning)
        *warning = file.problem ? QString() : file.problem.message();
    return file.boxOf(year, month);
}

Result saveMonthSeason(const QString& dataDir, const QString& carDir, int year, int month, SeasonBox box) {
    const QString path = folder(carDir) + kSeasonFileName;
    const bool exists = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    if (!exists && box == SeasonBox::None)
        return Result::success();
    QVector<MonthSeason> seasons;
    bool damaged = false;
    if (exists) {
        QByteArray data;
        if (Result r = readDataFile(dataDir, path, data); !r)
            return r;
        if (!parseMonthSeasons(data, kSeasonFileName, seasons)) {
            if (keepAside(dataDir, path).isEmpty())
                return Result::failure(u"A fájl nem menthető félre: %1"_s.arg(QDir::toNativeSeparators(path)), 75);
            damaged = true;
        }
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
