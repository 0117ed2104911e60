#pragma once

#include "model/state.h"
#include "storage/datafiles.h"

#include <functional>

namespace rv {

// The cars the import page offers: every car but the logged-in one, by index into Cars.
QVector<int> importableCars(const AppState& s);
bool canImportFrom(const AppState& s, int car);

// Reads another car's partner file whole; its files are never changed. A missing file or a
// count of 0 is an empty database (empty set, out untouched).
Result readOtherDatabase(const AppState& s, int car, PartnerDatabase& out, bool& empty);
// Reads another car's price file whole; a missing file is an empty list.
Result readOtherPrices(const AppState& s, int car, QVector<FuelPrice>& out);

// Own partner index of each of other's partners (1-based; entry 0 unused), 0 for none.
QVector<int> matchPartners(const AppState& s, const QVector<Partner>& other);

// Appends other's partners that the own database lacks (same name, city and address), keeping
// the own arrays' content. tick runs after each partner. Returns how many were added; stops
// adding at the partner limit. Does not save.
int mergePartners(AppState& s, const QVector<Partner>& other, const std::function<void()>& tick = {});
// Copies other's cells between partners both databases have: cells of at least 1 km always, cells
// of 0 km only when all is set. Does not save.
void mergeDistances(AppState& s, const PartnerDatabase& other, bool all);

// The question asked before a partner import: whether the other car's 0 km cells overwrite
// ours (Igen), only its known distances come over (Nem), or nothing happens (Mégse).
QString distanceQuestion(const QString& otherUser);
// The question asked before prices of another fuel type are merged, naming both types.
QString fuelTypeQuestion(const AppState& s, int car);

// The whole partner import: read, the distance question, merge, save and report, all through
// state.prompter. True when the partner file was written; a failed write leaves memory as it was.
bool importPartners(AppState& s, int car, const std::function<void()>& tick = {});
// The whole fuel price import with its report; true when the price file was written.
bool importFuelPrices(AppState& s, int car);

} // namespace rv
