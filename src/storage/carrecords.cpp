#include "storage/carrecords.h"

#include "storage/tables.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString carDirOf(const CarRecord& car) { return u"Users/"_s + car.dirName.trimmed() + u'/'; }

QString partnerAddress(const Partner& p) {
    if (IsBlank(p.address))
        return p.city;
    return p.city + u", "_s + p.address;
}

QString partnerLabel(const Partner& p) { return p.name + u" - "_s + partnerAddress(p); }

} // namespace rv
