#include "cli.h"

#include "cliargs.h"
#include "command.h"
#include "demo.h"
#include "fleet.h"
#include "generate.h"
#include "prices.h"
#include "workdays.h"
#include "sheets.h"
#include "trips.h"
#include "year.h"
#include "streamprompter.h"

#include "editor/calendar.h"
#include "model/monthchange.h"
#include "model/cost.h"
#include "model/monthfacts.h"
#include "model/chain.h"
#include "model/monthprice.h"
#include "model/reckoning.h"
#include "model/logbookfile.h"
#include "editor/validation.h"
#include "model/monthlist.h"
#include "months/sample.h"
#include "months/targetsample.h"
#include "printing/paintercanvas.h"
#include "printing/printout.h"
#include "printing/travelorder.h"
#include "startup/startoptions.h"
#include "startup/startup.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/random.h"
#include "storage/settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLocale>

#include <exception>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

const QString kProgram = u"rovanta-cli"_s;

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// Cars, the named car, its multipliers and partner database.
Result openCar(Fleet& f, const QString& name, bool withDatabase) { return f.openCar(name, withDatabase); }

void reportUnknownStops(QTextStream& to, const QVector<Partner>& unknown) {
    if (unknown.isEmpty())
        return;
    to << u"%1 megálló nem szerepel az autó partneradatbázisában, ezért kimarad:"_s.arg(unknown.size()) << Qt::endl;
    for (const Partner& p : unknown)
        to << u"  "_s << StreamPrompter::plainText(partnerLabel(p)) << Qt::endl;
}

// CAR and YYYY-MM: the month opened as the months window opens it. Unknown stops are reported
// on unknownTo (null: standard error).
int openCarMonth(Context& c, Fleet& f, const ParsedArgs& a, bool withPrices, QTextStream* unknownTo = nullptr) {
    const std::optional<MonthArg> month = parseMonthArg(a.positional.value(1));
    if (!month)
        return failed(c, badMonthMessage(a.positional.value(1)));
    Result r = openCar(f, a.positional.value(0), true);
    if (r && withPrices)
        r = f.loadFuelPrices();
    if (!r)
        return failed(c, r);
    QString file;
    QStringList warnings;
    r = f.findMonthFile(*month, file, warnings);
    for (const QString& w : warnings)
        c.err << StreamPrompter::plainText(w) << Qt::endl;
    if (!r)
        return failed(c, r);
    QVector<Partner> unknown;
    r = f.openMonth(file, unknown);
    if (!r)
        return failed(c, r);
    for (const QString& notice : std::as_const(f.notices))
        c.err << StreamPrompter::plainText(notice) << Qt::endl;
    reportUnknownStops(unknownTo ? *unknownTo : c.err, unknown);
    return ExitOk;
}

// --klima / --teli: the editor's two season boxes, of which at most one is ticked; without
// either, the box kept with the month.
Season seasonArg(const Fleet& f, const ParsedArgs& a) {
    if (!a.has(u"--klima"_s) && !a.has(u"--teli"_s))
        return seasonOf(f.state, f.state.month.season);
    return seasonOf(f.state, a.has(u"--klima"_s), a.has(u"--teli"_s));
}

} // namespace

int verdictGate(Context& c, const MonthReckoning& r, const ParsedArgs& a) {
    if (r.verdict() == Verdict::Sound)
        return ExitOk;
    for (const QString& doubt : r.doubts())
        c.err << StreamPrompter::plainText(doubt) << Qt::endl;
    if (a.has(u"--elfogad"_s))
        return ExitOk;
    return failed(c, doubtFixText(r));
}

const OptionHelp& acceptPriceOption() {
    static const OptionHelp option{{u"--elfogad"_s, false}, {},
                                   u"a kétes költségű hónap (korábbi havi árral számolt, súlyos hibás) is elfogadva "
                                   u"(0-val lép ki)"_s};
    return option;
}

namespace {

// The refusal of a month with a day before every price of the car, and where its prices start.
QString noPriceMessage(const AppState& s) {
    QDate first;
    for (const FuelPrice& p : s.fuelPrices)
        if (p.month.isValid() && (!first.isValid() || p.month < first))
            first = p.month;
    const QString where = first.isValid()
                              ? u"Az autó legkorábbi benzinárának napja: %1"_s.arg(first.toString(u"yyyy.MM.dd."_s))
                              : u"Az autónak nincs megadott benzinára."_s;
    return noPriceForMonthMessage(s.month) + u'\n' + where;
}

// ---- the commands -----------------------------------------------------------------------------

int runCars(Context& c, const ParsedArgs&) {
    Fleet f(c.programDir);
    const Result r = f.loadCars();
    if (!r)
        return failed(c, r);
    if (f.state.carCount() == 0)
        c.err << u"Ebben az adatkönyvtárban még nincs autó: %1"_s.arg(native(c.programDir)) << Qt::endl;
    for (const CarRecord& car : std::as_const(f.state.cars)) {
        const QString fuel = car.fuelType >= 1 && car.fuelType <= kFuelTypeCount
                                 ? f.state.fuelTypes[size_t(car.fuelType - 1)].name
                                 : QString();
        QStringList fields{car.userName.trimmed(), car.plateNumber.trimmed(), fuel, singleText(car.consumption),
                           singleText(car.generalCost)};
        for (QString& field : fields)
            field = oneLine(field);
        c.out << fields.join(u'\t') << Qt::endl;
    }
    return ExitOk;
}

int runMonths(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    Result r = f.loadCars();
    if (r)
        r = f.selectCar(a.positional.value(0));
    if (r)
        r = f.requireCarDirectory();
    if (!r)
        return failed(c, r);
    // The months' km are their legs on the car's distances; a database that cannot be read still
    // leaves the months listed, without their km, and says why.
    Result db = f.loadMultipliers();
    if (db)
        db = f.loadDatabase();
    const bool database = bool(db);
    if (!database)
        c.err << StreamPrompter::plainText(db.message()) << u"\nA hónapok km-e az adatbázis nélkül nem számolható."_s
              << Qt::endl;
    const LogbookListing listing = listLogbooks(f.state);
    for (const QString& w : listing.warnings)
        c.err << StreamPrompter::plainText(w) << Qt::endl;
    struct Row {
        int year, month;
        QString line;
    };
    QVector<Row> rows;
    for (const LogbookEntry& e : listing.entries) {
        const QString file = listing.files[e.position];
        if (!QFileInfo::exists(f.state.carPath(file))) // gone since the listing
            continue;
        // The km every figure counts: the sum of the legs; "–" without the database or the file.
        const std::optional<qint64> legs = database ? storedMonthKm(f.state, file) : std::nullopt;
        const QString km = legs ? QString::number(*legs) : u"–"_s;
        rows.append({e.year, e.month, monthText(e.year, e.month) + u'\t' + oneLine(file) + u'\t' + km});
    }
    // A file named as a month that does not read is that month's row, with its reason.
    for (const LogbookListing::Unreadable& u : listing.unreadable)
        if (u.year != 0)
            rows.append({u.year, u.month,
                         monthText(u.year, u.month) + u'\t' + oneLine(listing.files[u.position]) + u"\t–\t! "_s +
                             oneLine(StreamPrompter::plainText(u.reason))});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.year != b.year ? a.year < b.year : a.month < b.month; });
    for (const Row& r : rows)
        c.out << r.line << Qt::endl;
    return ExitOk;
}

int runCheck(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    if (const int code = openCarMonth(c, f, a, false, &c.out))
        return code;
    // Prices that do not read only leave the price faults out, as without prices.
    f.loadFuelPrices();
    const int year = f.state.month.year, month = f.state.month.month;
    const LogbookListing listing = listLogbooks(f.state);
    const MonthReckoning r = reckonMonth(f.state, f.state.month,
                                         MonthContext{true, previousReading(f.state, listing, year, month),
                                                      isFirstMonth(listing, year, month)});
    for (const QString& line : r.lines())
        c.out << StreamPrompter::plainText(line) << Qt::endl;
    c.out << r.minor() << u" kisebb hiba."_s << Qt::endl;
    c.out << r.severe() << u" súlyos hiba."_s << Qt::endl;
    c.out << StreamPrompter::plainText(verdictText(r)) << Qt::endl;
    return ExitOk;
}

int runCost(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    if (const int code = openCarMonth(c, f, a, true))
        return code;
    const MonthReckoning r = reckonMonth(f.state, f.state.month, seasonArg(f, a));
    if (r.missingPrice)
        return failed(c, noPriceMessage(f.state));
    if (const int code = verdictGate(c, r, a))
        return code;
    // Plain digits, as scripts read them; the windows group them.
    c.out << r.km << u" km ebben a hónapban."_s << Qt::endl;
    c.out << u"Összes költség: "_s << r.total << u" Ft"_s << Qt::endl;
    const CarRecord& car = f.car();
    c.out << u"Felhasznált üzemanyag: %1 %2 (%3, %4 %2/100 km)"_s.arg(tenthsText(r.fuelTenths), measureUnit(r.measure),
                                                                      fuelTypeName(r.fuelIndex),
                                                                      singleText(car.consumption))
          << Qt::endl;
    return ExitOk;
}

int runPrint(Context& c, const ParsedArgs& a) {
    const bool statement = a.has(u"--statement"_s);
    const bool order = a.has(u"--rendelveny"_s);
    Fleet f(c.programDir);
    if (const int code = openCarMonth(c, f, a, statement || order))
        return code;
    const QString path = a.value(u"-o"_s);
    const Printout which = order ? Printout::TravelOrder : statement ? Printout::CostStatement : Printout::Logbook;
    const Season season = seasonArg(f, a);
    const MonthReckoning r = reckonMonth(f.state, f.state.month, season);
    if ((statement || order) && r.missingPrice)
        return failed(c, noPriceMessage(f.state));
    if (const int code = statement || order ? verdictGate(c, r, a) : int(ExitOk))
        return code;
    int onlyDay = 0;
    if (a.has(u"--nap"_s)) {
        const MonthLog& log = f.state.month;
        const QString text = a.value(u"--nap"_s).trimmed();
        static const QRegularExpression digits(u"^\\d{1,2}$"_s);
        onlyDay = digits.match(text).hasMatch() ? text.toInt() : 0;
        if (onlyDay < 1 || onlyDay > daysInMonth(log.year, log.month))
            return failed(c, u"Hibás nap: „%1”. A hónap napja 1 és %2 közötti szám."_s.arg(a.value(u"--nap"_s))
                                 .arg(daysInMonth(log.year, log.month)));
    }
    if (order) {
        // A day without its purpose is printed all the same, but told, as in the error list.
        for (const MonthFault& fault : r.faults)
            if (fault.kind == FaultKind::NoPurpose && (onlyDay == 0 || fault.day == onlyDay))
                c.err << u"Kisebb hiba: "_s << StreamPrompter::plainText(fault.text) << Qt::endl;
    }
    const Result printed = printToPdf(f.state, f.state.month, which, season, path, defaultPageLayout(), onlyDay);
    if (!printed)
        return failed(c, printed.message().startsWith(kNoPriceForMonth) ? noPriceMessage(f.state) : printed.message());
    c.out << u"A PDF elkészült: "_s << native(QFileInfo(path).absoluteFilePath()) << Qt::endl;
    return ExitOk;
}

// A month's private use: the private km, or the real closing reading with --zaro; 0 clears it.
int runPrivate(Context& c, const ParsedArgs& a) {
    const bool closing = a.has(u"--zaro"_s);
    const QString figure = closing ? a.value(u"--zaro"_s) : a.positional.value(2);
    static const QRegularExpression digits(u"^\\d{1,8}$"_s);
    if (!digits.match(figure.trimmed()).hasMatch())
        return failed(c, u"Hibás km: „%1”. Egész számot adjon meg 0 és %2 között."_s.arg(figure).arg(kLargestOdometerReading));
    const qint32 value = figure.trimmed().toInt();
    Fleet f(c.programDir);
    if (const int code = openCarMonth(c, f, a, false))
        return code;
    // The month's facts are the car's: written only while no one else works on it.
    if (const Result r = f.lockCar(); !r)
        return failed(c, r);
    MonthLog& log = f.state.month;
    log.closingReading = closing ? value : 0;
    log.privateKm = closing ? 0 : value;
    const MonthOdometer o = monthOdometer(log.startOdometer, log.monthKm, monthFactsOf(log));
    if (!o.fault.isEmpty())
        return failed(c, o.fault + u" Nem mentettem."_s);
    if (const Result r = saveMonthFacts(f.state.carGate(), f.state.carPath(QString()), monthFactsOf(log)); !r)
        return failed(c, r);
    c.out << u"%1: üzleti %2 km, magán %3 km, záró km-óra állás: %4, üzleti arány: %5"_s.arg(
                 monthText(log.year, log.month))
                 .arg(log.monthKm)
                 .arg(o.privateKm)
                 .arg(closingReadingText(monthReading(log.year, log.month, log.startOdometer, log.monthKm,
                                                      monthFactsOf(log))))
                 .arg(businessShareText(log.monthKm, o.privateKm))
          << Qt::endl;
    return ExitOk;
}

int runExport(Context& c, const ParsedArgs& a) {
    Fleet f(c.programDir);
    if (const int code = openCarMonth(c, f, a, true))
        return code;
    const AppState& s = f.state;
    const MonthLog& log = s.month;
    // Every leg needs its price, as for the cost and the statement.
    const MonthReckoning r = reckonMonth(s, log, seasonArg(f, a));
    if (r.missingPrice)
        return failed(c, noPriceMessage(s));
    if (const int code = verdictGate(c, r, a))
        return code;
    const SheetTable table = monthLegTable(s, r);
    const QString path = a.value(u"-o"_s);
    if (const Result r = writeTable(c.programDir, table, path); !r)
        return failed(c, r);
    c.out << u"A táblázat elkészült: %1 (%2 út)"_s.arg(native(QFileInfo(path).absoluteFilePath())).arg(table.rows.size())
          << Qt::endl;
    return ExitOk;
}

// ---- the table of commands ----------------------------------------------------------------------

const OptionHelp kKlima{{u"--klima"_s, false}, {}, u"klímahasználat szorzójával (mint a szerkesztő „Klíma” jelölője)"_s};
const OptionHelp kTeli{{u"--teli"_s, false}, {}, u"téli üzemeltetés szorzójával (mint a „Téli üzemeltetés” jelölő); a kettő nélkül a hónappal "
                          u"elmentett jelölő számít"_s};

const QList<Command>& commands() {
    static const QList<Command> list = {
        {u"cars"_s, {}, u"az autók listája"_s,
         u"Autónként egy sor, tabulátorral elválasztva: felhasználó neve, rendszám, üzemanyag, "
         u"fogyasztás (l/100 km, CNG-nél kg/100 km), általános költség (Ft/km)."_s,
         {}, 0, 0, runCars},
        {u"months"_s, u"AUTÓ"_s, u"egy autó havi nyilvántartásai"_s,
         u"Az autó olvasható nyilvántartásai időrendben, soronként: ÉÉÉÉ-HH, fájlnév, a hónap km-e (útjainak összege az "
         u"autó távolságaival; „–”, ha az adatbázis nem olvasható). "
         u"Az olvashatatlan fájlokról (sérült fájl, az adatkönyvtáron kívülre mutató link, nem közönséges fájl) a "
         u"hibakimeneten szól; a hónapként elnevezett olvashatatlan fájl (például 2025feb.rvn) sort is kap: "
         u"ÉÉÉÉ-HH, fájlnév, „–”, végül „!” és az ok."_s,
         {}, 1, 1, runMonths},
        {u"check"_s, u"AUTÓ ÉÉÉÉ-HH"_s, u"egy hónap ellenőrzése"_s,
         u"Megnyitja a hónapot, ahogy a Nyilvántartások ablak (a megállókat név, város és cím szerint "
         u"keresi az adatbázisban; az ismeretleneket felsorolja, az adatbázist nem változtatja meg), majd "
         u"kiírja a hibalista sorait, végül a kisebb és a súlyos hibák számát. Hibák esetén is 0-val lép ki."_s,
         {}, 2, 2, runCheck},
        {u"cost"_s, u"AUTÓ ÉÉÉÉ-HH [--klima | --teli]"_s, u"a hónap km-e és költsége"_s,
         u"Kiírja a hónap kilométerét és az összes költséget úgy, ahogy a szerkesztő számolja, majd a felhasznált "
         u"üzemanyagot (literben, CNG-nél kilogrammban), az üzemanyagot és a normát. "
         u"Ha a hónap valamelyik napjára nincs benzinár, 1-gyel lép ki; ha a hónapra nincs közzétett NAV-ár, "
         u"és egy korábbi hónap árával számol, ezt megírja, és --elfogad nélkül 1-gyel lép ki."_s,
         {kKlima, kTeli, acceptPriceOption()}, 2, 2, runCost},
        {u"print"_s, u"AUTÓ ÉÉÉÉ-HH (--logbook | --statement | --rendelveny [--nap NAP]) -o FÁJL.pdf"_s,
         u"nyomtatvány PDF-be"_s,
         u"Az útnyilvántartás, a költségelszámolás melléklete vagy a kiküldetési rendelvény (utas naponként egy "
         u"oldal és a havi összesítő, --nap mellett csak az az egy nap; a megjegyzés nélküli napokról a "
         u"hibakimeneten szól) PDF fájlba, ugyanazzal a "
         u"laptördeléssel, mint a nyomtatási kép PDF mentése. A -o sosem ír felül írásvédett fájlt, sem olyat, "
         u"amelynek a neve a program saját adatfájljáé (user.rvd, data.rvd, *.rvn ...), bárhol legyen is."_s,
         {{{u"--logbook"_s, false}, {}, u"az útnyilvántartás"_s},
          {{u"--statement"_s, false}, {}, u"a költségelszámolás melléklete"_s},
          {{u"--rendelveny"_s, false}, {}, u"a kiküldetési rendelvény"_s},
          {{u"--nap"_s, true}, u"NAP"_s, u"a rendelvény csak a hónap e napjáról (összesítő nélkül); út nélküli "
                                       u"napra 1-gyel lép ki"_s},
          {{u"-o"_s, true}, u"FÁJL"_s, u"a PDF fájl"_s},
          kKlima,
          kTeli,
          acceptPriceOption()},
         2, 2, runPrint},
        {u"private"_s, u"AUTÓ ÉÉÉÉ-HH (KM | --zaro N)"_s, u"a hónap magánhasználata"_s,
         u"A hónap magánhasználatának km-e, vagy --zaro mellett a hónap végén leolvasott km-óra állás, amelyből a "
         u"magánhasználat a kezdő állás és a hónap útjai nélküli különbség. A kettő közül mindig csak az utoljára "
         u"megadott marad meg; a 0 törli. A gépkocsi mappájának honapok.rvd fájljába ír, a havi nyilvántartás fájlja "
         u"nem változik. Ha a záró állás kisebb a kezdő állás és a hónap km-ének összegénél, nem ment, és 1-gyel lép ki. "
         u"Kiírja a hónap üzleti és magán km-ét, záró állását és üzleti arányát."_s,
         {{{u"--zaro"_s, true}, u"N"_s, u"a hónap valódi záró km-óra állása"_s}}, 2, 3, runPrivate},
        {u"export"_s, u"AUTÓ ÉÉÉÉ-HH -o FÁJL.csv|.xlsx [--klima | --teli]"_s, u"a hónap útjai táblázatba"_s,
         u"Utanként egy sor: dátum, honnan, hova, partner, km, útvonal típusa, a nap benzinára, az út "
         u"költsége. A .xlsx fájl munkafüzet; minden más CSV: UTF-8 (BOM-mal), pontosvesszővel elválasztva, "
         u"fejléccel, ahogy a magyar táblázatkezelők megnyitják; a vezérlőkarakterek szóközzé válnak. A -o-ra "
         u"ugyanaz áll, mint a print parancsnál."_s,
         {{{u"-o"_s, true}, u"FÁJL"_s, u"a CSV vagy xlsx fájl"_s}, kKlima, kTeli, acceptPriceOption()}, 2, 2, runExport},
        generateCommand(),
        demoCommand(),
        pricesCommand(),
        yearCommand(),
        packCommand(),
        tripsCommand(),
        workdaysCommand(),
    };
    return list;
}

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

QString synopsis(const Command& c) {
    return kProgram + u" [--data-dir KÖNYVTÁR] "_s + c.name + (c.arguments.isEmpty() ? QString() : u' ' + c.arguments);
}

void printCommandHelp(QTextStream& to, const Command& c) {
    to << u"Használat: "_s << synopsis(c) << Qt::endl << Qt::endl;
    to << c.details << Qt::endl;
    to << Qt::endl << u"Kapcsolók:"_s << Qt::endl;
    for (const OptionHelp& o : c.options)
        to << u"  "_s << (o.def.name + (o.argument.isEmpty() ? QString() : u' ' + o.argument)).leftJustified(20)
           << u' ' << o.text << Qt::endl;
    to << u"  "_s << u"--data-dir KÖNYVTÁR"_s.leftJustified(20) << u" az adatkönyvtár (alapesetben, mint a programé)"_s
       << Qt::endl;
    to << u"  "_s << u"-h, --help"_s.leftJustified(20) << u" ez a leírás"_s << Qt::endl;
    if (c.arguments.contains(u"AUTÓ"_s))
        to << Qt::endl << u"Az AUTÓ a felhasználó neve vagy a rendszám."_s << Qt::endl;
}

void printUsage(QTextStream& to) {
    to << u"Használat: "_s << kProgram << u" [--data-dir KÖNYVTÁR] PARANCS [ARGUMENTUMOK]"_s << Qt::endl << Qt::endl;
    to << u"A Rovanta+ útnyilvántartó adatai parancssorból. Parancsok:"_s << Qt::endl;
    for (const Command& c : commands())
        to << u"  "_s << c.name.leftJustified(10) << u' ' << c.summary << Qt::endl;
    to << Qt::endl
       << u"Egy parancs leírása: "_s << kProgram << u" PARANCS --help"_s << Qt::endl
       << u"Kilépési érték: 0 siker, 1 elutasítva vagy sikertelen (az ok a hibakimeneten), "
          u"2 hibás parancssor."_s
       << Qt::endl;
}

int usageError(Context& c, const QString& message, const Command* command) {
    c.err << message << Qt::endl;
    if (command)
        c.err << u"Használat: "_s << synopsis(*command) << Qt::endl;
    else
        c.err << u"A parancsok listája: "_s << kProgram << u" --help"_s << Qt::endl;
    return ExitUsage;
}

// Combinations the option list alone cannot refuse.
QString combinationError(const Command& c, const ParsedArgs& a) {
    if (a.has(u"--klima"_s) && a.has(u"--teli"_s))
        return u"A --klima és a --teli közül csak az egyik adható meg."_s;
    if (c.name == u"print"_s &&
        int(a.has(u"--logbook"_s)) + int(a.has(u"--statement"_s)) + int(a.has(u"--rendelveny"_s)) != 1)
        return u"A --logbook, a --statement és a --rendelveny közül pontosan egyet kell megadni."_s;
    if (c.name == u"print"_s && a.has(u"--nap"_s) && !a.has(u"--rendelveny"_s))
        return u"A --nap csak a --rendelveny mellett adható meg."_s;
    if ((c.name == u"print"_s || c.name == u"export"_s) && a.value(u"-o"_s).isEmpty())
        return u"Meg kell adni a kimeneti fájlt: -o FÁJL."_s;
    if (c.name == u"private"_s && a.has(u"--zaro"_s) == (a.positional.size() == 3))
        return u"A magán km és a --zaro közül pontosan egyet kell megadni."_s;
    if (c.name == u"generate"_s && !a.has(u"--km"_s))
        return u"Meg kell adni a kívánt kilométert: --km N."_s;
    return {};
}

} // namespace

const QList<Command>& commandTable() { return commands(); }

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const CliEnvironment& env) {
    // Decimal commas, as the program prints its numbers on a Hungarian system.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Context c{out, err, env, {}};

    QString dataDir;
    bool dataDirGiven = false;
    bool help = false;
    QString name;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (word == u"--data-dir"_s || word.startsWith(u"--data-dir="_s)) {
            if (word.contains(u'='))
                dataDir = word.mid(word.indexOf(u'=') + 1);
            else if (i + 1 < args.size())
                dataDir = args[++i];
            else
                return usageError(c, u"A --data-dir kapcsoló után hiányzik a könyvtár."_s, nullptr);
            dataDirGiven = true;
            continue;
        }
        if (!name.isEmpty()) {
            rest << word;
            continue;
        }
        if (word == u"-h"_s || word == u"--help"_s) {
            help = true;
        } else if (word == u"--version"_s) {
            out << kProgram << u' ' << packageVersionText() << Qt::endl;
            return ExitOk;
        } else if (word.startsWith(u'-')) {
            return usageError(c, u"Ismeretlen kapcsoló: %1"_s.arg(word), nullptr);
        } else {
            name = word;
        }
    }

    if (name == u"help"_s) {
        if (rest.isEmpty()) {
            printUsage(out);
            return ExitOk;
        }
        const Command* command = findCommand(rest.first());
        if (!command || rest.size() > 1)
            return usageError(c, u"Ismeretlen parancs: %1"_s.arg(rest.join(u' ')), nullptr);
        printCommandHelp(out, *command);
        return ExitOk;
    }
    if (name.isEmpty()) {
        if (help) {
            printUsage(out);
            return ExitOk;
        }
        printUsage(err);
        return ExitUsage;
    }
    const Command* command = findCommand(name);
    if (!command)
        return usageError(c, u"Ismeretlen parancs: %1"_s.arg(name), nullptr);

    QList<OptionDef> defs;
    for (const OptionHelp& o : command->options)
        defs << o.def;
    const ParsedArgs parsed = parseArgs(rest, defs);
    if (help || parsed.help) {
        printCommandHelp(out, *command);
        return ExitOk;
    }
    if (!parsed.error.isEmpty())
        return usageError(c, parsed.error, command);
    if (parsed.positional.size() < command->minWords)
        return usageError(c, u"Kevés argumentum."_s, command);
    if (parsed.positional.size() > command->maxWords)
        return usageError(c, u"Fölösleges argumentum: %1"_s.arg(parsed.positional.value(command->maxWords)), command);
    if (const QString e = combinationError(*command, parsed); !e.isEmpty())
        return usageError(c, e, command);

    if (dataDirGiven && (dataDir.isEmpty() || !QFileInfo(dataDir).isDir()))
        return failed(c, u"Az adatkönyvtár nem található: %1"_s.arg(native(dataDir)));
    QString exeDir = env.executableDir;
    if (exeDir.isEmpty() && QCoreApplication::instance())
        exeDir = QCoreApplication::applicationDirPath();
    c.programDir = resolveProgramDir(dataDir, exeDir);
    return command->run(c, parsed);
}

} // namespace rv::cli
