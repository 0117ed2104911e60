#pragma once

#include "storage/result.h"
#include "storage/writegate.h"
#include "model/state.h"

#include <QByteArray>
#include <QString>

namespace rv {

// The file of a car's facts (CarFacts, kept beside user.rvd whose layout stays as it is): a
// small file in the car's folder. A car without the file has a type-based norm and no engine
// size, as before.
inline const QString kCarFactsFileName = QStringLiteral("gepkocsi.rvd");
constexpr int kLargestEngineCm3 = 99999;

// "Alapnorma (típus szerint)" / "Alapnorma-átalány (hengerűrtartalom szerint)".
QString normKindName(NormKind kind);

// The file: the line "RVA",1 (what it is and its version), then the line norm,engine (norm 1
// type-based, 2 flat; engine in cm³, 0 when not given). Version 2 adds a line with the driver's
// tax ID; a car without one is written as version 1. Version 3 puts a line with the price source
// (1 NAV, 2 own) after the norm, the tax ID line then optional. Version 4, written only for a car
// of a fuel kind user.rvd cannot hold (LPG, CNG), has the price source line (0: not chosen yet),
// then a line with that kind (as in the fuel type table, 1-based), then the optional tax ID.
// Nothing may follow.
QByteArray serializeCarFacts(const CarFacts& facts);
Result parseCarFacts(const QByteArray& data, const QString& fileName, CarFacts& out);

// The car's facts: no file gives the defaults. A damaged or unreadable file gives the defaults
// too, and problem fails with the message for the user (file, line and the rescue copy kept).
struct CarFactsRead {
    CarFacts facts;
    Result problem = Result::success();
};
// gate: the car's write gate (its data directory for reading; a damaged file is kept aside only
// through it); carDir: the car's folder (absolute).
CarFactsRead readCarFacts(const WriteGate& gate, const QString& carDir);
// Writes the file; the defaults of a car without one write nothing.
Result saveCarFacts(const WriteGate& gate, const QString& carDir, const CarFacts& facts);

// The facts with the fuel kind of the car (1-based) kept when user.rvd cannot hold it.
CarFacts withFuelType(CarFacts facts, int fuelType);

// Each car's fuel kind as its facts file keeps it, over the nearest kind user.rvd holds. Only
// read: a file that does not read, or whose kind is not the one user.rvd holds for it (an older
// program changed the car's fuel since), leaves user.rvd's kind.
void applyKeptFuelTypes(const QString& programDir, QVector<CarRecord>& cars);

} // namespace rv
