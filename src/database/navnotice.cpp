#include "navnotice.h"

#include "model/monthprice.h"
#include "storage/navprices.h"
#include "storage/settings.h"
#include "storage/tables.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

NavNotice navMissingNotice(const AppState& s, const QDate& today) {
    NavNotice n;
    const QDate thisMonth(today.year(), today.month(), 1);
    for (int fuel = 0; fuel < kFuelTypeCount; ++fuel) {
        if (!publishedListWatched(s, fuel))
            continue;
        const QVector<FuelPrice> list = publishedList(s, fuel);
        if (list.isEmpty())
            continue; // a list that does not read is none in use
        QDate newest;
        for (const FuelPrice& p : list)
            if (p.month.isValid() && (!newest.isValid() || p.month > newest))
                newest = p.month;
        if (!newest.isValid())
            continue;
        const QDate next = QDate(newest.year(), newest.month(), 1).addMonths(1);
        if (next <= thisMonth && (!n.first.isValid() || next < n.first))
            n.first = next;
    }
    if (!n.first.isValid())
        return n;
    n.last = thisMonth;
    const int count = (n.last.year() - n.first.year()) * 12 + n.last.month() - n.first.month() + 1;
    const QString months = count == 1 ? navMonthText(n.first)
                                      : u"%1 – %2 (%3 hónap)"_s.arg(navMonthText(n.first), navMonthText(n.last)).arg(count);
    n.text = u"Hiányoznak a NAV üzemanyagárai: %1. Ezekre a hónapokra a költség egy korábbi hónap árával "
             u"készülne. Illessze be a NAV táblázatát, vagy töltse le a NAV honlapjáról."_s.arg(months);
    if (count == 1)
        n.text.replace(u"Hiányoznak a NAV üzemanyagárai"_s, u"Hiányzik a NAV üzemanyagára"_s)
            .replace(u"Ezekre a hónapokra"_s, u"Erre a hónapra"_s);
    return n;
}

bool folderUsesNavPrices(const AppState&) {
    // Every car costs by NAV's published prices until a car can choose its own list.
    return true;
}

NavNotice startupNavNotice(const AppState& s, const QDate& today) {
    if (!folderUsesNavPrices(s))
        return {};
    const QString month = today.toString(u"yyyy-MM"_s);
    if (s.settings && s.settings->text(kNavNoticeMonthKey) == month)
        return {};
    NavNotice n = navMissingNotice(s, today);
    if (n.due() && s.settings)
        s.settings->setText(kNavNoticeMonthKey, month);
    return n;
}

} // namespace rv
