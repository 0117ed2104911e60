#pragma once

#include "storage/result.h"
#include "storage/state.h"

#include <optional>

namespace rv {

constexpr int kMaxDistance = 32767;

// Whether a text may stand in the distance box: blank, or whole kilometres 0..32767.
bool isDistanceText(const QString& text);
// The kilometres of a distance box; blank is 0. nullopt for a text the box would not accept.
std::optional<qint16> distanceFromText(const QString& text);

// Both partners must exist and differ: the diagonal is never edited.
bool isEditablePair(const AppState& s, int from, int to);
// Writes cell (from, to) and cell (to, from) together. False when the pair is not editable.
bool setDistance(AppState& s, int from, int to, qint16 km);
bool setRouteType(AppState& s, int from, int to, int routeType);

// Throws away the distance edits not saved: reads the file back over the arrays and writes it
// again. When the file cannot be read the arrays and the file are left as they are; a failed
// rewrite (logged) does not count, the edits being gone either way.
Result revertDistances(AppState& s);

} // namespace rv
