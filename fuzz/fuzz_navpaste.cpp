#include "fuzz_common.h"
#include "storage/navpaste.h"

// Pasted NAV text: any accepted table holds only months 1-12 and prices 1-32767, ascending and
// each month once, whatever the text around it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::NavPriceRow> rows;
    if (!rv::parseNavPastedText(QString::fromUtf8(fuzzBytes(data, size)), QStringLiteral("fuzz"), rows))
        return 0;
    ROVANTA_FUZZ_CHECK(!rows.isEmpty());
    int previous = 0;
    for (const rv::NavPriceRow& r : rows) {
        ROVANTA_FUZZ_CHECK(r.month >= 1 && r.month <= 12 && r.year >= 1 && r.year <= 9999);
        ROVANTA_FUZZ_CHECK(r.year * 12 + r.month > previous);
        previous = r.year * 12 + r.month;
        for (const auto& p : r.prices)
            ROVANTA_FUZZ_CHECK(!p || (*p >= 1 && *p <= 32767));
    }
    return 0;
}
