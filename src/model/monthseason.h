#pragma once

#include "model/monthlog.h"
#include "storage/result.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace rv {

// The season box of each month lives in a small file of the car's folder, evszak.rvd, so that
// the month files keep their layout: a count, then one line "year,month,box" per month whose box
// is ticked (1 "Klíma", 2 "Téli üzemeltetés"), sorted by month.
inline const QString kSeasonFileName = QStringLiteral("evszak.rvd");

struct MonthSeason {
    int year = 0;
    int month = 0;
    SeasonBox box = SeasonBox::None;
};

QByteArray serializeMonthSeasons(const QVector<MonthSeason>& seasons);
Result parseMonthSeasons(const QByteArray& data, const QString& fileName, QVector<MonthSeason>& out);

// carDir: the car's folder (absolute). No file, a damaged file or no line for the month: None.
SeasonBox loadMonthSeason(const QString& carDir, int year, int month);
// Writes the month's box into the file (dataDir: the data directory, as for every write), keeping the other months; None removes the month's line.
// Nothing is written when the file already says so. A damaged file is kept as evszak.rvd.hibas
// before it is replaced.
Result saveMonthSeason(const QString& dataDir, const QString& carDir, int year, int month, SeasonBox box);

} // namespace rv
