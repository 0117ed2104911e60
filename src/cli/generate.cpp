#include "generate.h"

#include "model/workcalendar.h"

#include "fleet.h"
#include "model/chain.h"
#include "model/cost.h"
#include "model/errorlog.h"
#include "model/monthchain.h"
#include "model/monthchange.h"
#include "model/monthlist.h"
#include "model/state.h"
#include "months/sample.h"
#include "months/targetsample.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "storage/tables.h"

#include <QDateTime>
#include <QDir>

#include <exception>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

constexpr int kLargestTarget = 20000; // the largest target the months window takes

// "H,K,Sz,Cs,P,Szo,V" (or the full names) into the day boxes, numbered from Sunday = 1.
std::optional<std::array<bool, 8>> parseDays(const QString& text, QString& bad) {
    static const std::array<QString, 7> shortNames = {u"H"_s, u"K"_s, u"Sz"_s, u"Cs"_s, u"P"_s, u"Szo"_s, u"V"_s};
    std::array<bool, 8> days{};
    bool any = false;
    for (const QString& raw : text.split(u',')) {
        const QString word = raw.trimmed();
        int found = -1;
        for (int i = 0; i < 7 && found < 0; ++i)
            if (word.compare(shortNames[size_t(i)], Qt::CaseInsensitive) == 0 ||
                word.compare(DayNames()[size_t(i)], Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0) {
            bad = word;
            return std::nullopt;
        }
        days[size_t((found + 1) % 7 + 1)] = true; // Monday first -> Sunday = 1
        any = true;
    }
    if (!any)
        return std::nullopt;
    return days;
}

int runGenerate(Context& c, const ParsedArgs& a) {
    const std::optional<MonthArg> month = parseMonthArg(a.positional.value(1));
    if (!month)
        return failed(c, badMonthMessage(a.positional.value(1)));
    bool ok = false;
    const QString kmText = a.value(u"--km"_s).trimmed();
    const int km = kmText.toInt(&ok);
    if (!ok || km < 1 || km > kLargestTarget)
        return failed(c, u"Hibás km: „%1”. 1 és %2 közötti egész számot adjon meg."_s.arg(kmText).arg(kLargestTarget));
    SampleRequest request;
    request.year = month->year;
    request.month = month->month;
    request.target = km;
    request.holidays = a.has(u"--unnep"_s);
    if (a.has(u"--days"_s)) {
        QString bad;
        const auto days = parseDays(a.value(u"--days"_s), bad);
        if (!days)
            return failed(c, u"Ismeretlen nap: „%1”. A napok: H,K,Sz,Cs,P,Szo,V (vesszővel elválasztva)."_s.arg(bad));
        request.weekdays = *days;
    }
    unsigned seed = unsigned(QDateTime::currentMSecsSinceEpoch());
    if (a.has(u"--seed"_s)) {
        seed = a.value(u"--seed"_s).trimmed().toUInt(&ok);
        if (!ok)
            return failed(c, u"Hibás kezdőérték: „%1”. 0 és 4294967295 közötti egész számot adjon meg."_s.arg(
                                 a.value(u"--seed"_s)));
    }

    Fleet f(c.programDir);
    AppState& s = f.state;
    if (const Result r = loadUserSwappedDays(c.programDir); !r)
        c.err << StreamPrompter::plainText(r.message()) << Qt::endl;
    // The car is this command's until the month is written.
    if (const Result r = f.openCarToWrite(a.positional.value(0)); !r)
        return failed(c, r);
    if (s.partnerCount() < 2)
        return failed(c, u"Nincsenek adatok az adatbázisban."_s);

    // An existing month is replaced only when asked for; other files of the same month stay.
    const LogbookListing listing = listLogbooks(s);
    const auto [fileName, exists] = monthTarget(listing, month->year, month->month);
    const QString path = s.carPath(fileName);
    // Taken now: a month another program saves there while the sample is drawn is not overwritten.
    const FileStamp onDisk = stampOf(path);
    QStringList others;
    for (const LogbookEntry& e : listing.entries)
        if (e.year == month->year && e.month == month->month && listing.files[e.position] != fileName)
            others << listing.files[e.position];
    if ((exists || !others.isEmpty()) && !a.has(u"--force"_s)) {
        QStringList files = others;
        if (exists)
            files.prepend(fileName);
        return failed(c, u"A(z) %1 hónap már létezik (%2). Felülírásához adja meg a --force kapcsolót."_s.arg(
                             monthText(month->year, month->month), files.join(u", "_s)));
    }

    std::unique_ptr<Settings> userSettings;
    s.settings = c.env.settings;
    if (!s.settings) {
        userSettings = Settings::openUserStore();
        s.settings = userSettings.get();
    }
    MersenneRandom random(seed);
    s.random = &random;
    StreamPrompter prompter(c.err);
    s.prompter = &prompter;

    s.month = MonthLog{};
    s.month.year = month->year;
    s.month.month = month->month;
    s.month.startOdometer = chainedStart(previousReading(s, listing, month->year, month->month));
    NoProgress progress;
    SampleOutcome outcome = SampleOutcome::NoPartners;
    const bool exact = a.has(u"--pontos"_s);
    try {
        if (exact) {
            const ExactSampleResult r = PontosMintaKeszites(s, request, progress);
            if (r.outcome != ExactOutcome::Generated)
                return r.reason.isEmpty() ? failed(c, u"Nincsenek adatok az adatbázisban."_s) : failed(c, r.reason);
            // Nobody drives such a month: kept only when asked for by name.
            if (r.longWalks && !a.has(u"--elfogad"_s))
                return failed(c, r.reason + u" A hónap nem került mentésre; mentéséhez adja meg az --elfogad kapcsolót."_s);
            if (r.longWalks)
                c.err << u"Figyelem: "_s << StreamPrompter::plainText(r.reason) << Qt::endl;
            outcome = SampleOutcome::Generated;
        } else {
            outcome = MintaKeszites(s, request, progress);
        }
    } catch (const RuntimeError& e) {
        return failed(c, u"A minta készítése nem sikerült: %1 %2"_s.arg(e.number()).arg(e.description()));
    } catch (const std::exception&) {
        return failed(c, u"A minta készítése nem sikerült."_s);
    }
    switch (outcome) {
    case SampleOutcome::Generated:
        break;
    case SampleOutcome::FallbackDeclined:
        return failed(c, u"A parancssor erre nemmel felel: távolságok nélkül nem készül minta."_s);
    case SampleOutcome::NoWorkingDays:
    case SampleOutcome::DaysCut:
        return ExitFailed; // the message has been written
    case SampleOutcome::NoPartners:
        return failed(c, u"Nincsenek adatok az adatbázisban."_s);
    }
    // Counted as the editor counts them when it takes over the sample.
    refreshKilometres(s, s.month);
    s.month.fileName = fileName;
    // A month generated anew keeps what was read off its odometer and its season: the closing
    // reading is a fact of the car, not of the sample. A sample that runs past it is refused.
    if (exists || !others.isEmpty()) {
        const MonthFactsFile facts = readMonthFacts(s.carGate(), s.carPath(QString()));
        if (!facts.problem)
            return failed(c, facts.problem.message() + u"\nA hónap záró km-óra állása nem olvasható, ezért a "
                                                       u"parancs nem írja felül a hónapot."_s);
        applyMonthFacts(s.month, facts.of(month->year, month->month));
        const MonthOdometer o = monthOdometer(s.month.startOdometer, s.month.monthKm, monthFactsOf(s.month));
        if (!o.fault.isEmpty())
            return failed(c, o.fault + u"\nAz új minta nem fér a hónap záró km-óra állása alá; semmi sem változott. "
                                       u"Kisebb --km-rel, vagy a záró állás törlése után (rovanta-cli private AUTÓ "
                                       u"ÉÉÉÉ-HH 0) futtassa újra."_s);
    }
    if (stampOf(path) != onDisk)
        return failed(c, u"A(z) %1 fájlt közben egy másik program megváltoztatta, ezért a parancs nem írja felül. "
                         u"Futtassa újra a parancsot."_s.arg(QDir::toNativeSeparators(path)));
    const MonthChange saved = writeMonth(s, fileName, s.month);
    if (!saved.file)
        return failed(c, u"A nyilvántartás mentése nem sikerült.\n"_s + saved.file.message());
    if (!saved.facts)
        return failed(c, u"A nyilvántartás elmentve (%1), de a hónap évszaka és magánhasználata nem frissíthető:\n"_s.arg(
                             QDir::toNativeSeparators(path)) + saved.facts.message());
    if (!others.isEmpty())
        c.err << u"Figyelem: a hónap korábbi nyilvántartása más néven megmaradt: %1"_s.arg(StreamPrompter::plainText(others.join(u", "_s)))
              << Qt::endl;
    c.out << u"Elmentve: %1 (%2 km)"_s.arg(QDir::toNativeSeparators(path)).arg(s.month.monthKm) << Qt::endl;
    // Saved as the months window would keep it, but a scheduled job must notice the miss.
    const qint64 limit =
        exact ? exactLimit(km, exactTolerance(s.settings)) : sampleLimit(km, sampleSettings(s.settings).factor);
    const QString advice = u" A kért km-t elérő mintához adja meg a --pontos, a hónap elfogadásához az --elfogad kapcsolót."_s;
    if (a.has(u"--elfogad"_s))
        return ExitOk;
    if (s.month.monthKm > limit)
        return failed(c, u"A hónap %1 km, több a hibahatárral megengedett %2 km-nél."_s.arg(s.month.monthKm).arg(limit) +
                             advice);
    if (s.month.monthKm < km)
        return failed(c, u"A hónap %1 km, kevesebb a kért %2 km-nél."_s.arg(s.month.monthKm).arg(km) + advice);
    return ExitOk;
}

} // namespace

Command generateCommand() {
    return {u"generate"_s,
            u"AUTÓ ÉÉÉÉ-HH --km N [--days H,K,Sz,Cs,P,Szo,V] [--unnep] [--pontos] [--elfogad] [--seed S] [--force]"_s,
            u"minta-nyilvántartás készítése"_s,
            u"Mintahónapot készít, ahogy a Nyilvántartások ablak „Minta létrehozása” (ugyanazok a beállítások: "
            u"Hibahatár, Próbák száma), és elmenti a hónap nyilvántartásaként. Meglévő hónapot csak --force "
            u"mellett ír felül. Ha a hónap a kért km alatt vagy a hibahatáron túl van, így is elmenti, de 1-gyel "
            u"lép ki (--elfogad nélkül). A --pontos mintánál a Hibahatár egész százalék, és a 0 pontosan a kért km."_s,
            {{{u"--km"_s, true}, u"N"_s, u"a kívánt kilométer (1-20000)"_s},
             {{u"--days"_s, true}, u"NAPOK"_s, u"a napok, amelyekre út kerül (alapesetben H,K,Sz,Cs,P)"_s},
             {{u"--unnep"_s, false}, {}, u"a munkaszüneti napokra (ünnepek, áthelyezett pihenőnapok) is"_s},
             {{u"--pontos"_s, false}, {}, u"a kért km-t a hibahatáron belül elérő minta, ha kell, kevesebb napra "
                                          u"(ha nincs ilyen, megmondja, miért, és nem ment; hosszú bolyongásokból "
                                          u"álló hónapot csak --elfogad mellett ment)"_s},
             {{u"--elfogad"_s, false}, {}, u"a kért km alatti vagy a hibahatáron túli hónap is 0-val lép ki; "
                                           u"--pontos mellett a hosszú bolyongásokból álló hónap is mentésre kerül"_s},
             {{u"--seed"_s, true}, u"S"_s, u"a véletlenszámok kezdőértéke: ugyanaz az S ugyanazt a mintát adja"_s},
             {{u"--force"_s, false}, {}, u"a meglévő hónap felülírása"_s}},
            2, 2, runGenerate};
}

} // namespace rv::cli
