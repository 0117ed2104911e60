#include "fuzz_common.h"
#include "startup/conversion.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::OlderCar> cars;
    if (!rv::parseOlderCars(fuzzBytes(data, size), QStringLiteral("users.rvd"), cars))
        return 0;
    // What the conversion writes must be a car file this program reads.
    QVector<rv::CarRecord> converted;
    for (const rv::OlderCar& c : cars)
        converted.append(rv::convertedCar(c));
    QVector<rv::CarRecord> again;
    const rv::Result r = rv::parseCars(rv::serializeCars(converted), QStringLiteral("user.rvd"), again);
    // A directory name that would leave Users/ is refused by the car reader; anything else reads.
    bool oddDir = false;
    for (const rv::CarRecord& c : converted) {
        const QString d = c.dirName.trimmed();
        oddDir |= d.isEmpty() || d == QStringLiteral("..") || d == QStringLiteral(".") ||
                  d.contains(QLatin1Char('/')) || d.contains(QLatin1Char('\\'));
    }
    ROVANTA_FUZZ_CHECK(r || oddDir);
    return 0;
}
