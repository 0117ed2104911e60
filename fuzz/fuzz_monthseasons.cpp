#include "fuzz_common.h"
#include "model/monthseason.h"

// A damaged file still gives its readable months, and those write back as a whole file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::MonthSeason> seasons;
    rv::parseMonthSeasons(fuzzBytes(data, size), QStringLiteral("evszak.rvd"), seasons);
    QVector<rv::MonthSeason> again;
    ROVANTA_FUZZ_CHECK(rv::parseMonthSeasons(rv::serializeMonthSeasons(seasons), QStringLiteral("evszak.rvd"), again));
    ROVANTA_FUZZ_CHECK(again == seasons);
    return 0;
}
