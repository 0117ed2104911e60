#include "model/state.h"

#include "storage/locks.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv {

AppState::AppState() { LoadTables(); }
AppState::~AppState() = default;

namespace {
QString carWhat(const AppState& s) {
    if (s.currentCar < 1 || s.currentCar > s.carCount())
        return u"A gépkocsi"_s;
    const CarRecord& car = s.car(s.currentCar);
    const QString name = car.plateNumber.trimmed().isEmpty() ? car.dirName.trimmed() : car.plateNumber.trimmed();
    return u"A(z) %1"_s.arg(name);
}
} // namespace

bool AppState::readOnly() const { return currentCar >= 1 && (!readOnlyBy.isEmpty() || (carLock && carLock->lost())); }

Result AppState::refuseReadOnly() const {
    if (readingOnly)
        return Result::failure(u"Ez a parancs csak olvas: a program semmit sem ír."_s, 75);
    if (currentCar >= 1 && readOnlyBy.isEmpty() && carLock)
        return carGate().check();
    if (!readOnly())
        return Result::success();
    return Result::failure(u"A gépkocsi csak olvasásra van megnyitva, ezért a program nem írja a fájljait. "
                           u"Csak olvasható: %1."_s.arg(readOnlyBy),
                           75);
}

WriteGate AppState::carGate() const {
    if (readingOnly || (currentCar >= 1 && !readOnlyBy.isEmpty()))
        return WriteGate::closed(programDir, refuseReadOnly().message());
    if (currentCar >= 1 && carLock)
        return WriteGate::locked(programDir, carLock.get(), carWhat(*this));
    return WriteGate::open(programDir);
}

WriteGate AppState::folderGate() const {
    if (readingOnly)
        return WriteGate::closed(programDir, refuseReadOnly().message());
    return WriteGate::locked(programDir, folderLock, u"Az adatkönyvtár"_s);
}

void AppState::LoadTables() {
    const auto names = multiplierNames();
    for (int i = 0; i < kMultiplierCount; ++i)
        multipliers[size_t(i)].name = names[size_t(i)];
    fuelTypes = fuelTypeTable();
}

QString AppState::path(const QString& relative) const { return QDir(programDir).filePath(relative); }

QString PartnerAddress(const AppState& s, int partner) { return partnerAddress(s.partner(partner)); }
QString PartnerLabel(const AppState& s, int partner) { return partnerLabel(s.partner(partner)); }

} // namespace rv
