#include "prices.h"

#include "fleet.h"

#include "database/publishedprices.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/locks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

void list(QTextStream& out, const QVector<FuelPrice>& prices) {
    for (const FuelPrice& p : prices)
        out << p.month.toString(u"yyyy-MM-dd"_s) << u'\t' << p.price << Qt::endl;
}

QString monthsText(const QVector<QDate>& months) {
    QStringList words;
    for (const QDate& d : months)
        words << d.toString(u"yyyy-MM"_s);
    return words.join(u", "_s);
}

// A fuel type by its name ("ESZ-95", "dízel"), its file ("b95", "bdiz.rvd") or "gázolaj".
std::optional<int> fuelNamed(const QString& text) {
    const QString wanted = text.trimmed();
    const auto fuels = fuelTypeTable();
    for (int i = 0; i < kFuelTypeCount; ++i) {
        const FuelType& f = fuels[size_t(i)];
        if (wanted.compare(f.name, Qt::CaseInsensitive) == 0 || wanted.compare(f.oldFile, Qt::CaseInsensitive) == 0 ||
            wanted.compare(QFileInfo(f.oldFile).baseName(), Qt::CaseInsensitive) == 0)
            return i;
    }
    if (wanted.compare(u"gázolaj"_s, Qt::CaseInsensitive) == 0 || wanted.compare(u"gazolaj"_s, Qt::CaseInsensitive) == 0)
        return 2;
    return std::nullopt;
}

int runPublished(Context& c, const QString& fuelText) {
    const auto fuel = fuelNamed(fuelText);
    if (!fuel) {
        QStringList names;
        for (const FuelType& f : fuelTypeTable())
            names << f.name;
        return failed(c, u"Ismeretlen üzemanyag: „%1”. Lehet: %2."_s.arg(fuelText, names.join(u", "_s)));
    }
    const QString path = Fleet(c.programDir).state.usersDir() + fuelTypeTable()[size_t(*fuel)].oldFile;
    QByteArray data;
    Result r = readDataFile(c.programDir, path, data);
    QVector<FuelPrice> prices;
    if (r)
        r = parseFuelPrices(data, native(path), prices);
    if (!r)
        return failed(c, u"A közzétett árak fájlja nem olvasható: %1\n%2"_s.arg(native(path), r.message()));
    list(c.out, prices);
    return ExitOk;
}

int runCarPrices(Context& c, const QString& name) {
    Fleet f(c.programDir);
    Result r = f.loadCars();
    if (r)
        r = f.selectCar(name);
    if (r)
        r = f.loadFuelPrices();
    if (!r)
        return failed(c, r);
    list(c.out, f.state.fuelPrices);
    return ExitOk;
}

int runImport(Context& c, const QString& file, bool replace) {
    const Fleet f(c.programDir);
    if (!QFileInfo(f.state.usersDir()).isDir())
        return failed(c, u"Ebben az adatkönyvtárban még nincsenek közzétett árak (a program első indítása hozza "
                         u"létre őket): %1"_s.arg(native(c.programDir)));
    // The published prices belong to every car: another computer's import waits or is named.
    std::unique_ptr<DataLock> lock;
    if (const Result locked = lockFolder(c.programDir, lock); !locked)
        return failed(c, locked);
    PublishedImport plan;
    Result r = planPublishedImport(f.state, file, plan);
    if (!r)
        return failed(c, r);
    const QVector<QDate> differing = plan.differing();
    if (!differing.isEmpty() && !replace)
        return failed(c, u"A táblázat ára eltér a közzétett ártól ezekben a hónapokban: %1. Cseréjükhöz adja meg "
                         u"a --replace kapcsolót. Semmi sem változott."_s.arg(monthsText(differing)));
    int added = 0;
    int replaced = 0;
    r = applyPublishedImport(f.state, plan, replace, &added, &replaced);
    if (!r)
        return failed(c, r);
    c.out << u"A táblázat %1 hónapja beolvasva: %2 új ár került a közzétett árak közé, %3 ár cserélődött."_s.arg(
                 plan.rows)
                 .arg(added)
                 .arg(replaced)
          << Qt::endl;
    return ExitOk;
}

int runPrices(Context& c, const ParsedArgs& a) {
    const QStringList& words = a.positional;
    const auto usage = [&](const QString& message) {
        c.err << message << Qt::endl
              << u"Használat: rovanta-cli prices (AUTÓ | --published ÜZEMANYAG | import FÁJL [--replace])"_s
              << Qt::endl;
        return int(ExitUsage);
    };
    if (a.has(u"--published"_s))
        return words.isEmpty() && !a.has(u"--replace"_s) ? runPublished(c, a.value(u"--published"_s))
                                                          : usage(u"A --published mellé más nem adható meg."_s);
    if (words.size() == 2 && words[0] == u"import"_s)
        return runImport(c, words[1], a.has(u"--replace"_s));
    if (words.size() == 1 && !a.has(u"--replace"_s))
        return runCarPrices(c, words[0]);
    return usage(words.size() == 2 ? u"Ismeretlen szó: %1"_s.arg(words[0]) : u"Kevés argumentum."_s);
}

} // namespace

Command pricesCommand() {
    return {u"prices"_s,
            u"(AUTÓ | --published ÜZEMANYAG | import FÁJL [--replace])"_s,
            u"benzinárak és a NAV-árak frissítése"_s,
            u"AUTÓ: az autó benzinárai, soronként a nap (ÉÉÉÉ-HH-NN) és az ár. --published: egy üzemanyag "
            u"(ESZ-95, ESZ-98, dízel, keverék) közzétett árai. import FÁJL: újabb NAV-ártáblázat (a program "
            u"saját táblázatának szerkezetében: fejléc „year month esz95 gazolaj keverek lpg cng source_url”, "
            u"tabulátorral vagy pontosvesszővel elválasztva) a közzétett árak közé: az új hónapok bekerülnek; ha "
            u"egy hónap ára eltér, csak --replace mellett cserélődik, különben 1-gyel lép ki, a hónapokat "
            u"megnevezve. Hibás táblázatból semmi sem kerül be."_s,
            {{{u"--published"_s, true}, u"ÜZEMANYAG"_s, u"a közzétett árak listája"_s},
             {{u"--replace"_s, false}, {}, u"import: az eltérő hónapok ára is cserélődik"_s}},
            0,
            2,
            runPrices};
}

} // namespace rv::cli
