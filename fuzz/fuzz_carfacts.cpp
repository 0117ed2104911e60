#include "fuzz_common.h"
#include "model/carfacts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rv::CarFacts facts;
    if (!rv::parseCarFacts(fuzzBytes(data, size), QStringLiteral("gepkocsi.rvd"), facts))
        return 0;
    rv::CarFacts again;
    ROVANTA_FUZZ_CHECK(rv::parseCarFacts(rv::serializeCarFacts(facts), QStringLiteral("gepkocsi.rvd"), again));
    ROVANTA_FUZZ_CHECK(again == facts);
    return 0;
}
