#pragma once

// The consumption rules a car's norm and multipliers come from, as data: the flat norms for a car
// without a type-based norm, and the legal correction factors of the multipliers.

#include <QString>

#include <array>

namespace rv {

enum class NormFuel { Petrol, Diesel, Lpg, Cng };

// Petrol for ESZ-95, ESZ-98 and keverék, diesel for dízel, LPG for both LPG kinds, CNG (fuel type
// index 0-based).
NormFuel normFuelOf(int fuelIndex);

struct FlatNorm {
    int hundredths = 0; // l/100 km x 100 (CNG: kg/100 km x 100)
    QString rule;       // which band, and where it comes from, for the user
};

// The flat norm by engine size; a plug-in hybrid gets 70 % of the norm of its engine size. A gas
// car's is the petrol norm of its engine size times the factor of its gas (the hybrid share is
// not given for gas: plugInHybrid plays no part there).
FlatNorm flatNorm(NormFuel fuel, int engineCm3, bool plugInHybrid);

// The factor of a gas car's flat norm in tenths (LPG 12, CNG 8); 10 for petrol and diesel.
int gasFactorTenths(NormFuel fuel);

// The general cost per kilometre a new car starts with: the általános személygépkocsi-normaköltség,
// 15 Ft/km since 2017-01-01 (NAV).
constexpr int kGeneralCostPerKm = 15;

// A legal multiplier: entry of the multiplier table (0-based) and its value in percent.
struct LegalMultiplier {
    int entry;
    int percent;
};
// The correction factors the rules tie to a type-based norm (not to the flat one).
const std::array<LegalMultiplier, 4>& legalMultipliers();

// The statement's line for a car on the flat norm: why its route types and season count at 1; for
// a gas car also the factor its norm was made with.
QString flatNormStatementLine(NormFuel fuel = NormFuel::Petrol);

} // namespace rv
