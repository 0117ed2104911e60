#include "carfacts.h"

#include "model/taxid.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/records.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

const QString kMagic = u"RVA"_s;
constexpr int kVersion = 1;
constexpr int kVersionWithTaxId = 2;
constexpr int kVersionWithPriceSource = 3;
constexpr int kVersionWithFuelType = 4;

QString folder(const QString& carDir) { return carDir.endsWith(u'/') ? carDir : carDir + u'/'; }

} // namespace

QString normKindName(NormKind kind) {
    return kind == NormKind::Flat ? u"Alapnorma-átalány (hengerűrtartalom szerint)"_s : u"Alapnorma (típus szerint)"_s;
}

QByteArray serializeCarFacts(const CarFacts& facts) {
    RecordWriter w;
    // The oldest version that holds the facts, so that an older program still reads what it can.
    const bool keptFuel = facts.fuelType > kOlderFuelTypeCount && facts.fuelType <= kFuelTypeCount;
    const int version = keptFuel            ? kVersionWithFuelType
                        : facts.priceSource ? kVersionWithPriceSource
                        : facts.taxId.isEmpty() ? kVersion
                                                : kVersionWithTaxId;
    w.str(kMagic).integer(version).endLine();
    w.integer(facts.norm == NormKind::Flat ? 2 : 1).integer(facts.engineCm3).endLine();
    if (version >= kVersionWithPriceSource)
        w.integer(!facts.priceSource ? 0 : *facts.priceSource == PriceSource::Own ? 2 : 1).endLine();
    if (version == kVersionWithFuelType)
        w.integer(facts.fuelType).endLine();
    if (!facts.taxId.isEmpty())
        w.str(facts.taxId).endLine();
    return w.data();
}

Result parseCarFacts(const QByteArray& data, const QString& fileName, CarFacts& out) {
    CarFacts facts;
    const Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        if (in.readString() != kMagic)
            in.failAt(1, u"ez nem a gépkocsi adatainak fájlja (hiányzik az RVA jelzés)"_s);
        const int version = in.readInt16();
        if (version < kVersion || version > kVersionWithFuelType)
            in.failAt(1, u"ismeretlen változat (%1)"_s.arg(version));
        facts.norm = in.readInt16In(1, 2, u"a norma fajtája"_s) == 2 ? NormKind::Flat : NormKind::TypeBased;
        facts.engineCm3 = in.readInt32();
        if (facts.engineCm3 < 0 || facts.engineCm3 > kLargestEngineCm3)
            in.failAt(2, u"a hengerűrtartalom (%1) 0 és %2 között lehet"_s.arg(facts.engineCm3).arg(kLargestEngineCm3));
        if (version == kVersionWithPriceSource)
            facts.priceSource = in.readInt16In(1, 2, u"az árak forrása"_s) == 2 ? PriceSource::Own : PriceSource::Nav;
        if (version == kVersionWithFuelType) {
            if (const int source = in.readInt16In(0, 2, u"az árak forrása"_s); source != 0)
                facts.priceSource = source == 2 ? PriceSource::Own : PriceSource::Nav;
            facts.fuelType = in.readInt16In(kOlderFuelTypeCount + 1, kFuelTypeCount, u"az üzemanyag"_s);
        }
        if (version == kVersionWithTaxId || (version >= kVersionWithPriceSource && !in.atEnd())) {
            const int line = in.line();
            facts.taxId = in.readString();
            // Today's date plays no part: a file may travel to a machine whose clock is behind.
            if (const QString why = taxIdProblem(facts.taxId, QDate(9999, 12, 31)); !why.isEmpty() || facts.taxId.isEmpty())
                in.failAt(line, u"hibás adóazonosító jel: %1"_s.arg(why.isEmpty() ? u"üres"_s : why));
        }
        in.requireEnd();
    });
    if (r)
        out = facts;
    return r;
}

CarFactsRead readCarFacts(const WriteGate& gate, const QString& carDir) {
    CarFactsRead read;
    const QString path = folder(carDir) + kCarFactsFileName;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return read;
    QByteArray data;
    Result r = readDataFile(gate.dataDir(), path, data);
    if (r)
        r = parseCarFacts(data, QDir::toNativeSeparators(path), read.facts);
    if (!r) {
        read.facts = CarFacts{};
        const QString kept = r.code() == 62 ? gate.keepAside(path) : QString();
        read.problem = Result::failure(
            u"A gépkocsi normájának fajtáját és hengerűrtartalmát tartalmazó fájl nem olvasható:\r\n%1\r\n\r\nA program "
            u"típus szerinti alapnormával számol; ha a gépkocsi alapnorma-átalányt használ, adja meg újra a gépkocsi "
            u"ablakában.%2"_s
                .arg(r.message(), kept.isEmpty() ? QString() : u"\r\n\r\nA hibás fájl másolata: "_s + QDir::toNativeSeparators(kept)),
            r.code());
    }
    return read;
}

Result saveCarFacts(const WriteGate& gate, const QString& carDir, const CarFacts& facts) {
    const QString path = folder(carDir) + kCarFactsFileName;
    if (facts == CarFacts{} && !QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return Result::success();
    return gate.save(path, serializeCarFacts(facts));
}

CarFacts withFuelType(CarFacts facts, int fuelType) {
    facts.fuelType = storedFuelType(fuelType) == fuelType ? 0 : fuelType;
    return facts;
}

void applyKeptFuelTypes(const QString& programDir, QVector<CarRecord>& cars) {
    const WriteGate reader = WriteGate::closed(programDir, QString());
    for (CarRecord& car : cars) {
        const QString dir = QDir(programDir).filePath(carDirOf(car));
        if (!QFileInfo::exists(dir + kCarFactsFileName))
            continue;
        const CarFactsRead read = readCarFacts(reader, dir);
        if (read.problem && read.facts.fuelType != 0 && storedFuelType(read.facts.fuelType) == car.fuelType)
            car.fuelType = read.facts.fuelType;
    }
}

} // namespace rv
