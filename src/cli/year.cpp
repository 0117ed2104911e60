#include "year.h"

#include "cli.h"
#include "fleet.h"
#include "sheets.h"
#include "streamprompter.h"

#include "model/monthlist.h"
#include "model/yearsummary.h"
#include "printing/yearpack.h"
#include "printing/yearprintout.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {

namespace {

// The year of the command line, four digits; the exit code instead when it is not one.
std::optional<int> yearArgument(Context& c, const ParsedArgs& a, int& year) {
    const QString yearText = a.positional.value(1).trimmed();
    static const QRegularExpression fourDigits(u"^\\d{4}$"_s);
    year = yearText.toInt();
    if (!fourDigits.match(yearText).hasMatch() || year < 1)
        return failed(c, u"Hibás év: „%1”. Az évet négy számjeggyel adja meg, például 2024."_s.arg(yearText));
    return std::nullopt;
}

// The car's year with its prices, what reading it found told on the error output; the exit code
// instead when the car does not open or has no logbook in the year.
std::optional<int> openYear(Context& c, const ParsedArgs& a, Fleet& f, int year, YearSummary& y) {
    Result r = f.openCar(a.positional.value(0), true);
    if (r)
        r = f.loadFuelPrices();
    if (!r)
        return failed(c, r);
    for (const QString& notice : std::as_const(f.notices))
        c.err << StreamPrompter::plainText(notice) << Qt::endl;
    for (const QString& w : listLogbooks(f.state).warnings)
        c.err << StreamPrompter::plainText(w) << Qt::endl;
    y = summarizeYear(f.state, year);
    for (const QString& w : y.warnings)
        c.err << StreamPrompter::plainText(w) << Qt::endl;
    if (y.rows.isEmpty())
        return failed(c, u"A(z) %1. évben nincs nyilvántartása ennek az autónak (%2)."_s.arg(year).arg(
            f.car().userName.trimmed()));
    return std::nullopt;
}

int runYear(Context& c, const ParsedArgs& a) {
    QTextStream& out = c.out;
    QTextStream& err = c.err;
    int year = 0;
    if (const auto failure = yearArgument(c, a, year))
        return *failure;
    const QString path = a.value(u"-o"_s);
    const QString extension = QFileInfo(path).suffix().toLower();
    if (!path.isEmpty() && extension != u"pdf"_s && extension != u"xlsx"_s && extension != u"csv"_s)
        return failed(c, u"A kimeneti fájl kiterjesztése .pdf, .xlsx vagy .csv lehet: %1"_s.arg(path));

    Fleet f(c.programDir);
    YearSummary y;
    if (const auto failure = openYear(c, a, f, year, y))
        return *failure;
    Result r = Result::success();
    QStringList faults;
    for (const YearRow& row : y.rows)
        for (const QString& doubt : row.doubts)
            faults << monthText(year, row.month) + u": "_s + doubt;
    for (const QString& fault : faults)
        err << StreamPrompter::plainText(fault) << Qt::endl;

    // A month that cannot be read leaves the year without totals, a month whose cost is doubtful
    // (an earlier month's price, no price, a severe fault) has a figure nobody vouches for: told,
    // and refused unless accepted.
    const bool refused = y.doubtful() && !a.has(u"--elfogad"_s);
    const auto done = [&] {
        if (!refused)
            return int(ExitOk);
        if (y.incomplete)
            err << u"Az év nem teljes: van olvashatatlan hónapja (lásd a „!” jelű sorokat). Az összesítő "
                   u"elfogadásához adja meg az --elfogad kapcsolót."_s
                << Qt::endl;
        if (!faults.isEmpty())
            err << u"A kétes költségű hónapok javítása: rovanta-cli check AUTÓ ÉÉÉÉ-HH mutatja a hibákat; a NAV-árak "
                   u"frissítése: rovanta-cli prices update, az autó árai közé: prices sync. Az így számolt év az "
                   u"--elfogad kapcsolóval fogadható el."_s
                << Qt::endl;
        return int(ExitFailed);
    };
    if (path.isEmpty()) {
        for (const YearRow& row : y.rows) {
            out << monthText(year, row.month) << u'\t' << rowStartText(row) << u'\t' << rowKmText(row) << u'\t'
                << yearKmText(row.closing()) << u'\t' << rowCostText(row) << u'\t' << rowPrivateText(row) << u'\t'
                << rowShareText(row);
            if (row.warned())
                out << u"\t! "_s << yearRowWarning(row);
            out << Qt::endl;
        }
        out << u"Összesen\t"_s << totalKmText(y) << u'\t' << totalCostText(y) << u'\t' << totalPrivateText(y) << u'\t'
            << totalShareText(y) << Qt::endl;
        return done();
    }
    if (extension == u"pdf"_s) {
        if (r = yearToPdf(f.state, y, path); !r)
            return failed(c, u"A fájl nem írható: %1\n%2"_s.arg(
                QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), r.message()));
    } else if (r = writeTable(c.programDir, yearTable(y), path); !r) {
        return failed(c, r);
    }
    out << u"Az éves összesítő elkészült: "_s << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())
        << Qt::endl;
    return done();
}

int runPack(Context& c, const ParsedArgs& a) {
    QTextStream& out = c.out;
    QTextStream& err = c.err;
    int year = 0;
    if (const auto failure = yearArgument(c, a, year))
        return *failure;
    const QString path = a.value(u"-o"_s);
    if (path.isEmpty() || QFileInfo(path).suffix().toLower() != u"pdf"_s) {
        err << u"Az éves csomag PDF fájl: adja meg -o FÁJL.pdf alakban."_s << Qt::endl;
        return ExitUsage;
    }

    Fleet f(c.programDir);
    YearSummary y;
    if (const auto failure = openYear(c, a, f, year, y))
        return *failure;
    Result r = Result::success();
    YearPackInfo info;
    if (r = yearPackToPdf(f.state, y, path, &info); !r)
        return failed(c, u"A fájl nem írható: %1\n%2"_s.arg(
            QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), r.message()));
    out << u"Az éves csomag elkészült: "_s << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) << u" ("_s
        << info.pages << u" oldal)"_s << Qt::endl;
    for (const PackFile& file : std::as_const(info.files))
        out << file.fileName << u'\t' << (file.sha256.isEmpty() ? u"–"_s : file.sha256) << Qt::endl;
    // A faulty month is in the pack with its faults; the pack is accepted only when told.
    if (!info.faulty())
        return ExitOk;
    for (const PackFile& file : std::as_const(info.files))
        for (const QString& fault : file.faults)
            err << monthText(year, file.month) << u": "_s << StreamPrompter::plainText(fault) << Qt::endl;
    if (a.has(u"--elfogad"_s))
        return ExitOk;
    err << u"A csomag hibás hónapot tartalmaz (a hibáival együtt). Elfogadásához adja meg az --elfogad kapcsolót."_s
        << Qt::endl;
    return ExitFailed;
}

} // namespace

Command packCommand() {
    return {u"pack"_s,
            u"AUTÓ ÉÉÉÉ -o FÁJL.pdf [--elfogad]"_s,
            u"az év egyetlen PDF-ben, ellenőrző összegekkel"_s,
            u"Borító (gépkocsi, vezető, adóazonosító, a norma és forrása, az év km-e, magán km-e, üzleti aránya, "
            u"költsége, nyitó és záró km-óra állása), tartalomjegyzék, a felhasznált hónapok NAV-árai, majd "
            u"hónaponként az útnyilvántartás, a költségelszámolás és – ha a vezetőnek van adóazonosító jele – a "
            u"kiküldetési rendelvények, végül az éves összesítő és egy oldal a hónapok fájljainak SHA-256 "
            u"összegével és a program verziójával. Kiírja az oldalszámot és fájlonként az összeget (fájlnév, "
            u"tabulátor, SHA-256). Hibás hónap a hibáival együtt kerül bele; ilyenkor a parancs 1-gyel lép ki, "
            u"hacsak nincs megadva az --elfogad."_s,
            {{{u"-o"_s, true}, u"FÁJL"_s, u"a PDF fájl"_s},
             {{u"--elfogad"_s, false}, QString(), u"hibás hónap mellett is 0-s kóddal ér véget"_s}},
            2,
            2,
            runPack};
}

Command yearCommand() {
    return {u"year"_s,
            u"AUTÓ ÉÉÉÉ [-o FÁJL.pdf|.xlsx|.csv] [--elfogad]"_s,
            u"az év hónapjai és összesítése"_s,
            u"Hónaponként egy sor, tabulátorral elválasztva: ÉÉÉÉ-HH, kezdő km-óra állás, km, záró állás, "
            u"költség Ft-ban (\"-\", ha hiányzik a benzinár), magán km, üzleti arány (az üzleti km az összes km "
            u"százalékában, egy tizedesre), a figyelmeztetéses sorok végén „!” és az ok; végül az "
            u"„Összesen” sor az év km-ével, költségével, magán km-ével és üzleti arányával. Kezdő km-óra állás nélküli hónapnak nincs záró állása "
            u"(„–”). Olvashatatlan hónap is sort kap („–” értékekkel és az okkal); ilyenkor az évnek nincs "
            u"összesítése, és a parancs 1-es kóddal ér véget, hacsak nincs megadva az --elfogad. "
            u"Ha egy hónap költsége kétes (egy korábbi hónap NAV-árával számol, hiányzik a benzinára, vagy súlyos "
            u"hibája van), ezt megírja, és --elfogad nélkül szintén 1-gyel lép ki. "
            u"A -o fájlba a kiterjesztése szerint PDF, xlsx vagy CSV kerül."_s,
            {{{u"-o"_s, true}, u"FÁJL"_s, u"a kimeneti fájl (.pdf, .xlsx vagy .csv)"_s},
             {{u"--elfogad"_s, false}, QString(), u"olvashatatlan vagy kétes költségű hónap mellett is 0-s kóddal ér véget"_s}},
            2,
            2,
            runYear};
}

} // namespace rv::cli
