#pragma once

#include "model/monthlog.h"
#include "storage/result.h"
#include "model/state.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

namespace rv {

// A month as its file holds it: each stop by its partner's three texts, so that a logbook
// survives a reordered partner database.
struct StoredLogbook {
    QString version;          // as read; the writer always writes the program's own
    bool olderLayout = false; // read from a version 1.2 file
    int year = 0;
    int month = 0;
    qint32 startOdometer = 0;
    qint32 monthKm = 0;
    int stopWidth = 0;
    std::array<QVector<Partner>, kLogDays> stops; // day d is stops[d - 1]
    std::array<QString, kLogDays> comments;
};

// The first lines of a logbook file, enough for the months list.
struct LogbookHeader {
    QString magic;   // "RVN" for a logbook
    QString version; // the version text as written
    bool olderLayout = false;
    int year = 0;
    int month = 0;
    qint32 startOdometer = 0; // 0 in the older layout, which has none
    qint32 monthKm = 0;
    bool isLogbook() const;
};

// The version text read as a number selects the layout: exactly 1.2 is the older one.
bool isOlderLayoutVersion(const QString& version);
// Versions this program reads: 0, 1.2, 2.0, 2.1 and its own.
bool isReadableLogbookVersion(const QString& version);

// Name of a new month's file: year, month key and ".rvn" (2002jan.rvn).
QString newMonthFileName(int year, int month);
// The question when the month's file changed on disk since the editor opened or saved it.
QString changedOnDiskQuestion(const QString& path);

// The file text in the current layout (always with the program's version).
QByteArray serializeLogbook(const StoredLogbook& log);
// The stops of a month written by their partners' texts; gaps in a day are skipped.
StoredLogbook storedFromMonth(const AppState& s, const MonthLog& log);
QByteArray serializeLogbook(const AppState& s, const MonthLog& log);

// Reads both layouts. A damaged file (no magic, stop width 0, a day with more stops than the
// width or a negative count, missing lines, letters for numbers) gives a message naming the
// file and the line, and out is left untouched.
Result parseLogbook(const QByteArray& data, const QString& fileName, StoredLogbook& out);
Result readLogbookFile(const QString& path, StoredLogbook& out, const QString& dataDir = {});

// Reads magic and version, and for a logbook also year, month, start reading and month kilometres. A file
// whose magic is not "RVN" succeeds with only magic (and what could be read) filled in.
Result parseLogbookHeader(const QByteArray& data, const QString& fileName, LogbookHeader& out);
Result readLogbookHeader(const QString& path, LogbookHeader& out, const QString& dataDir = {});

// Saves state.month into the car's directory: refuses a month without stops ("Nincs mit
// elmenteni."), finds a new month's file (monthTarget), writes atomically and clears the
// modified flag. When the file changed on disk since it was opened or saved, asks first; a "no"
// keeps the other version and sets keptOther. Returns false when nothing was written.
bool SaveLogbook(AppState& s, bool* keptOther = nullptr);

// The stops of a stored month that match no partner of the database (same name, city and
// address), each once, in the order first met day by day and stop by stop. Stops without a name
// are not looked at.
QVector<Partner> missingPartners(const AppState& s, const StoredLogbook& log);

// The month record of a stored month: its stops as partner numbers of the database. A stop that
// matches no partner is left out and the rest of its day closes up, so days stay packed.
MonthLog monthFromStored(const AppState& s, const StoredLogbook& log, const QString& fileName);

// A stored month's kilometres as every figure counts them: the sum of its legs on the car's
// distances, stops the database lacks left out. None when the file cannot be read.
std::optional<qint64> storedMonthKm(const AppState& s, const QString& fileName);

} // namespace rv
