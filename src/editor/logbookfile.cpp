#include "logbookfile.h"

#include "storage/errorlog.h"
#include "storage/fileio.h"
#include "storage/records.h"
#include "storage/state.h"
#include "ui/prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString newMonthFileName(int year, int month) {
    return QString::number(year) + MonthAbbrev()[size_t(month - 1)] + u".rvn"_s;
}

QByteArray serializeLogbook(const AppState& s, const MonthLog& log) {
    RecordWriter w;
    w.str(u"RVN"_s).str(versionText()).endLine();
    w.integer(log.year).integer(log.month).integer(log.startOdometer).endLine();
    w.integer(log.monthKm).integer(log.stopWidth).endLine();
    const int width = std::min(log.stopWidth, log.stops.columns());
    for (int day = 1; day <= kLogDays; ++day) {
        int n = 0;
        if (width >= 1 && log.stops.at(day, 1) != 0)
            for (int k = 1; k <= width; ++k)
                if (log.stops.at(day, k) != 0)
                    ++n;
        w.integer(day).integer(n).endLine();
        for (int k = 1, written = 0; k <= width && written < n; ++k) {
            const int p = log.stops.at(day, k);
            if (p == 0)
                continue;
            const Partner& partner = (p >= 1 && p <= s.partnerCount()) ? s.partner(p) : Partner{};
            w.line(partner.name).line(partner.city).line(partner.address);
            ++written;
        }
        w.line(log.comments[size_t(day - 1)]);
    }
    return w.data();
}

bool SaveLogbook(AppState& s) {
    MonthLog& log = s.month;
    if (log.stopWidth == 0) {
        if (s.prompter)
            s.prompter->ask(u"Nincs mit elmenteni."_s, Ok, MsgIcon::Exclamation);
        return false;
    }
    if (log.fileName.isEmpty())
        log.fileName = newMonthFileName(log.year, log.month);
    const Result r = saveWholeFile(s.carPath(log.fileName), serializeLogbook(s, log));
    if (!r) {
        // The old file is intact and the month is still in memory: report and let the user retry
        // rather than end the program.
        logCaught(s, r.code(), r.message());
        if (s.prompter)
            s.prompter->ask(u"A nyilvántartás mentése nem sikerült.\r\n\r\n"_s + r.message(), Ok, MsgIcon::Critical);
        return false;
    }
    log.modified = false;
    return true;
}

} // namespace rv
