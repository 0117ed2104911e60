#pragma once

#include "model/monthlog.h"
#include "storage/carrecords.h"
#include "storage/result.h"
#include "storage/tables.h"
#include "storage/writegate.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

namespace rv {

class DataLock;
class Prompter;
class Random;
class Settings;

// Which consumption norm a car's figure is (60/1992. (IV. 1.) Korm. rendelet 2. § (1)): the
// type-based base norm, which the correction factors of annex 2 adjust, or the flat norm by
// engine size of 4. §, which takes none.
enum class NormKind { TypeBased, Flat };

// Where a car's fuel prices come from: the prices NAV publishes each month, or the prices the
// user types from the fuel invoices.
enum class PriceSource { Nav, Own };

// What the program knows of a car beyond user.rvd, kept in the car's folder (model/carfacts).
struct CarFacts {
    NormKind norm = NormKind::TypeBased;
    int engineCm3 = 0; // 0: not given
    QString taxId;     // the driver's adóazonosító jel; empty: not given
    std::optional<PriceSource> priceSource; // none: not chosen yet (see decidedPriceSource)
    // A fuel kind user.rvd cannot hold (1-based, above kOlderFuelTypeCount), for the file only: the
    // program reckons with CarRecord::fuelType, which the file's kind is put into on reading.
    int fuelType = 0;
    friend bool operator==(const CarFacts&, const CarFacts&) = default;
};

// The one state object the windows share: the constant tables, the cars, the logged-in car's
// partners, distances and prices, the cities and the open month.
struct AppState {
    AppState();
    ~AppState();

    // Constant tables (LoadTables); multiplier values come from szorzo.rvd.
    std::array<MultiplierEntry, kMultiplierCount> multipliers;
    std::array<FuelType, kFuelTypeCount> fuelTypes;
    qint16 defaultRouteType = 1;

    QVector<CarRecord> cars; // Cars(1..CarCount) is cars[0..]
    int currentCar = 0;      // 1-based, 0 = nobody logged in
    QString carDir;          // "Users/" + DirName + "/", relative to programDir
    CarFacts carFacts;       // the logged-in car's, kept in its folder

    // The logged-in car's lock while this program may write the car's files. readOnlyBy names
    // who edits the car when it was opened for reading only ("<host>/<user> szerkeszti 10:42 óta").
    std::shared_ptr<DataLock> carLock;
    QString readOnlyBy;
    // Also once another computer took the car's lock over from this program.
    bool readOnly() const;
    // A reading command: nothing at all is written, not even a rescue copy.
    bool readingOnly = false;
    // The command line keeps no error log: it tells the failure on its error output.
    bool keepsErrorLog = true;
    // The folder's lock while this program holds it for a write of the folder's shared files.
    DataLock* folderLock = nullptr;
    // The gates every write passes: of the logged-in car's files, and of the folder's own (the
    // car list, the multipliers, the published prices).
    WriteGate carGate() const;
    WriteGate folderGate() const;
    // What each shared file held when this program last read or wrote it (key: absolute path),
    // so that a change made meanwhile from another computer is not overwritten unseen.
    QHash<QString, FileStamp> stamps;
    // Refuses a write of the logged-in car's files while it is open for reading only or its lock
    // is no longer this program's.
    Result refuseReadOnly() const;

    QVector<Partner> partners; // Partners(1..PartnerCount) is partners[0..]
    DistanceMatrix distances;
    QVector<FuelPrice> fuelPrices;

    QStringList cities;
    bool citiesLoaded = false;

    QString programDir; // absolute, with a trailing "/"
    QString errorLocation;

    MonthLog month;
    // The main window's mode text: "korábbi" (the editor takes the stops in memory) or "exit"
    // (the program is closing; the editor closes without asking).
    QString mainWindowTag;

    // Services; owned elsewhere (the program or the test).
    Prompter* prompter = nullptr;
    Settings* settings = nullptr;
    Random* random = nullptr;
    // Ends the program after an unexpected error; tests replace it.
    std::function<void(int)> terminate;

    int carCount() const { return int(cars.size()); }
    CarRecord& car(int i) { return cars[i - 1]; }
    const CarRecord& car(int i) const { return cars[i - 1]; }
    int partnerCount() const { return int(partners.size()); }
    Partner& partner(int i) { return partners[i - 1]; }
    const Partner& partner(int i) const { return partners[i - 1]; }

    // Absolute paths built from programDir.
    QString path(const QString& relative) const;
    QString usersDir() const { return path(QStringLiteral("Users/")); }
    QString carPath(const QString& file) const { return path(carDir + file); }
    QString errorLogPath() const { return path(QStringLiteral("error.log")); }

    void LoadTables();
};

// Puts a folder lock this program holds into the state for the writes of one scope.
class HeldFolder {
public:
    HeldFolder(AppState& s, DataLock& lock) : m_state(s), m_before(s.folderLock) { s.folderLock = &lock; }
    ~HeldFolder() { m_state.folderLock = m_before; }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

private:
    AppState& m_state;
    DataLock* m_before;
};

// City, then ", " and the address when it is not blank.
QString PartnerAddress(const AppState& s, int partner);
// Name + " - " + city, then ", " and the address when it is not blank.
QString PartnerLabel(const AppState& s, int partner);

} // namespace rv
