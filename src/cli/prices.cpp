#include "prices.h"

#include "fleet.h"

#include "database/navupdate.h"
#include "database/net/httpsource.h"
#include "database/publishedprices.h"
#include "storage/navpaste.h"
#include "storage/settings.h"
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
    // As NAV names the gas columns: both LPG kinds share one list.
    for (int i = 0; i < kFuelTypeCount; ++i)
        if (const auto column = navColumnOf(i); column && wanted.compare(navColumnName(*column), Qt::CaseInsensitive) == 0)
            return i;
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

QString native(const Fleet& f) { return QDir::toNativeSeparators(f.state.programDir); }

// Under the folder lock: a journal another computer's kill left behind is finished (and told)
// before the published files are read.
Result lockAndRecover(Context& c, Fleet& f) {
    if (!QFileInfo(f.state.usersDir()).isDir())
        return Result::failure(u"Ebben az adatkönyvtárban még nincsenek közzétett árak (a program első indítása "
                               u"hozza létre őket): %1"_s.arg(native(f)));
    if (Result r = f.lockFolder(); !r)
        return r;
    QString report;
    Result r = recoverPublishedImport(f.state, {}, &report);
    if (!report.isEmpty())
        c.err << StreamPrompter::plainText(report) << Qt::endl;
    return r;
}

int applyRows(Context& c, Fleet& f, const QVector<NavPriceRow>& rows, bool replace, bool accept) {
    // A price out of the plausible band, or far from the month before, goes in only when accepted.
    if (const QStringList doubtful = implausibleNavPrices(rows, knownNavRows(f.state)); !doubtful.isEmpty()) {
        const QString list = u"A táblázat árai közül ezek valószínűtlenek:\n"_s + doubtful.join(u'\n');
        if (!accept)
            return failed(c, list + u"\nHa mégis helyesek, adja meg az --elfogad kapcsolót. Semmi sem változott."_s);
        c.out << list << u"\n(--elfogad: beolvasva)"_s << Qt::endl;
    }
    // The published prices belong to every car: another computer's import waits or is named.
    if (const Result locked = lockAndRecover(c, f); !locked)
        return failed(c, locked);
    PublishedImport plan;
    Result r = planPublishedImport(f.state, rows, plan);
    if (!r)
        return failed(c, r);
    const QVector<QDate> differing = plan.differing();
    if (!differing.isEmpty() && !replace)
        return failed(c, importSummary(plan) + u"\nA táblázat ára eltér a közzétett ártól ezekben a hónapokban: %1. "
                                               u"Cseréjükhöz adja meg a --replace kapcsolót. Semmi sem változott."_s
                                                   .arg(monthsText(differing)));
    if (const QString summary = importSummary(plan); !summary.isEmpty())
        c.out << StreamPrompter::plainText(summary) << Qt::endl;
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
    // The NAV cars take the months they lack, as at start-up; typed prices stay.
    Fleet cars(c.programDir);
    if (!cars.loadCars())
        return ExitOk;
    QStringList problems;
    QStringList deferred;
    const int carried = carryPublishedIntoNavCars(cars.state, &problems, &deferred);
    if (carried > 0)
        c.out << u"%1 új havi ár került a NAV-árakkal számoló autók árai közé."_s.arg(carried) << Qt::endl;
    for (const QString& d : deferred)
        c.err << u"Figyelem: "_s << StreamPrompter::plainText(d) << Qt::endl;
    for (const QString& p : problems)
        c.err << StreamPrompter::plainText(p) << Qt::endl;
    return problems.isEmpty() ? int(ExitOk) : int(ExitFailed);
}

int runImport(Context& c, const QString& file, bool replace, bool accept) {
    Fleet f(c.programDir);
    QByteArray data;
    if (file == u"-"_s) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return failed(c, u"A szabványos bemenet nem olvasható."_s);
        data = in.read(kMaxDataFileBytes);
    } else if (const Result r = readWholeFile(file, data); !r) {
        return failed(c, r);
    }
    QVector<NavPriceRow> rows;
    if (const Result r = parseAnyNavTable(data, file == u"-"_s ? u"szabványos bemenet"_s : native(file), rows); !r)
        return failed(c, r);
    return applyRows(c, f, rows, replace, accept);
}

int runUpdate(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    std::unique_ptr<Settings> own;
    Settings* settings = c.env.settings;
    if (!settings)
        settings = (own = Settings::openUserStore()).get();
    HttpPageSource source;
    QVector<NavPriceRow> rows;
    // An address given is fetched as it is; else the authority's list page leads to the years.
    const Result r = a.has(u"--url"_s) && !a.has(u"--lista"_s)
                         ? downloadNavRows(source, navPagesFor(a.value(u"--url"_s), QDate::currentDate()), rows)
                         : downloadNavRowsViaList(source, a.has(u"--lista"_s) ? a.value(u"--lista"_s) : navListUrl(settings),
                                                  a.has(u"--url"_s) ? a.value(u"--url"_s) : navUrlTemplate(settings),
                                                  QDate::currentDate(), rows);
    if (!r)
        return failed(c, r);
    return applyRows(c, f, rows, a.has(u"--replace"_s), a.has(u"--elfogad"_s));
}

// The published months each car lacks go into its own list; what a car has stays.
int runSync(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    Result r = lockAndRecover(c, f);
    if (r)
        r = f.loadCars();
    if (!r)
        return failed(c, r);
    // A car's lock is never waited for while the folder's is held (a window holding the car may
    // be waiting for the folder).
    f.unlockFolder();
    QVector<int> cars;
    if (a.has(u"--all"_s)) {
        for (int i = 1; i <= f.state.carCount(); ++i)
            cars.append(i);
    } else {
        if (r = f.selectCar(a.positional.value(1)); !r)
            return failed(c, r);
        cars.append(f.state.currentCar);
    }
    bool allDone = true;
    for (int i : cars) {
        const CarRecord& car = f.state.car(i);
        int added = 0;
        // The car's own list is the car's: written only under its lock, like every other write of it.
        f.state.currentCar = i;
        f.state.carDir = carDirOf(car);
        r = f.lockCar();
        if (r)
            r = syncCarPrices(f.state, f.state.carGate(), car, &added);
        f.unlockCar();
        if (!r) {
            c.err << car.userName.trimmed() << u": "_s << StreamPrompter::plainText(r.message()) << Qt::endl;
            allDone = false;
            continue;
        }
        c.out << car.userName.trimmed() << u'\t' << u"%1 új havi ár"_s.arg(added) << Qt::endl;
    }
    return allDone ? int(ExitOk) : int(ExitFailed);
}

int runPrices(Context& c, const ParsedArgs& a) {
    const QStringList& words = a.positional;
    const auto usage = [&](const QString& message) {
        c.err << message << Qt::endl
              << u"Használat: rovanta-cli prices (AUTÓ | --published ÜZEMANYAG | import FÁJL [--replace] [--elfogad] | "
                 u"update [--lista CÍM] [--url CÍM] [--replace] [--elfogad] | sync (AUTÓ | --all))"_s
              << Qt::endl;
        return int(ExitUsage);
    };
    const QString first = words.value(0);
    if (first != u"update"_s && (a.has(u"--url"_s) || a.has(u"--lista"_s)))
        return usage(u"A --url és a --lista csak az update mellé adható meg."_s);
    if (first != u"update"_s && first != u"import"_s && a.has(u"--elfogad"_s))
        return usage(u"Az --elfogad csak az import és az update mellé adható meg."_s);
    if (first != u"sync"_s && a.has(u"--all"_s))
        return usage(u"Az --all csak a sync mellé adható meg."_s);
    if (a.has(u"--published"_s))
        return words.isEmpty() && !a.has(u"--replace"_s) ? runPublished(c, a.value(u"--published"_s))
                                                          : usage(u"A --published mellé más nem adható meg."_s);
    if (words.size() == 2 && first == u"import"_s)
        return runImport(c, words[1], a.has(u"--replace"_s), a.has(u"--elfogad"_s));
    if (words.size() == 1 && first == u"update"_s)
        return runUpdate(c, a);
    if (first == u"sync"_s && !a.has(u"--replace"_s) && (words.size() == 2) != a.has(u"--all"_s))
        return runSync(c, a);
    if (first == u"sync"_s)
        return usage(u"A sync mellé egy autó vagy az --all kell."_s);
    if (words.size() == 1 && !a.has(u"--replace"_s))
        return runCarPrices(c, words[0]);
    return usage(words.size() == 2 ? u"Ismeretlen szó: %1"_s.arg(words[0]) : u"Kevés argumentum."_s);
}

} // namespace

Command pricesCommand() {
    return {u"prices"_s,
            u"(AUTÓ | --published ÜZEMANYAG | import FÁJL [--replace] [--elfogad] | update [--lista CÍM] [--url CÍM] "
            u"[--replace] [--elfogad] | sync (AUTÓ | --all))"_s,
            u"benzinárak és a NAV-árak frissítése"_s,
            u"AUTÓ: az autó benzinárai, soronként a nap (ÉÉÉÉ-HH-NN) és az ár. --published: egy üzemanyag "
            u"(ESZ-95, ESZ-98, dízel, keverék) közzétett árai. import FÁJL: újabb NAV-ártáblázat a közzétett "
            u"árak közé; a fájl lehet a program saját táblázata (fejléc „year month esz95 gazolaj keverek lpg cng "
            u"source_url”, tabulátorral vagy pontosvesszővel elválasztva), vagy a NAV „ÉÉÉÉ-ben alkalmazható "
            u"üzemanyagárak” oldaláról kimásolt táblázat (az év címsorával, például „2024.év”); a - a szabványos "
            u"bemenetet olvassa. Az új hónapok bekerülnek; ha egy hónap ára eltér, csak --replace mellett "
            u"cserélődik, különben 1-gyel lép ki, a hónapokat megnevezve. Hibás táblázatból semmi sem kerül be; "
            u"valószínűtlen árat (100 Ft alatt, 2000 Ft fölött, vagy az előző hónaptól több mint harmadával eltérőt) "
            u"csak --elfogad mellett olvas be, különben 1-gyel lép ki, az árakat megnevezve. "
            u"update: a NAV üzemanyag-rovatának listaoldaláról (a beállításokban tárolt cím, alapesetben "
            u"https://nav.gov.hu/ugyfeliranytu/uzemanyag) az előző hónap és az idei év oldalának letöltése; ha a "
            u"lista egy évet nem nevez meg, az év oldalát a régi címén keresi. Az árak ugyanígy kerülnek a "
            u"közzétett árak közé. sync: a közzétett árak közül "
            u"az autó (vagy --all: minden autó) saját árai közé kerülnek azok a hónapok, amelyek még hiányoznak "
            u"belőle; a beírt árak nem változnak."_s,
            {{{u"--published"_s, true}, u"ÜZEMANYAG"_s, u"a közzétett árak listája"_s},
             {{u"--replace"_s, false}, {}, u"import, update: az eltérő hónapok ára is cserélődik"_s},
             {{u"--elfogad"_s, false}, {}, u"import, update: a valószínűtlen ár (100 Ft alatt, 2000 Ft fölött, vagy az "
                                            u"előző hónaptól több mint harmadával eltérő) is bekerül"_s},
             {{u"--lista"_s, true}, u"CÍM"_s, u"update: a NAV üzemanyagár-oldalainak listája (alapesetben a "
                                        u"beállításokban tárolt cím)"_s},
             {{u"--url"_s, true}, u"CÍM"_s, u"update: a letöltendő oldal címe ({év}, {évben} helyére az év kerül); "
                                      u"--lista nélkül csak ez"_s},
             {{u"--all"_s, false}, {}, u"sync: minden autó"_s}},
            0,
            2,
            runPrices};
}

} // namespace rv::cli
