#pragma once

#include "model/monthlog.h"
#include "storage/result.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace rv {

// The older file that held the season boxes alone, before the month facts (model/monthfacts),
// which read it while a car has no honapok.rvd yet: a count, then one line "year,month,box" per
// month whose box is ticked (1 "Klíma", 2 "Téli üzemeltetés"), sorted by month.
inline const QString kSeasonFileName = QStringLiteral("evszak.rvd");

struct MonthSeason {
    int year = 0;
    int month = 0;
    SeasonBox box = SeasonBox::None;
    friend bool operator==(const MonthSeason&, const MonthSeason&) = default;
};

// Reads the whole file: the count must match the records and nothing may follow them. On damage
// the result names the file and the line, and out still receives every line after the count
// that is a whole record on its own (the first of a month when one comes twice), so that one bad
// line costs no other month its box.
Result parseMonthSeasons(const QByteArray& data, const QString& fileName, QVector<MonthSeason>& out);

} // namespace rv
