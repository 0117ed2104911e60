#pragma once

#include "storage/result.h"
#include "model/state.h"

#include <QAbstractTableModel>

#include <optional>

namespace rv {

constexpr int kMaxDistance = int(rangeOf(Quantity::Distance).max);

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

// Every pair of the partners at once: row `from`, column `to` (both 0-based here, partner
// index - 1). A cell shows the km and the route type of from → to; an edit writes both
// directions as the single-pair box does. The diagonal is not editable.
// A partner's name in at most lines lines of at most width characters, broken between words
// (a longer word where the line ends); what does not fit ends in "…".
QString headingLines(const QString& name, int width, int lines);
// The characters of a line of the grid's column heads.
constexpr int kHeadingWidth = 14;

class DistanceGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        RouteTypeRole = Qt::UserRole + 1, // 1..kRouteTypeCount; settable
        MissingRole,                      // bool: an editable pair with no distance
    };
    explicit DistanceGridModel(AppState& s, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Qt::EditRole takes the text of a distance box (whole km, blank is 0); RouteTypeRole a
    // route type. False for a text the box would not take and for the diagonal.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The partners or the whole matrix were replaced.
    void reload();
    // Both cells of a pair changed elsewhere (the single-pair boxes).
    void pairChanged(int from, int to);
    QModelIndex cellOf(int from, int to) const { return index(from - 1, to - 1); }

signals:
    // An edit through setData changed the pair (1-based partners).
    void edited(int from, int to);

private:
    AppState& m_state;
};

} // namespace rv
