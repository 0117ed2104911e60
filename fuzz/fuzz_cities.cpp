#include "fuzz_common.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList cities;
    if (!rv::parseCities(fuzzBytes(data, size), QStringLiteral("cities.rvd"), cities))
        return 0;
    QStringList again;
    ROVANTA_FUZZ_CHECK(rv::parseCities(rv::serializeCities(QStringLiteral("x"), cities), QStringLiteral("cities.rvd"), again));
    ROVANTA_FUZZ_CHECK(again.size() == cities.size());
    return 0;
}
