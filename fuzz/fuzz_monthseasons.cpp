#include "fuzz_common.h"
#include "model/monthseason.h"

// A damaged file still gives its readable months: each a real month with a ticked box, once.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QVector<rv::MonthSeason> seasons;
    rv::parseMonthSeasons(fuzzBytes(data, size), QStringLiteral("evszak.rvd"), seasons);
    for (qsizetype i = 0; i < seasons.size(); ++i) {
        const rv::MonthSeason& m = seasons[i];
        ROVANTA_FUZZ_CHECK(m.month >= 1 && m.month <= 12 && m.box != rv::SeasonBox::None);
        for (qsizetype j = 0; j < i; ++j)
            ROVANTA_FUZZ_CHECK(seasons[j].year != m.year || seasons[j].month != m.month);
    }
    return 0;
}
