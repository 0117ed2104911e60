#include "workdays.h"

#include "model/workcalendar.h"
#include "storage/fileio.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

int runWorkdays(Context& c, const ParsedArgs& a) {
    const QString first = a.positional.value(0);
    if (first == u"import"_s) {
        const QString file = a.positional.value(1);
        if (file.isEmpty())
            return failed(c, u"Az import után meg kell adni a táblázat fájlját."_s);
        QByteArray data;
        if (const Result r = readWholeFile(file, data); !r)
            return failed(c, r);
        int count = 0;
        if (const Result r = importSwappedDays(c.programDir, data, QDir::toNativeSeparators(file), &count); !r)
            return failed(c, r);
        c.out << u"%1 nap került a munkarendbe: %2"_s.arg(count).arg(QDir::toNativeSeparators(
                     swappedDayPath(c.programDir)))
              << Qt::endl;
        return ExitOk;
    }
    bool ok = first.isEmpty();
    const int year = first.isEmpty() ? 0 : first.toInt(&ok);
    if (!ok)
        return failed(c, u"Ismeretlen év: „%1”."_s.arg(first));
    if (const Result r = loadUserSwappedDays(c.programDir); !r)
        c.err << StreamPrompter::plainText(r.message()) << Qt::endl;
    static const std::array<QString, 3> words = {u"pihenőnap"_s, u"munkanap"_s, u"munkaszüneti nap"_s};
    for (const SwappedDay& d : swappedDays()) {
        if (year != 0 && d.date.year() != year)
            continue;
        c.out << d.date.toString(Qt::ISODate) << u'\t' << words[size_t(d.change)] << u'\t'
              << (d.change == DayChange::WorkingDay ? d.insteadOf.toString(Qt::ISODate) : QString()) << u'\t'
              << d.source << Qt::endl;
    }
    return ExitOk;
}

} // namespace

Command workdaysCommand() {
    return {u"munkarend"_s,
            u"[ÉV | import FÁJL]"_s,
            u"áthelyezett munkanapok és pihenőnapok"_s,
            u"Kiírja a program által ismert áthelyezett pihenőnapokat és ledolgozós szombatokat (a beépítetteket "
            u"és az adatkönyvtár munkarend.tsv fájljáét), soronként: dátum, fajta, munkanapnál az elcserélt "
            u"pihenőnap, forrás. import FÁJL: egy újabb év napjai az adatkönyvtár munkarend.tsv fájljába; a fájl "
            u"fejléce „datum nap helyett forras”, tabulátorral elválasztva; a fajta pihenőnap, munkanap vagy "
            u"munkaszüneti nap. Hibás táblázatból semmi sem kerül be."_s,
            {},
            0,
            2,
            runWorkdays};
}

} // namespace rv::cli
