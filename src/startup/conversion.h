#pragma once

// Once, at start-up: the data of version 1.2 (users.rvd, cars without fuel type and costs,
// distance cells with a true/false flag) rewritten in the present layout.

#include "storage/result.h"
#include "model/state.h"

#include <QByteArray>
#include <QVector>

#include <functional>

namespace rv {

struct OlderCar {
    QString userName;
    QString carType;
    QString plateNumber;
    QString companyName;
    QString city;
    QString companyAddress;
    QString dirName;
};

Result parseOlderCars(const QByteArray& data, const QString& fileName, QVector<OlderCar>& out);
// The present record: fuel type 1, consumption 1 and general cost 3 until the user sets them.
CarRecord convertedCar(const OlderCar& car);
// An older data.rvd in the present layout: a true flag is route type 1 ("Közút"), false 2
// ("Budapest"). A cell already holding a route type 1..6 (a file converted by an interrupted
// earlier run) keeps it.
Result convertOlderDatabase(const QByteArray& data, const QString& fileName, QByteArray& out);

// Whether the data directory holds an older car list and no present one: the conversion is due
// whatever the version setting says (that setting is the user's, not the directory's).
bool hasUnconvertedData(const AppState& s);

enum class ConversionOutcome { Converted, Declined, Failed };
// Asks (OK/Cancel), converts every car, stores the running version in "Verzió" and reports
// success. busy(true/false) frames the work (hourglass, disabled window). A failure is told and
// logged; "Verzió" is then left as it was, so the next start offers the conversion again. A
// car's existing benzin.rvd is kept.
ConversionOutcome convertOlderLayout(AppState& s, const std::function<void(bool busy)>& busy = {});

// The closing message: success, and what each converted car still needs before its first month.
QString conversionDoneMessage(const QVector<CarRecord>& cars);

} // namespace rv
