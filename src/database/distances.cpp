#include "distances.h"

#include "storage/datafiles.h"
#include "storage/numeric.h"
#include "ui/fieldtext.h"

namespace rv {

bool isDistanceText(const QString& text) { return isWholeNumberText(text, 0, kMaxDistance); }

std::optional<qint16> distanceFromText(const QString& text) {
    if (!isDistanceText(text))
        return std::nullopt;
    if (IsBlank(text))
        return qint16(0);
    return qint16(text.trimmed().toInt());
}

bool isEditablePair(const AppState& s, int from, int to) {
    return from >= 1 && to >= 1 && from <= s.partnerCount() && to <= s.partnerCount() && from != to &&
           s.distances.size() >= s.partnerCount();
}

bool setDistance(AppState& s, int from, int to, qint16 km) {
    if (!isEditablePair(s, from, to))
        return false;
    s.distances.at(from, to).distance = km;
    s.distances.at(to, from).distance = km;
    return true;
}

bool setRouteType(AppState& s, int from, int to, int routeType) {
    if (!isEditablePair(s, from, to) || routeType < 1 || routeType > kRouteTypeCount)
        return false;
    s.distances.at(from, to).routeType = qint16(routeType);
    s.distances.at(to, from).routeType = qint16(routeType);
    return true;
}

Result revertDistances(AppState& s) {
    Result r = LoadDatabase(s, false);
    if (!r)
        return r;
    // The edits are gone once the file is read back; writing it again only echoes it, and a full
    // or read-only disk must not make the cancel look failed (the window could never be closed).
    SaveDatabase(s);
    return r;
}

} // namespace rv
