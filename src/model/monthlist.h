#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace rv {

struct AppState;

// One readable logbook of the car.
struct LogbookEntry {
    int position = 0; // place of its file in LogbookListing::files
    int year = 0;
    int month = 0;
    qint32 startOdometer = 0; // as its header holds them
    qint32 monthKm = 0;
};

struct LogbookListing {
    QStringList files;              // every "*.rvn" of the car's directory, by name
    QVector<LogbookEntry> entries;  // the readable logbooks, oldest first
    QVector<int> years;             // each year of them once, in the order first met
    QStringList warnings;           // one message per logbook this version cannot read
    // The files of those warnings, with the month their name gives (0 when it gives none).
    struct Unreadable {
        int position = 0;
        int year = 0;
        int month = 0;
        QString reason;
    };
    QVector<Unreadable> unreadable;
};

// The month a file name gives as the program names month files ("2002jan.rvn", "2002jan_2.rvn",
// any case): year and month, or 0, 0.
std::pair<int, int> monthOfFileName(const QString& fileName);

// Reads the header of every logbook file of the logged-in car. Files that are not logbooks are
// left out silently; logbooks of an unknown version or with a damaged header get a warning.
LogbookListing listLogbooks(const AppState& s);

// The logbook that stands for a month: the file the program names for it when there is one (in
// any case), else the first by name. Null when the month has none.
const LogbookEntry* monthEntry(const LogbookListing& listing, int year, int month);

// The file a month is saved to. A month is known by its header, not its file name: the file that
// holds it already (exists), else its own name (2002jan.rvn), else, when a file of that name in
// any case holds another month or nothing readable, the first free "2002jan_2.rvn".
struct MonthTarget {
    QString fileName;
    bool exists = false;
};
MonthTarget monthTarget(const LogbookListing& listing, int year, int month);
MonthTarget monthTarget(const AppState& s, int year, int month);

// "2002. január": a line of the months list.
QString monthsListLine(int year, int month);
// "Ebben a hónapban 321 km".
QString selectedMonthKmText(qint64 km);
// The warning about a logbook of a version this program cannot read.
QString unreadableVersionWarning(const QString& path);

} // namespace rv
