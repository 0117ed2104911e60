#include "fuzz_common.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::CarRecord> cars;
    if (!rv::parseCars(fuzzBytes(data, size), QStringLiteral("user.rvd"), cars))
        return 0;
    QVector<rv::CarRecord> again;
    ROVANTA_FUZZ_CHECK(rv::parseCars(rv::serializeCars(cars), QStringLiteral("user.rvd"), again));
    ROVANTA_FUZZ_CHECK(again.size() == cars.size());
    return 0;
}
