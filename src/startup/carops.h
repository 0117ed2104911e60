#pragma once

// The car flows of the main window and the car dialog, without widgets: login, new car, change
// of a car, deletion, and the checks they run.

#include "storage/fileio.h"
#include "storage/result.h"
#include "model/state.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace rv {

// The longest car type, company name and company address.
constexpr int kCarTextLimit = 30;

enum class CarField { UserName, CarType, Plate, Consumption, GeneralCost, CompanyName, City, CompanyAddress, TaxId };

// The car dialog's fields as typed.
struct CarForm {
    QString userName;
    QString carType;
    QString plate;
    int fuelType = 1; // 1..kFuelTypeCount
    QString consumption;
    QString generalCost;
    QString companyName;
    QString city;
    QString companyAddress;
    CarFacts facts; // kept beside the car's files, not in user.rvd
};

struct FormProblem {
    CarField field;
    QString message;
};

// The first blank field in the dialog's order, or a number that cannot be stored.
std::optional<FormProblem> validateCarForm(const CarForm& form);
CarForm formFromCar(const CarRecord& car);
// A record whose six texts are each one trimmed line; everything else as a new record has it.
CarRecord carWithTexts(const QString& userName, const QString& carType, const QString& plate,
                       const QString& companyName, const QString& city, const QString& companyAddress);
// Texts as one trimmed line each, numbers converted; DirName is left empty.
CarRecord carFromForm(const CarForm& form);

// Why a plate cannot become one directory name on any system the data may travel to; empty
// when it can.
QString plateDirectoryProblem(const QString& plate);
bool isSafeDirName(const QString& dirName);
// The trimmed plate, or the plate followed by "_2", "_3"... when another car or a directory on
// disk already has that name.
QString freeDirName(const AppState& s, const QString& plate);

// "Ez a rendszám már foglalt." / "Ez a felhasználónév már foglalt." when a car other than
// except (1-based, 0 for none) has the same trimmed plate or user name; letter case is ignored.
QString uniquenessProblem(const AppState& s, const CarRecord& car, int except);

// The cars offered for import: 1..CarCount - 1 (the last one is the car just added).
QVector<int> importCandidates(const AppState& s);

// Opens the import list and returns the chosen car, 0 when nothing was chosen.
using CarChooser = std::function<int()>;

// The new-car flow: checks, record, car file, directory, and the car's first partner database
// and prices (imported from another car, or the one-partner database and the published or an
// empty price list). Returns the new car's index, 0 when refused (the user was told why).
int createCar(AppState& s, const CarForm& form, const CarChooser& choose);

// Changes car index in place; DirName stays. A changed fuel type offers the published or another
// car's prices. Returns false when refused (the user was told why).
bool modifyCar(AppState& s, int index, const CarForm& form, const CarChooser& choose);

struct DeleteOutcome {
    bool removed = false;    // the record is gone and the car file rewritten
    bool wasLoggedIn = false; // it was the logged-in car, which is now logged out
};
// Asks, then removes the record and only that car's own directory. An unsafe DirName, or one that
// another car uses too, deletes no files, and the user is told.
DeleteOutcome deleteCar(AppState& s, int index);

// The facts kept in car index's folder; a damaged file is told (and kept aside) and gives the
// defaults.
CarFacts carFactsOf(AppState& s, int index);

// Loads car index's partners and prices and makes it the current car. On failure nothing of the
// previous login changes and the result says why, in Hungarian.
Result loginCar(AppState& s, int index);
// Forgets the logged-in car's data.
void logout(AppState& s);

// The one-partner database of a new car: the base with a single 0 km cell.
QByteArray baseDatabase(const Partner& base, qint16 defaultRouteType);
// A car's data.rvd with partner 1 replaced by base, every other partner and cell kept.
Result rebasedDatabase(const QByteArray& source, const QString& fileName, const Partner& base,
                       qint16 defaultRouteType, QByteArray& out);

} // namespace rv
