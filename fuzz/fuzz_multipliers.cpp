#include "fuzz_common.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rv::MultiplierFile m;
    if (!rv::parseMultipliers(fuzzBytes(data, size), QStringLiteral("szorzo.rvd"), m))
        return 0;
    rv::MultiplierFile again;
    ROVANTA_FUZZ_CHECK(rv::parseMultipliers(rv::serializeMultipliers(m), QStringLiteral("szorzo.rvd"), again));
    ROVANTA_FUZZ_CHECK(again.values == m.values && again.defaultRouteType == m.defaultRouteType);
    return 0;
}
