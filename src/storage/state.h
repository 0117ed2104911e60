#pragma once

#include "model/monthlog.h"
#include "storage/result.h"
#include "storage/tables.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

namespace rv {

class DataLock;
class Prompter;
class Random;
class Settings;

struct CarRecord {
    QString userName;
    QString carType;
    QString plateNumber;
    int fuelType = 1; // 1..4, index + 1 into the fuel type table
    float consumption = 0;
    float generalCost = 0;
    QString city;
    QString companyName;
    QString companyAddress;
    QString dirName; // directory under Users/, the plate number when the car was created
};

// Which consumption norm a car's figure is (60/1992. (IV. 1.) Korm. rendelet 2. § (1)): the
// type-based base norm, which the correction factors of annex 2 adjust, or the flat norm by
// engine size of 4. §, which takes none.
enum class NormKind { TypeBased, Flat };

// What the program knows of a car beyond user.rvd, kept in the car's folder (model/carfacts).
struct CarFacts {
    NormKind norm = NormKind::TypeBased;
    int engineCm3 = 0; // 0: not given
    QString taxId;     // the driver's adóazonosító jel; empty: not given
    friend bool operator==(const CarFacts&, const CarFacts&) = default;
};

struct Partner {
    QString name;
    QString city;
    QString address;
    friend bool operator==(const Partner&, const Partner&) = default;
};

struct DistanceCell {
    qint16 distance = 0;
    qint16 routeType = 0; // 1..6, 0 = not set
};

struct FuelPrice {
    QDate month; // the exact day the price belongs to
    qint16 price = 0;
};

// Square matrix of distance cells, 1-based on both axes.
class DistanceMatrix {
public:
    int size() const { return m_size; }
    void reset(int size) {
        m_size = size;
        m_cells.assign(size_t(size) * size_t(size), DistanceCell{});
    }
    // Grows or shrinks, keeping the cells that stay.
    void resize(int size) {
        DistanceMatrix m;
        m.reset(size);
        for (int i = 1; i <= std::min(size, m_size); ++i)
            for (int j = 1; j <= std::min(size, m_size); ++j)
                m.at(i, j) = at(i, j);
        *this = std::move(m);
    }
    DistanceCell& at(int i, int j) { return m_cells[index(i, j)]; }
    const DistanceCell& at(int i, int j) const { return m_cells[index(i, j)]; }

private:
    size_t index(int i, int j) const {
        Q_ASSERT(i >= 1 && i <= m_size && j >= 1 && j <= m_size);
        return size_t(i - 1) * size_t(m_size) + size_t(j - 1);
    }
    int m_size = 0;
    std::vector<DistanceCell> m_cells;
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
    bool readOnly() const { return currentCar >= 1 && !readOnlyBy.isEmpty(); }
    // What each shared file held when this program last read or wrote it (key: absolute path),
    // so that a change made meanwhile from another computer is not overwritten unseen.
    QHash<QString, FileStamp> stamps;
    // Refuses a write of the logged-in car's files while it is open for reading only.
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

// "Users/" + trimmed DirName + "/".
QString carDirOf(const CarRecord& car);

// City, then ", " and the address when it is not blank.
QString PartnerAddress(const AppState& s, int partner);
QString partnerAddress(const Partner& p);
// Name + " - " + city, then ", " and the address when it is not blank.
QString PartnerLabel(const AppState& s, int partner);
QString partnerLabel(const Partner& p);

bool PathExists(const QString& path, bool directory);

} // namespace rv
