#include "validation.h"

#include "model/reckoning.h"
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
    return validationOf(reckonMonth(s, log, MonthContext{true, previous, firstMonth}));
}

Validation validationOf(const MonthReckoning& r) { return Validation{r.minor(), r.severe(), r.lines()}; }

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
