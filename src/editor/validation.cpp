#include "validation.h"
#include "model/grouping.h"

#include "editor/tripentry.h"
#include "model/cost.h"
#include "model/monthfacts.h"
#include "model/monthprice.h"
#include "model/state.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString stopLabel(const AppState& s, int partner) {
    if (partner < 1 || partner > s.partnerCount())
        return {};
    return PartnerLabel(s, partner);
}

Validation validateMonth(const AppState& s, const MonthLog& log, const std::optional<MonthReading>& previous,
                         bool firstMonth) {
    Validation v;
    if (const QString fault = chainFault(log.startOdometer, previous); !fault.isEmpty()) {
        ++v.minor;
        v.lines << fault;
    } else if (firstMonth && log.startOdometer == 0) {
        ++v.minor;
        v.lines << u"Nincs megadva kezdő km-óra állás"_s;
    }
    if (log.closingReading > 0) {
        const MonthOdometer o = monthOdometer(log.startOdometer, legKilometres(s, log), monthFactsOf(log));
        if (!o.fault.isEmpty()) {
            ++v.severe;
            v.lines << o.fault;
        }
    }
    // The legs make the month's km; an older file's header may say otherwise until it is saved.
    if (const qint64 legs = legKilometres(s, log); log.storedKm >= 0 && !log.modified && legs != log.storedKm) {
        ++v.minor;
        v.lines << u"A fájl fejlécében a hónap km-e %1 km, az utak összege %2 km: a program az utak összegével "
                   u"számol, és mentéskor ezt írja a fejlécbe."_s.arg(groupedDigits(log.storedKm), groupedDigits(legs));
    }
    if (const auto price = monthPriceFault(s, log)) {
        ++v.minor;
        v.lines << price->text();
    }
    const int width = usableWidth(log);
    if (width < 2)
        return v;
    const int known = std::min(s.partnerCount(), s.distances.size());
    // Where the previous trip day ended; 0 when unknown (the previous month's stops are not read).
    int endedAt = firstMonth ? 1 : 0;
    int endedOn = 0;
    for (int day = 1; day <= kLogDays; ++day) {
        if (log.stops.at(day, 1) == 0)
            continue;
        const QString dayText = QString::number(day) + u". napon "_s;
        if (const int first = log.stops.at(day, 1); log.stops.at(day, 2) != 0) {
            if (endedAt != 0 && first != endedAt) {
                ++v.minor;
                v.lines << (endedOn == 0 ? u"A %1. nap „%2” partnertől indul, de az autó első hónapjában az első út "
                                           u"a cégtől („%3”) indul."_s
                                               .arg(day)
                                               .arg(stopLabel(s, first), stopLabel(s, endedAt))
                                         : u"A %1. nap „%2” partnertől indul, de a %3. nap „%4” partnernél ért véget."_s
                                               .arg(day)
                                               .arg(stopLabel(s, first))
                                               .arg(endedOn)
                                               .arg(stopLabel(s, endedAt)));
            }
            int last = 2;
            while (last < width && log.stops.at(day, last + 1) != 0)
                ++last;
            endedAt = log.stops.at(day, last);
            endedOn = day;
        }
        for (int k = 2; k <= width; ++k) {
            const int q = log.stops.at(day, k);
            if (q == 0)
                break;
            const int p = log.stops.at(day, k - 1);
            if (p == q) {
                ++v.severe;
                v.lines << dayText + stopLabel(s, q) + u" kétszer szerepel egymás után."_s;
            } else if (p >= 1 && q >= 1 && p <= known && q <= known && s.distances.at(p, q).distance == 0) {
                ++v.minor;
                v.lines << dayText + stopLabel(s, p) + u" és "_s + stopLabel(s, q) + u" között 0 km a távolság."_s;
            }
        }
    }
    return v;
}

QString severeFaultQuestion(int severe, bool printing) {
    return u"A hónapban %1 súlyos hiba van. Biztosan %2?"_s.arg(severe).arg(printing ? u"nyomtatja"_s : u"menti"_s);
}

ErrorFrame errorFrame(const Validation& v) {
    ErrorFrame f;
    if (v.severe > 0) {
        f.minorText = QString::number(v.minor) + u" kisebb hiba. "_s;
        f.severeText = QString::number(v.severe) + u" súlyos hiba."_s;
        f.picture = ErrorPicture::Severe;
        f.detailsEnabled = true;
    } else if (v.minor > 0) {
        f.minorText = QString::number(v.minor) + u" kisebb hiba."_s;
        f.severeText = u"0 súlyos hiba."_s;
        f.picture = ErrorPicture::Minor;
        f.detailsEnabled = true;
    } else {
        f.minorText = u"Nincs hiba."_s;
        f.picture = ErrorPicture::None;
    }
    return f;
}

} // namespace rv
