#include "distances.h"
#include "model/grouping.h"

#include "model/statefiles.h"
#include "storage/numeric.h"
#include "storage/fieldtext.h"

#include <QBrush>
#include <QColor>

using namespace Qt::Literals::StringLiterals;

namespace rv {

bool isDistanceText(const QString& text) { return isWholeNumberText(ungrouped(text), 0, kMaxDistance); }

std::optional<qint16> distanceFromText(const QString& text) {
    if (!isDistanceText(text))
        return std::nullopt;
    if (IsBlank(text))
        return qint16(0);
    return qint16(ungrouped(text).trimmed().toInt());
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

DistanceGridModel::DistanceGridModel(AppState& s, QObject* parent) : QAbstractTableModel(parent), m_state(s) {}

int DistanceGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_state.partnerCount();
}

int DistanceGridModel::columnCount(const QModelIndex& parent) const { return rowCount(parent); }

QVariant DistanceGridModel::data(const QModelIndex& index, int role) const {
    const int from = index.row() + 1;
    const int to = index.column() + 1;
    if (!index.isValid() || !isEditablePair(m_state, from, to))
        return role == Qt::BackgroundRole ? QVariant(QBrush(QColor(0xd8, 0xd8, 0xd8))) : QVariant();
    const DistanceCell& cell = m_state.distances.at(from, to);
    const int type = std::clamp(int(cell.routeType), 1, kRouteTypeCount);
    const bool missing = cell.distance == 0;
    switch (role) {
    case Qt::DisplayRole:
        return (missing ? u"–"_s : groupedDigits(cell.distance) + u" km"_s) + u'\n' +
               m_state.multipliers[size_t(type - 1)].name;
    case Qt::EditRole: return QString::number(cell.distance);
    case RouteTypeRole: return type;
    case MissingRole: return missing;
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole: return missing ? QVariant(QBrush(QColor(0xff, 0xdd, 0xb0))) : QVariant();
    case Qt::ToolTipRole:
        return PartnerLabel(m_state, from) + u" → "_s + PartnerLabel(m_state, to) +
               (missing ? u"\nA távolság nincs megadva."_s : QString());
    default: return {};
    }
}

QString headingLines(const QString& name, int width, int lines) {
    QStringList out;
    QString line;
    bool cut = false;
    for (QString word : name.simplified().split(u' ', Qt::SkipEmptyParts)) {
        while (!word.isEmpty() && !cut) {
            if (line.isEmpty() && word.size() <= width) {
                line = word;
                word.clear();
            } else if (!line.isEmpty() && line.size() + 1 + word.size() <= width) {
                line += u' ' + word;
                word.clear();
            } else if (line.isEmpty()) { // a word longer than a line breaks where the line ends
                line = word.left(width);
                word = word.mid(width);
            }
            if (!word.isEmpty()) {
                cut = out.size() + 1 == lines;
                if (!cut) {
                    out << line;
                    line.clear();
                }
            }
        }
    }
    if (!line.isEmpty())
        out << line;
    if (cut)
        out.last() = out.last().left(width - 1) + u'…';
    return out.join(u'\n');
}

QVariant DistanceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const int partner = section + 1;
    if (partner < 1 || partner > m_state.partnerCount())
        return {};
    // The boxes and the tooltip show the whole label; the heads the name, wrapped to be read.
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? headingLines(m_state.partner(partner).name, kHeadingWidth, 3)
                                             : headingLines(m_state.partner(partner).name, kHeadingWidth + 4, 2);
    if (role == Qt::ToolTipRole)
        return PartnerLabel(m_state, partner);
    return {};
}

Qt::ItemFlags DistanceGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditablePair(m_state, index.row() + 1, index.column() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

bool DistanceGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int from = index.row() + 1;
    const int to = index.column() + 1;
    if (!index.isValid() || !isEditablePair(m_state, from, to))
        return false;
    bool changed = false;
    if (role == Qt::EditRole) {
        const std::optional<qint16> km = distanceFromText(value.toString());
        if (!km)
            return false;
        changed = m_state.distances.at(from, to).distance != *km || m_state.distances.at(to, from).distance != *km;
        setDistance(m_state, from, to, *km);
    } else if (role == RouteTypeRole) {
        const int type = value.toInt();
        if (type < 1 || type > kRouteTypeCount)
            return false;
        changed = m_state.distances.at(from, to).routeType != type || m_state.distances.at(to, from).routeType != type;
        setRouteType(m_state, from, to, type);
    } else {
        return false;
    }
    if (changed) {
        pairChanged(from, to);
        emit edited(from, to);
    }
    return true;
}

void DistanceGridModel::reload() {
    beginResetModel();
    endResetModel();
}

void DistanceGridModel::pairChanged(int from, int to) {
    for (const QModelIndex& cell : {cellOf(from, to), cellOf(to, from)})
        emit dataChanged(cell, cell);
}

} // namespace rv
