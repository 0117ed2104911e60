#pragma once

#include "storage/result.h"
#include "model/state.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

namespace rv {
class DataLock;
}

namespace rv::cli {

// How long a writing command waits for a lock held elsewhere.
constexpr int kCliLockWaitMs = 3000;

// A month named on the command line.
struct MonthArg {
    int year = 0;
    int month = 0;
};

// "2024-03": four digits of a year from 1, a dash and two digits of a month 01..12.
std::optional<MonthArg> parseMonthArg(const QString& text);
QString badMonthMessage(const QString& text);
// The month written back the same way.
QString monthText(int year, int month);

// The data directory seen without changing it: every file is read through the program's own
// parsers, but a missing file is never created, a damaged one is not copied aside and nothing
// goes into the error log; only under a lock taken by lockCar or lockFolder is anything written. The loads
// fill state as the program's start-up and login would.
class Fleet {
public:
    explicit Fleet(const QString& programDir);
    ~Fleet();
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    AppState state;

    // user.rvd; no file means no car yet.
    Result loadCars();
    // Logs the car in: by user name or plate (trimmed, case ignored; an exact match wins over
    // one that differs in case only). Unknown and ambiguous names are refused.
    Result selectCar(const QString& name);
    // The car's directory must exist for any month command.
    Result requireCarDirectory() const;
    // Users/szorzo.rvd; without the file every multiplier is 1 and the default route type 1, the
    // values the program writes on its first start.
    Result loadMultipliers();
    // The car's data.rvd (needs the multipliers first: they give the default route type).
    Result loadDatabase();
    // The car's benzin.rvd; without the file the car has no price.
    Result loadFuelPrices();

    // The cars, the named car and, withDatabase, its multipliers, partner database and facts.
    Result openCar(const QString& name, bool withDatabase);
    // The same with its database for a writing command: the car's lock taken first (unless
    // locked is false: a trial run), so that everything is read under it.
    Result openCarToWrite(const QString& name, bool locked = true);

    // The car's logbook of a month: the file the program would name for it when there is one,
    // else the first by name among the readable logbooks of that month. warnings tells about
    // further files of the same month.
    Result findMonthFile(const MonthArg& month, QString& fileName, QStringList& warnings) const;

    // Opens a stored month as the months window does, answering No to adding the partners the
    // database lacks: their stops are left out (and returned in unknown), the day and month
    // kilometres are counted anew as the editor does on opening. state.month holds the month.
    Result openMonth(const QString& fileName, QVector<Partner>& unknown);
    // What openCar and openMonth found damaged and worked around (the car facts, the season
    // file), for the user.
    QStringList notices;

    const CarRecord& car() const { return state.car(state.currentCar); }

    // The selected car's lock for a writing command, as the program's login takes it: waits a
    // few seconds for a session elsewhere to end, else fails naming the holder. A stale lock is
    // never taken here; the program offers it. Until a lock is taken the state writes nothing.
    Result lockCar();
    void unlockCar();
    // The data directory's lock for a write of the folder's files (the published prices).
    Result lockFolder();
    void unlockFolder();

private:
    std::unique_ptr<DataLock> m_folder;
};

} // namespace rv::cli
