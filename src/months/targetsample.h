#pragma once

#include "months/sample.h"

#include <QString>

namespace rv {

enum class ExactOutcome {
    Generated,     // the month logbook holds the sample; its total is within the limit
    Impossible,    // no month of such days reaches the target within the limit: reason says why
    NoWorkingDays, // no day of the month qualifies: reason holds the message
    NoPartners,    // fewer than two partners: nothing done
};

struct ExactSampleResult {
    ExactOutcome outcome = ExactOutcome::NoPartners;
    QString reason; // for the user, with the figures behind it; empty when generated
    int tripDays = 0;
};

// The tolerance of this generator: the setting "Hibahatár" in whole per cent (a fraction dropped),
// 0..1000; unlike the other generator, 0 stays 0: exactly the target.
int exactTolerance(const Settings* settings);
// The largest total it may make: target x (100 + tolerance) / 100 in whole numbers, inclusive.
qint64 exactLimit(int target, int tolerance);

// A sample month whose total lies between the target and exactLimit, for when
// MintaKeszites cannot get there. Days are chains of the same kind (from partner 1 along known
// distances back to partner 1, at most 49 stops), but only as many of the allowed days carry
// trips as the target lets, spread so that neither half of the month holds more than two
// thirds of them. Whether such a month exists is decided exactly; when none does, nothing is
// changed and reason tells why. Draws from state.random (or the clock); shows no message.
ExactSampleResult PontosMintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress);

} // namespace rv
