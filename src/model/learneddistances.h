#pragma once

#include "storage/carrecords.h"

#include <QVector>

namespace rv {

// A business trip between two partners with the km the tracker or app recorded for it.
struct RecordedLeg {
    int from = 0; // 1-based partner numbers
    int to = 0;
    double km = 0;
};

// What the recorded trips say of one pair of partners (either direction, as the distance page
// keeps a pair): the median of their km, whole km rounded half up, beside the table's km.
struct LearnedDistance {
    int a = 0; // a < b
    int b = 0;
    int trips = 0;
    qint32 recorded = 0;
    qint32 table = 0; // 0: the table has none
    enum class Verdict { Fill, Differs, Agrees } verdict = Verdict::Agrees;
};

// More than this many percent between the table and the recorded km is asked about.
constexpr int kLearnedDifferencePercent = 10;

// The median of the km, rounded half up to whole km (an even count takes the mean of the middle two).
qint32 medianKm(QVector<double> km);

// One entry per pair of different partners, in order of the pair: Fill where the table is
// empty both ways (0 km), Differs where the median and the table (the way it has a figure, a to b
// first) differ by more than 10 % of the table, else Agrees.
QVector<LearnedDistance> learnDistances(const DistanceMatrix& table, const QVector<RecordedLeg>& legs);

// Writes the learned km into every empty cell of a learned pair (either way), and over the table's
// km of a Differs pair when takeDifferences. A filled cell without a route type gets routeType.
// Returns the cells changed.
int applyLearnedDistances(DistanceMatrix& table, const QVector<LearnedDistance>& learned, bool takeDifferences,
                          qint16 routeType);

} // namespace rv
