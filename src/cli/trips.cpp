#include "trips.h"

#include "fleet.h"
#include "editor/validation.h"
#include "model/chain.h"
#include "model/cost.h"
#include "model/logbookfile.h"
#include "model/monthchain.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "model/state.h"
#include "months/tripimport.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/settings.h"

#include <QDir>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

QString plain(const QString& text) { return StreamPrompter::plainText(text); }

int runTrips(Context& c, const ParsedArgs& a) {
    int year = 0, month = 0;
    if (a.has(u"--month"_s)) {
        const std::optional<MonthArg> m = parseMonthArg(a.value(u"--month"_s));
        if (!m)
            return failed(c, badMonthMessage(a.value(u"--month"_s)));
        year = m->year;
        month = m->month;
    }
    const bool dryRun = a.has(u"--dry-run"_s);
    const QString filePath = a.positional.value(1);

    std::unique_ptr<Settings> userSettings;
    Settings* settings = c.env.settings;
    if (!settings) {
        userSettings = Settings::openUserStore();
        settings = userSettings.get();
    }
    std::optional<CsvLayout> layout;
    if (a.has(u"--map"_s)) {
        layout = tripPreset(*settings, a.value(u"--map"_s));
        if (!layout) {
            const QStringList names = tripPresetNames(*settings);
            return failed(c, u"Nincs „%1” nevű oszloprend. %2"_s.arg(
                                 a.value(u"--map"_s),
                                 names.isEmpty() ? u"Még nincs elmentett oszloprend (a Nyilvántartások ablak „Utak betöltése...” gombjával menthető)."_s
                                                 : u"Az elmentettek: "_s + names.join(u", "_s)));
        }
    }
    TripFile file;
    if (const Result r = readTripFile(filePath, layout, stopMinutes(*settings), file); !r)
        return failed(c, r);
    for (const QString& p : std::as_const(file.problems))
        c.err << u"Kimarad: "_s << plain(p) << Qt::endl;
    if (const Result r = chooseTripMonth(file.trips, year, month, year, month); !r)
        return failed(c, r);

    Fleet f(c.programDir);
    AppState& s = f.state;
    // The car is this command's until everything is written.
    if (const Result r = f.openCarToWrite(a.positional.value(0), !dryRun); !r)
        return failed(c, r);
    for (const QString& notice : std::as_const(f.notices))
        c.err << plain(notice) << Qt::endl;
    StreamPrompter prompter(c.err);
    s.prompter = &prompter;
    s.settings = settings;

    QVector<KnownPlace> known;
    if (const Result r = readPlaces(s.programDir, s.carPath(QString()), known); !r)
        return failed(c, r);
    const qsizetype knownBefore = known.size();
    const int partnersBefore = s.partnerCount();
    TripPlan plan = planTrips(s.partners, known, file.trips, year, month);
    if (plan.outside > 0)
        c.err << u"%1 út más hónapra esik, kimarad."_s.arg(plan.outside) << Qt::endl;

    if (!plan.unmatched.isEmpty()) {
        c.out << u"Ismeretlen helyek (%1):"_s.arg(plan.unmatched.size()) << Qt::endl;
        for (const UnmatchedPlace& p : std::as_const(plan.unmatched))
            c.out << u"  "_s << plain(p.label()) << u" – %1 út, először %2"_s.arg(p.trips).arg(p.first.toString(u"yyyy.MM.dd."_s))
                  << (p.ambiguous ? u" (több partner címe is illik rá)"_s : QString()) << Qt::endl;
        if (!a.has(u"--private-unmatched"_s))
            return failed(c, u"Vannak ismeretlen helyek, ezért semmit sem írtam. Rendelje őket partnerhez a Nyilvántartások "
                             u"ablak „Utak betöltése...” gombjával, vagy jelölje őket magánhelynek a --private-unmatched "
                             u"kapcsolóval."_s);
        const QVector<PlaceDecision> decisions(plan.unmatched.size(), PlaceDecision{});
        if (const Result r = decidePlaces(s, known, plan, decisions); !r)
            return failed(c, r);
    }

    // Learned distances: empty cells are filled; a difference is taken only when asked for.
    const QVector<LearnedDistance> learned = learnDistances(s.distances, businessLegs(plan));
    const bool takeDifferences = a.has(u"--learn-distances"_s);
    const QMap<QString, qint64> storedKm = kmOfStoredMonths(s);
    const int changedCells = applyLearnedDistances(s.distances, learned, takeDifferences, s.defaultRouteType);
    for (const LearnedDistance& d : learned) {
        if (d.verdict == LearnedDistance::Verdict::Fill)
            c.out << u"Új távolság: "_s << plain(learnedDistanceText(s, d)) << Qt::endl;
        else if (d.verdict == LearnedDistance::Verdict::Differs)
            c.out << (takeDifferences ? u"Átvett távolság: "_s : u"Eltérő távolság (a táblázaté marad): "_s)
                  << plain(learnedDistanceText(s, d)) << Qt::endl;
    }

    // Earlier months count their legs on the new distances too: told, as they are tax figures.
    const QStringList changedMonths = changedCells > 0 ? monthKmChanges(s, storedKm) : QStringList();
    for (const QString& line : changedMonths)
        c.out << u"Figyelem: "_s << plain(line) << Qt::endl;

    const LogbookListing listing = listLogbooks(s);
    const std::optional<MonthReading> previous = previousReading(s, listing, year, month);
    const ImportedMonth imported = buildImportedMonth(s, plan, chainedStart(previous));
    const auto [fileName, exists] = monthTarget(listing, year, month);
    MonthLog log = imported.log;
    if (exists) {
        if (!a.has(u"--merge"_s))
            return failed(c, u"A(z) %1 hónapnak már van nyilvántartása (%2). Az importált napok beillesztéséhez adja "
                             u"meg a --merge kapcsolót."_s.arg(monthText(year, month), fileName));
        QVector<Partner> unknown;
        if (const Result r = f.openMonth(fileName, unknown); !r)
            return failed(c, r);
        log = mergeImportedMonth(s.month, imported);
    }
    refreshKilometres(s, log);

    for (const QString& line : previewLines(s, log))
        c.out << plain(line) << Qt::endl;
    for (const QString& note : imported.notes)
        c.out << u"Megjegyzés: "_s << plain(note) << Qt::endl;
    const Validation v = validateMonth(s, log, previous, isFirstMonth(listing, year, month));
    for (const QString& line : v.lines)
        c.out << plain(line) << Qt::endl;
    const MonthOdometer o = monthOdometer(log.startOdometer, log.monthKm, monthFactsOf(log));
    if (!o.fault.isEmpty())
        c.out << plain(o.fault) << Qt::endl;
    c.out << u"%1: üzleti %2 km, magán %3 km, kezdő km-óra állás: %4, záró: %5"_s.arg(monthText(year, month))
                 .arg(log.monthKm)
                 .arg(o.privateKm)
                 .arg(log.startOdometer)
                 .arg(o.closing)
          << Qt::endl;
    if (dryRun) {
        c.out << u"Próba: semmit sem írtam."_s << Qt::endl;
        return ExitOk;
    }

    const bool databaseChanged = s.partnerCount() != partnersBefore || changedCells > 0;
    if (const ImportWrite w = writeImport(s, databaseChanged, known.size() != knownBefore ? &known : nullptr, fileName, log);
        !w.result)
        return failed(c, w.result);
    c.out << u"Elmentve: %1 (%2 km)"_s.arg(QDir::toNativeSeparators(s.carPath(fileName))).arg(log.monthKm) << Qt::endl;
    return ExitOk;
}

} // namespace

Command tripsCommand() {
    return {u"trips"_s,
            u"AUTÓ FÁJL [--month ÉÉÉÉ-HH] [--map NÉV] [--dry-run] [--private-unmatched] [--learn-distances] [--merge]"_s,
            u"hónap a nyomkövető vagy a telefonos app útjaiból"_s,
            u"Egy nyomkövető vagy telefonos alkalmazás exportjából (CSV útjelentés vagy .gpx nyomvonal) elkészíti a hónap "
            u"nyilvántartását: az üzleti utak a napok szakaszai, a magánutak a hónap magán km-e, az első és az utolsó "
            u"km-óra állás a kezdő és a záró állás. Kiírja a napokat és az ismeretlen helyeket; ha van ismeretlen hely, "
            u"semmit sem ír, és 1-gyel lép ki (--private-unmatched nélkül). Az üres távolságokat a rögzített utak "
            u"mediánja tölti ki; a táblázattól 10 %-nál jobban eltérőket csak --learn-distances mellett veszi át. "
            u"Meglévő hónapba csak --merge mellett ír: az importált napok felülírják a hónap ugyanazon napjait."_s,
            {{{u"--month"_s, true}, u"ÉÉÉÉ-HH"_s, u"a betöltendő hónap (ha a fájl több hónap útjait tartalmazza)"_s},
             {{u"--map"_s, true}, u"NÉV"_s, u"az „Utak betöltése...” ablakban elmentett oszloprend (alapesetben felismeri)"_s},
             {{u"--dry-run"_s, false}, {}, u"csak kiírja, mi történne; semmit sem ír"_s},
             {{u"--private-unmatched"_s, false}, {}, u"az ismeretlen helyek magánhelyek (az ide vezető utak magánutak)"_s},
             {{u"--learn-distances"_s, false}, {}, u"a táblázattól eltérő távolságok helyett a rögzítettek mediánja"_s},
             {{u"--merge"_s, false}, {}, u"a meglévő hónap napjai közé illeszti az importált napokat"_s}},
            2, 2, runTrips};
}

} // namespace rv::cli
