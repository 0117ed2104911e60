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
    friend bool operator==(const MonthSeason&, const MonthSeason&) = default;
};

QByteArray serializeMonthSeasons(const QVector<MonthSeason>& seasons);
// Reads the whole file: the count must match the records and nothing may follow them. On damage
// the result names the file and the line, and out still receives every line after the count
// that is a whole record on its own (the first of a month when one comes twice), so that one bad
// line costs no other month its box.
Result parseMonthSeasons(const QByteArray& data, const QString& fileName, QVector<MonthSeason>& out);

// The car's season file as read: no file is no box anywhere. A damaged or unreadable file
// leaves problem failed with the message for the user, which names the rescue copy kept of it.
struct SeasonFile {
    QVector<MonthSeason> seasons;
    Result problem = Result::success();
    SeasonBox boxOf(int year, int month) const;
};
// dataDir: the data directory (absolute); carDir: the car's folder (absolute).
SeasonFile readSeasonFile(const QString& dataDir, const QString& carDir);

// The month's box; warning, when given, receives the message of a damaged file (else empty).
SeasonBox loadMonthSeason(const QString& dataDir, const QString& carDir, int year, int month,
                          QString* warning = nullptr);
// Writes the month's box into the file, keeping the other months (those readable of a damaged
// file too, which is kept aside first); None removes the month's line. Nothing is written when
// the file already says so.
Result saveMonthSeason(const QString& dataDir, const QString& carDir, int year, int month, SeasonBox box);

} // namespace rv
