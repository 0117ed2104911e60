#pragma once

#include "storage/fileio.h"

#include <QString>
#include <QVector>

#include <array>

namespace rv {

constexpr int kLogDays = 31; // every month has 31 day rows; days past its length stay empty

// Stops of a month: partner numbers (1-based, 0 = no stop) by day 1..31 and column 1..columns.
class StopTable {
public:
    StopTable() : m_cells(size_t(kLogDays), 0) {}

    int columns() const { return m_columns; }
    qint16 at(int day, int column) const { return m_cells[index(day, column)]; }
    qint16& at(int day, int column) { return m_cells[index(day, column)]; }

    // New empty table of the given width.
    void reset(int columns) {
        m_columns = columns < 1 ? 1 : columns;
        m_cells.assign(size_t(kLogDays * m_columns), 0);
    }
    // Changes the width keeping what fits.
    void resize(int columns) {
        columns = columns < 1 ? 1 : columns;
        std::vector<qint16> cells(size_t(kLogDays * columns), 0);
        for (int d = 1; d <= kLogDays; ++d)
            for (int c = 1; c <= std::min(columns, m_columns); ++c)
                cells[size_t((d - 1) * columns + c - 1)] = at(d, c);
        m_columns = columns;
        m_cells = std::move(cells);
    }
    // Number of stops of a day: the packed cells from column 1 up to the first empty one.
    int stopCount(int day) const {
        int n = 0;
        while (n < m_columns && at(day, n + 1) != 0)
            ++n;
        return n;
    }

private:
    size_t index(int day, int column) const {
        Q_ASSERT(day >= 1 && day <= kLogDays && column >= 1 && column <= m_columns);
        return size_t((day - 1) * m_columns + column - 1);
    }
    int m_columns = 1;
    std::vector<qint16> m_cells;
};

// Which of the editor's season boxes ("Klíma", "Téli üzemeltetés") is ticked for a month; it
// decides the season multiplier of the cost and the multiplier line of the statement.
enum class SeasonBox { None, AirConditioning, Winter };

// The open month: one program-wide record from the opening of a month until the editor closes.
struct MonthLog {
    int year = 0;
    int month = 0;
    qint32 startOdometer = 0;
    qint32 monthKm = 0; // the sum of the legs (refreshKilometres)
    qint32 storedKm = -1; // the km the file's header held when the month was opened; -1 for a new month
    int stopWidth = 0; // 0 for a month that never had a stop
    StopTable stops;
    std::array<QString, kLogDays> comments;
    std::array<int, kLogDays> dayKm{};
    bool modified = false;
    QString fileName; // empty for a new month
    FileStamp onDisk; // the file as opened or last saved, or as it was when a new month began
    SeasonBox season = SeasonBox::None; // kept beside the month file (model/monthfacts)
    // The month's private use, kept there too: the real closing reading or the private km typed,
    // at most one of them non-zero.
    qint32 privateKm = 0;
    qint32 closingReading = 0;
};

} // namespace rv
