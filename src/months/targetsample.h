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
    // For the user, with the figures behind it: why none was made, or, for a month of long
    // walks, what it looks like. Empty for a believable month.
    QString reason;
    int tripDays = 0;
    // No believable month exists, and this one is made of long walks: never kept without asking.
    bool longWalks = false;
};

// The tolerance of this generator: the setting "Hibahatár" in whole per cent (a fraction dropped),
// 0..1000; unlike the other generator, 0 stays 0: exactly the target.
int exactTolerance(const Settings* settings);
// The largest total it may make: target x (100 + tolerance) / 100 in whole numbers, inclusive.
qint64 exactLimit(int target, int tolerance);

// A sample month whose total lies between the target and exactLimit, for when
// MintaKeszites cannot get there. Only as many of the allowed days carry trips as the target
// lets, spread so that neither half of the month holds more than two thirds of them. Believable
// first: every trip day a round from partner 1 to 1-4 different partners in their shortest order
// and back, each day between half and twice the month's average, no two consecutive days alike
// while another round of the length exists. Only when no such month exists (decided over every
// round) are days any walks of at most 49 stops along known distances: longWalks then says so.
// Whether a month exists is decided exactly; when none does, nothing is changed and reason tells
// why. Draws from state.random (or the clock); shows no message.
ExactSampleResult PontosMintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress);

// The question before a month of long walks is kept (the answer to keep is Yes, the default No).
QString longWalksQuestion(const ExactSampleResult& result);

} // namespace rv
