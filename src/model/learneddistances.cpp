#include "learneddistances.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace rv {

qint32 medianKm(QVector<double> km) {
    if (km.isEmpty())
        return 0;
    std::sort(km.begin(), km.end());
    const qsizetype n = km.size();
    const double median = n % 2 == 1 ? km[n / 2] : (km[n / 2 - 1] + km[n / 2]) / 2;
    // Tenths first: a recorded 12.5 read as 12.4999... still rounds up.
    return qint32(std::floor(std::round(median * 1000) / 1000 + 0.5));
}

QVector<LearnedDistance> learnDistances(const DistanceMatrix& table, const QVector<RecordedLeg>& legs) {
    QMap<std::pair<int, int>, QVector<double>> pairs;
    for (const RecordedLeg& leg : legs) {
        if (leg.from == leg.to || leg.from < 1 || leg.to < 1 || leg.from > table.size() || leg.to > table.size())
            continue;
        pairs[{std::min(leg.from, leg.to), std::max(leg.from, leg.to)}] << leg.km;
    }
    QVector<LearnedDistance> out;
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
        LearnedDistance d;
        d.a = it.key().first;
        d.b = it.key().second;
        d.trips = int(it.value().size());
        d.recorded = std::min<qint32>(medianKm(it.value()), 32767);
        // A pair kept one way only (the file allows it) is compared with the way it has.
        d.table = table.at(d.a, d.b).distance > 0 ? table.at(d.a, d.b).distance : table.at(d.b, d.a).distance;
        if (d.table <= 0)
            d.verdict = LearnedDistance::Verdict::Fill;
        else if (qint64(std::abs(d.recorded - d.table)) * 100 > qint64(d.table) * kLearnedDifferencePercent)
            d.verdict = LearnedDistance::Verdict::Differs;
        else
            d.verdict = LearnedDistance::Verdict::Agrees;
        // A trip shorter than half a km learns nothing: the table keeps 0 for "no distance".
        if (d.recorded < 1)
            continue;
        out << d;
    }
    return out;
}

int applyLearnedDistances(DistanceMatrix& table, const QVector<LearnedDistance>& learned, bool takeDifferences,
                          qint16 routeType) {
    int changed = 0;
    for (const LearnedDistance& d : learned) {
        const bool replace = takeDifferences && d.verdict == LearnedDistance::Verdict::Differs;
        for (auto [i, j] : {std::pair(d.a, d.b), std::pair(d.b, d.a)}) {
            DistanceCell& cell = table.at(i, j);
            if (cell.distance == d.recorded || (cell.distance > 0 && !replace))
                continue;
            cell.distance = qint16(d.recorded);
            if (cell.routeType < 1 || cell.routeType > 6)
                cell.routeType = routeType;
            ++changed;
        }
    }
    return changed;
}

} // namespace rv
