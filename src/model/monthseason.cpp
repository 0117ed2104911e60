#include "monthseason.h"

#include "storage/records.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

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

} // namespace rv
