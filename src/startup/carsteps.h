#pragma once

#include "storage/fileio.h"
#include "storage/result.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QString>
#include <QVector>

namespace rv {

struct AppState;

// Steps the car operations share; not for use outside them.
namespace carsteps {

// Equal as names and directories are compared: trimmed, case-insensitive.
bool sameText(const QString& a, const QString& b);
QString absoluteCarDir(const AppState& s, const CarRecord& car);
Prompter* prompterOf(AppState& s);
void tell(AppState& s, const QString& text, MsgIcon icon = MsgIcon::Exclamation);
bool ask(AppState& s, const QString& text);
// Logs a failure and hands it on.
Result logged(AppState& s, Result r);
// A car's published-price file (by fuel type, 1-based).
QString publishedPricePath(const AppState& s, int fuelType);
// Replaces dir's benzin.rvd by a copy of another price file; a missing source gives an empty list.
Result copyPrices(AppState& s, const WriteGate& gate, const QString& source, const QString& dir);
Result writeEmptyPrices(AppState& s, const WriteGate& gate, const QString& dir);
// The gate of a car's files while lock (held for a change of that car) is this program's.
WriteGate carGateOf(const AppState& s, DataLock* lock, const CarRecord& car);
// The car's own company as the first partner of its database.
Partner baseOf(const CarRecord& car);
// The car list as another computer may have left it; false when it is missing or cannot be read
// (the list in memory then stands).
bool readCarsOnDisk(const AppState& s, QVector<CarRecord>& out, FileStamp* stamp = nullptr);
// 1-based, 0 when no car has that directory.
int indexOfDir(const QVector<CarRecord>& cars, const QString& dirName);

} // namespace carsteps
} // namespace rv
