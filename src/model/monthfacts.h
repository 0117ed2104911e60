#pragma once

#include "model/monthlog.h"
#include "storage/result.h"
#include "storage/writegate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

namespace rv {

// What the program knows of a month beyond its logbook file, whose layout stays as it is: the
// season box and the private kilometres. They live in one small file of the car's folder; a car
// that has only the older evszak.rvd (season boxes alone) is read from that until the first save.
inline const QString kMonthFactsFileName = QStringLiteral("honapok.rvd");
constexpr qint32 kLargestOdometerReading = 99999999;

// The private use of a month is one figure: either the real odometer reading at its end (the
// private km follow from it and from the legs) or the private km typed directly. Never both.
struct MonthFacts {
    int year = 0;
    int month = 0;
    SeasonBox box = SeasonBox::None;
    qint32 privateKm = 0; // typed directly; 0 when the closing reading is given or nothing is
    qint32 closing = 0;   // the real reading at the month's end; 0: not given
    bool blank() const { return box == SeasonBox::None && privateKm == 0 && closing == 0; }
    friend bool operator==(const MonthFacts&, const MonthFacts&) = default;
};

// The file: the line "RVH",1 (what it is and its version), the number of months, then a line
// year,month,box,private,closing per month (box 0 none, 1 "Klíma", 2 "Téli üzemeltetés"), sorted
// by month. Nothing may follow.
QByteArray serializeMonthFacts(const QVector<MonthFacts>& months);
Result parseMonthFacts(const QByteArray& data, const QString& fileName, QVector<MonthFacts>& out);

// The car's month facts as read. No file: none anywhere. A damaged or unreadable file leaves
// problem failed with the message for the user (file, line, the rescue copy kept).
struct MonthFactsFile {
    QVector<MonthFacts> months;
    Result problem = Result::success();
    MonthFacts of(int year, int month) const;
};
// gate: the car's write gate (its data directory for reading; a damaged file is kept aside only
// through it); carDir: the car's folder (absolute).
MonthFactsFile readMonthFacts(const WriteGate& gate, const QString& carDir);
// Replaces the month's line (a blank month has none), keeping the others; nothing is written when
// the file already says so. A damaged file is kept aside first.
Result saveMonthFacts(const WriteGate& gate, const QString& carDir, const MonthFacts& facts);

// The facts of an open month and back.
MonthFacts monthFactsOf(const MonthLog& log);
void applyMonthFacts(MonthLog& log, const MonthFacts& facts);

// ---- the odometer of a month ----

// A month's readings: start as stored, business km as the sum of its legs, private km and the
// closing reading from its facts.
struct MonthOdometer {
    qint64 start = 0;
    qint64 business = 0;
    qint64 privateKm = 0; // 0 when the closing reading is below start + business
    qint64 closing = 0;
    bool realClosing = false; // the closing reading was typed, not worked out
    QString fault;            // the closing reading below start + business, with the three figures
};
MonthOdometer monthOdometer(qint64 start, qint64 business, const MonthFacts& facts);

// Business km ÷ all km in tenths of a percent, rounded half up; none when no km at all.
std::optional<qint64> businessShareTenths(qint64 business, qint64 privateKm);
// "80,0 %", or "–" when there is no km.
QString businessShareText(qint64 business, qint64 privateKm);

} // namespace rv
