#include "norms.h"

#include "storage/tables.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

struct Band {
    int upToCm3; // the last engine size of the band; 0: every size above the band before
    int tenths;  // l/100 km x 10
};

// Alapnorma-átalány, 60/1992. (IV. 1.) Korm. rendelet 4. §: l/100 km by engine size.
constexpr std::array<Band, 5> kPetrolBands = {{{1000, 76}, {1500, 86}, {2000, 95}, {3000, 114}, {0, 133}}};
constexpr std::array<Band, 4> kDieselBands = {{{1500, 57}, {2000, 67}, {3000, 76}, {0, 95}}};
// A plug-in hybrid: this share of the norm of its engine size (same rules).
constexpr int kHybridPercent = 70;
const QString kNormSource = u"alapnorma-átalány, 60/1992. (IV. 1.) Korm. rendelet 4. §"_s;

// A gas car's flat norm, 60/1992. (IV. 1.) Korm. rendelet 4. §: "Az autógázzal üzemelő tiszta
// gázüzemű, valamint kettős üzemű gépkocsi alapnorma-átalány mértékét – a benzinüzemű gépkocsi
// alapnorma-átalány alapján liter/100 kilométerben meghatározott alapnormaérték – továbbá [...]
// módosító tényező szorzataként kell megállapítani." The factors themselves could not be read in
// the decree's own text (njt.hu keeps it, but only its opening was at hand): they are taken from a
// quotation of the rule, "cseppfolyós propán-bután gázüzem (LPG) esetén 1,2 (liter/liter) értékű,
// földgáz (CNG, LNG) üzem esetén pedig 0,8 (Nm3/liter) értékű módosító tényező". The CNG factor
// gives cubic metres by that quotation while NAV prices CNG by the kilogram; the program reckons
// the product in kg, as the CNG price is, and the help says so.
struct GasFactor {
    NormFuel fuel;
    int tenths;
    const char16_t* text; // as the rule and the papers give it
};
constexpr std::array<GasFactor, 2> kGasFactors = {{{NormFuel::Lpg, 12, u"LPG: 1,2"}, {NormFuel::Cng, 8, u"CNG: 0,8"}}};

const GasFactor* gasFactorOf(NormFuel fuel) {
    for (const GasFactor& g : kGasFactors)
        if (g.fuel == fuel)
            return &g;
    return nullptr;
}

// Correction factors, 60/1992. (IV. 1.) Korm. rendelet 2. melléklet (as set in 2009): they
// correct a type-based norm (alapnorma) within the built-up area and for air conditioning
// (1 May - 1 September). A flat norm takes none: 2. § (1) allows as the norm "a) ... alapnorma
// ..., általánostól eltérő üzemeltetési mód esetében a 2. mellékletben meghatározott korrekciós
// tényezőkkel módosítva, vagy b) a 4. §-ban meghatározott alapnorma-átalány" (njt.hu, 2023-01-01
// state). Whether several factors add or multiply, and the air-conditioning period, could not be
// read in the annex's own text: the factors multiply, each month takes one season box, as before.
constexpr std::array<LegalMultiplier, 4> kLegalMultipliers = {{
    {1, 135}, // Budapest
    {2, 125}, // Megyeszékhely (and towns over 100 000)
    {3, 115}, // Egyéb város
    {6, 105}, // Klímahasználat
}};

QString litres(int hundredths, const QString& unit = u"l"_s) {
    QString t = QString::number(hundredths / 100) + u',' + QString::number(hundredths % 100).rightJustified(2, u'0');
    while (t.endsWith(u'0'))
        t.chop(1);
    if (t.endsWith(u','))
        t.chop(1);
    return t + u' ' + unit + u"/100 km"_s;
}

} // namespace

NormFuel normFuelOf(int fuelIndex) {
    // Order of the fuel type table.
    switch (fuelIndex) {
    case 2:
        return NormFuel::Diesel;
    case 4:
    case 5:
        return NormFuel::Lpg;
    case 6:
        return NormFuel::Cng;
    default:
        return NormFuel::Petrol;
    }
}

int gasFactorTenths(NormFuel fuel) {
    const GasFactor* gas = gasFactorOf(fuel);
    return gas ? gas->tenths : 10;
}

FlatNorm flatNorm(NormFuel fuel, int engineCm3, bool plugInHybrid) {
    const GasFactor* gas = gasFactorOf(fuel);
    const bool petrol = fuel != NormFuel::Diesel;
    const Band* bands = petrol ? kPetrolBands.data() : kDieselBands.data();
    const size_t count = petrol ? kPetrolBands.size() : kDieselBands.size();
    size_t i = 0;
    while (i + 1 < count && engineCm3 > bands[i].upToCm3)
        ++i;
    const int from = i == 0 ? 0 : bands[i - 1].upToCm3 + 1;
    QString band = bands[i].upToCm3 == 0 ? u"%1 cm³ felett"_s.arg(bands[i - 1].upToCm3)
                   : from == 0           ? u"%1 cm³-ig"_s.arg(bands[i].upToCm3)
                                         : u"%1–%2 cm³"_s.arg(from).arg(bands[i].upToCm3);
    FlatNorm n;
    n.hundredths = bands[i].tenths * 10;
    n.rule = (petrol ? u"Benzin, "_s : u"Gázolaj, "_s) + band + u": "_s + litres(n.hundredths);
    if (gas) {
        n.hundredths = bands[i].tenths * gas->tenths;
        n.rule += u"; %1 módosító tényezővel %2"_s.arg(QString::fromUtf16(gas->text),
                                                      litres(n.hundredths, fuel == NormFuel::Cng ? u"kg"_s : u"l"_s));
    } else if (plugInHybrid) {
        n.hundredths = bands[i].tenths * kHybridPercent / 10;
        n.rule += u"; plug-in hibrid: ennek %1 %-a, %2"_s.arg(kHybridPercent).arg(litres(n.hundredths));
    }
    n.rule += u" (%1)."_s.arg(kNormSource);
    return n;
}

const std::array<LegalMultiplier, 4>& legalMultipliers() { return kLegalMultipliers; }

QString flatNormStatementLine(NormFuel fuel) {
    QString line = u"Alapnorma-átalány (hengerűrtartalom szerint): korrekciós szorzó nem jár hozzá (60/1992. (IV. 1.) "
                   u"Korm. rendelet 2. § (1) b)), az úttípus és az évszak szorzója 1."_s;
    if (const GasFactor* gas = gasFactorOf(fuel)) {
        line += u" Gázüzemű gépkocsi: a benzinüzemű alapnorma-átalány és a módosító tényező (%1) szorzata "
                u"(4. §)."_s.arg(QString::fromUtf16(gas->text));
        // The factor comes from a quotation of the rule, not the decree's own text: the paper says so.
        line += u" A tényező számértékét a program a rendelet szövegével nem tudta igazolni"_s;
        line += fuel == NormFuel::Cng ? u"; az idézett szabály a CNG-t Nm³-ben adja, a program kg-ban számol."_s
                                      : u"."_s;
    }
    return line;
}

} // namespace rv
