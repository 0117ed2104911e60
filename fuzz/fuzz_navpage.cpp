#include "fuzz_common.h"
#include "storage/navpaste.h"

// A downloaded page: markup, references and any bytes (not UTF-8 either) read without a crash;
// what is accepted keeps the pasted table's bounds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::NavPriceRow> rows;
    if (!rv::parseNavPage(fuzzBytes(data, size), QStringLiteral("fuzz"), rows, 2024))
        return 0;
    ROVANTA_FUZZ_CHECK(!rows.isEmpty());
    for (const rv::NavPriceRow& r : rows) {
        ROVANTA_FUZZ_CHECK(r.month >= 1 && r.month <= 12);
        for (const auto& p : r.prices)
            ROVANTA_FUZZ_CHECK(!p || (*p >= 1 && *p <= 32767));
    }
    return 0;
}
