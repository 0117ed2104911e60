#include "model/state.h"

#include "storage/locks.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv {

AppState::AppState() { LoadTables(); }
AppState::~AppState() = default;

Result AppState::refuseReadOnly() const {
    if (!readOnly())
        return Result::success();
    return Result::failure(u"A gépkocsi csak olvasásra van megnyitva, ezért a program nem írja a fájljait. "
                           u"Csak olvasható: %1."_s.arg(readOnlyBy),
                           75);
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
