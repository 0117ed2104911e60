#pragma once

// The records of the shared data files as plain values: a car of user.rvd, a partner and a
// distance of data.rvd, a fuel price of benzin.rvd.

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <memory>

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
    DistanceMatrix() = default;
    DistanceMatrix(const DistanceMatrix& other) : m_size(other.m_size), m_cells(allocate(other.m_size)) {
        std::copy_n(other.m_cells.get(), other.count(), m_cells.get());
    }
    DistanceMatrix& operator=(const DistanceMatrix& other) {
        if (this != &other)
            *this = DistanceMatrix(other);
        return *this;
    }
    DistanceMatrix(DistanceMatrix&&) noexcept = default;
    DistanceMatrix& operator=(DistanceMatrix&&) noexcept = default;

    int size() const { return m_size; }
    // Every cell 0 km without a route type.
    void reset(int size) {
        resetForOverwrite(size);
        std::fill_n(m_cells.get(), count(), DistanceCell{});
    }
    // Cells left as the memory has them, for a reader that writes every one before any is read:
    // a large matrix is not filled twice.
    void resetForOverwrite(int size) {
        m_cells = allocate(size);
        m_size = size;
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
    struct Free {
        void operator()(DistanceCell* cells) const { ::operator delete(cells); }
    };
    using Cells = std::unique_ptr<DistanceCell[], Free>;
    // Raw storage: a cell is an aggregate, whose objects the memory holds as soon as it is had.
    static Cells allocate(int size) {
        return Cells(static_cast<DistanceCell*>(::operator new(std::max<size_t>(1, size_t(size) * size_t(size)) * sizeof(DistanceCell))));
    }
    size_t count() const { return size_t(m_size) * size_t(m_size); }
    size_t index(int i, int j) const {
        Q_ASSERT(i >= 1 && i <= m_size && j >= 1 && j <= m_size);
        return size_t(i - 1) * size_t(m_size) + size_t(j - 1);
    }
    int m_size = 0;
    Cells m_cells;
};

// "Users/" + trimmed DirName + "/".
QString carDirOf(const CarRecord& car);

// City, then ", " and the address when it is not blank.
QString partnerAddress(const Partner& p);
// Name + " - " + city, then ", " and the address when it is not blank.
QString partnerLabel(const Partner& p);

} // namespace rv
