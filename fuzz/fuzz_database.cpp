#include "fuzz_common.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rv::PartnerDatabase db;
    if (!rv::parseDatabase(fuzzBytes(data, size), QStringLiteral("data.rvd"), 1, db))
        return 0;
    const QByteArray written = rv::serializeDatabase(db, 1);
    rv::PartnerDatabase again;
    ROVANTA_FUZZ_CHECK(rv::parseDatabase(written, QStringLiteral("data.rvd"), 1, again));
    ROVANTA_FUZZ_CHECK(again.partners.size() == db.partners.size());
    ROVANTA_FUZZ_CHECK(rv::serializeDatabase(again, 1) == written);
    return 0;
}
