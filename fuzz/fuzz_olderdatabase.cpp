#include "fuzz_common.h"
#include "startup/conversion.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray converted;
    if (!rv::convertOlderDatabase(fuzzBytes(data, size), QStringLiteral("data.rvd"), converted))
        return 0;
    // The converted file is a partner database of the present layout.
    rv::PartnerDatabase db;
    ROVANTA_FUZZ_CHECK(rv::parseDatabase(converted, QStringLiteral("data.rvd"), 1, db));
    return 0;
}
