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
// (1 NAV, 2 own) after the norm, the tax ID line then optional. Nothing may follow.
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

} // namespace rv
