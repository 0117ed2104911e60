#include "fuzz_common.h"
#include "storage/datafiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::FuelPrice> prices;
    if (!rv::parseFuelPrices(fuzzBytes(data, size), QStringLiteral("benzin.rvd"), prices))
        return 0;
    const QByteArray written = rv::serializeFuelPrices(prices);
    QVector<rv::FuelPrice> again;
    ROVANTA_FUZZ_CHECK(rv::parseFuelPrices(written, QStringLiteral("benzin.rvd"), again));
    ROVANTA_FUZZ_CHECK(rv::serializeFuelPrices(again) == written);
    return 0;
}
