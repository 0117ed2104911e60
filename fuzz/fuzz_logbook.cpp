#include "model/logbookfile.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    rv::LogbookHeader header;
    rv::parseLogbookHeader(bytes, QStringLiteral("2002jan.rvn"), header);
    rv::StoredLogbook log;
    if (!rv::parseLogbook(bytes, QStringLiteral("2002jan.rvn"), log))
        return 0;
    const QByteArray written = rv::serializeLogbook(log);
    rv::StoredLogbook again;
    ROVANTA_FUZZ_CHECK(rv::parseLogbook(written, QStringLiteral("2002jan.rvn"), again));
    ROVANTA_FUZZ_CHECK(rv::serializeLogbook(again) == written);
    return 0;
}
