#pragma once

// The records of the shared data files as plain values: a car of user.rvd, a partner and a
// distance of data.rvd, a fuel price of benzin.rvd.

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace rv {

struct CarRecord {
    QString userName;
    QString carType;
    QString plateNumber;
    int fuelType = 1; // 1..kFuelTypeCount, index + 1 into the fuel type table (user.rvd: 1..4)
    float consumption = 0;
    float generalCost = 0;
    QString city;
    QString companyName;
    QString companyAddress;
    QString dirName; // directory under Users/, the plate number when the car was created
};

struct Partner {
    QString name;
    QString city;
    QString address;
    friend bool operator==(const Partner&, const Partner&) = default;
};

struct DistanceCell {
    qint16 distance = 0;
    qint16 routeType = 0; // 1..6, 0 = not set
};

struct FuelPrice {
    QDate month; // the exact day the price belongs to
    qint16 price = 0;
};

// Square matrix of distance cells, 1-based on both axes.
class DistanceMatrix {
public:
    int size() const { return m_size; }
    void reset(int size) {
        m_size = size;
        m_cells.assign(size_t(size) * size_t(size), DistanceCell{});
    }
    // Grows or shrinks, keeping the cells that stay.
    void resize(int size) {
        DistanceMatrix m;
        m.reset(size);
        for (int i = 1; i <= std::min(size, m_size); ++i)
            for (int j = 1; j <= std::min(size, m_size); ++j)
                m.at(i, j) = at(i, j);
        *this = std::move(m);
    }
    DistanceCell& at(int i, int j) { return m_cells[index(i, j)]; }
    const DistanceCell& at(int i, int j) const { return m_cells[index(i, j)]; }

private:
    size_t index(int i, int j) const {
        Q_ASSERT(i >= 1 && i <= m_size && j >= 1 && j <= m_size);
        return size_t(i - 1) * size_t(m_size) + size_t(j - 1);
    }
    int m_size = 0;
    std::vector<DistanceCell> m_cells;
};

// "Users/" + trimmed DirName + "/".
QString carDirOf(const CarRecord& car);

// City, then ", " and the address when it is not blank.
QString partnerAddress(const Partner& p);
// Name + " - " + city, then ", " and the address when it is not blank.
QString partnerLabel(const Partner& p);

} // namespace rv
