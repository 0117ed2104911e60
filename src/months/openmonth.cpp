#include "openmonth.h"
#include "model/grouping.h"

#include "model/cost.h"
#include "model/monthfacts.h"
#include "model/statefiles.h"
#include "model/errorlog.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString missingPartnersQuestion(const QVector<Partner>& missing) {
    constexpr int kNamed = 5;
    const int count = int(missing.size());
    QString text = QString::number(count) + u" új adat van a korábbi hónapban\r\na jelenlegi adatbázishoz képest:\r\n"_s;
    for (int i = 0; i < std::min(count, kNamed); ++i)
        text += u"    "_s + partnerLabel(missing[i]) + u"\r\n"_s;
    if (count > kNamed)
        text += u"    és még %1 további\r\n"_s.arg(count - kNamed);
    return text + (count == 1 ? u"Kívánja hozzáadni az adatokhoz?"_s : u"Kívánja ezeket is hozzáadni az adatokhoz?"_s);
}

QString leavingStopsQuestion(const AppState& s, const StoredLogbook& log, const QVector<Partner>& missing) {
    int stops = 0;
    for (const QVector<Partner>& day : log.stops)
        for (const Partner& stop : day)
            stops += missing.contains(stop) ? 1 : 0;
    MonthLog without = monthFromStored(s, log, QString());
    const qint64 km = refreshKilometres(s, without);
    return u"Ha nem adja hozzá őket, %1 megálló kimarad a hónapból, és a hónap %2 km-e %3 km-re változik; a "
           u"következő mentés ezt véglegesíti.\r\n\r\nBiztosan kihagyja ezeket a megállókat?"_s.arg(stops)
               .arg(groupedDigits(log.monthKm), groupedDigits(km));
}

OpenOutcome openStoredMonth(AppState& s, const QString& fileName, MonthsProgress& progress) {
    progress.setProgressMaximum(100);
    progress.setProgressValue(0);
    progress.setStatus(u"Nyilvántartás beolvasása..."_s);
    progress.keepResponsive();

    StoredLogbook stored;
    // Taken before the read: a change in between shows as a change at the next save.
    const FileStamp onDisk = stampOf(s.carPath(fileName));
    const Result read = readLogbookFile(s.carPath(fileName), stored, s.programDir);
    if (!read) {
        logCaught(s, read.code(), read.message());
        if (s.prompter)
            s.prompter->ask(u"A nyilvántartás nem nyitható meg.\r\n\r\n"_s + read.message(), Ok, MsgIcon::Exclamation);
        progress.setProgressValue(0);
        return OpenOutcome::Failed;
    }
    progress.setProgressValue(40);
    progress.setStatus(u"Nyilvántartás elemzése..."_s);
    progress.keepResponsive();

    const QVector<Partner> missing = missingPartners(s, stored);
    progress.setProgressValue(60);
    while (!missing.isEmpty()) {
        const MsgButton answer =
            s.prompter ? s.prompter->ask(missingPartnersQuestion(missing), Yes | No | Cancel, MsgIcon::Question) : No;
        if (answer == Cancel) {
            progress.setProgressValue(0);
            return OpenOutcome::Cancelled;
        }
        if (answer == No) {
            // The stops go only when the user has seen what goes with them.
            if (!s.prompter || askYesDefaultNo(*s.prompter, leavingStopsQuestion(s, stored, missing)))
                break;
            continue;
        }
        // Grow the arrays keeping what they hold: the new partners go after the old ones and
        // their distances are 0 until the user sets them.
        const QVector<Partner> oldPartners = s.partners;
        const DistanceMatrix oldDistances = s.distances;
        s.partners += missing;
        s.distances.resize(s.partnerCount());
        const Result saved = SaveDatabase(s);
        if (!saved) {
            // Memory keeps what the disk holds; the month stays closed rather than lose stops.
            s.partners = oldPartners;
            s.distances = oldDistances;
            if (s.prompter)
                s.prompter->ask(u"Az új partnereket nem sikerült az adatbázisba menteni, ezért a hónap nem nyílt "
                                u"meg.\r\n\r\n"_s + saved.message(),
                                Ok, MsgIcon::Exclamation);
            progress.setProgressValue(0);
            return OpenOutcome::Failed;
        }
        break;
    }

    if (s.partnerCount() == 0) {
        if (s.prompter)
            s.prompter->ask(u"Nincsenek adatok!"_s, Ok, MsgIcon::Exclamation);
        progress.setProgressValue(0);
        return OpenOutcome::NoPartners;
    }

    progress.setStatus(u"Adatok rendezése..."_s);
    progress.setProgressValue(80);
    progress.keepResponsive();
    s.month = monthFromStored(s, stored, fileName);
    s.month.onDisk = onDisk;
    const MonthFactsFile facts = readMonthFacts(s.carGate(), s.carPath(QString()));
    applyMonthFacts(s.month, facts.of(s.month.year, s.month.month));
    if (!facts.problem) {
        logCaught(s, 62, facts.problem.message());
        if (s.prompter)
            s.prompter->ask(facts.problem.message(), Ok, MsgIcon::Exclamation);
    }
    s.mainWindowTag = u"korábbi"_s;
    progress.setProgressValue(100);
    return OpenOutcome::Opened;
}

} // namespace rv
