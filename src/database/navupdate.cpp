#include "navupdate.h"

#include "storage/navpaste.h"
#include "storage/settings.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString defaultNavUrl() {
    // The authority's page of a year's prices, named as its address names it.
    return u"https://nav.gov.hu/ugyfeliranytu/uzemanyag/{évben}-alkalmazhato-uzemanyagarak"_s;
}

QString navUrlTemplate(const Settings* settings) {
    const QString stored = settings ? settings->text(kNavUrlKey).trimmed() : QString();
    return stored.isEmpty() ? defaultNavUrl() : stored;
}

QString yearInessive(int year) {
    // Back-vowel endings: három (3), hat (6), nyolc (8); húsz, harminc, hatvan, nyolcvan (tens);
    // száz, ezer, millió by the last word spoken.
    const int ones = year % 10;
    const int tens = year / 10 % 10;
    bool back = false;
    if (ones != 0)
        back = ones == 3 || ones == 6 || ones == 8;
    else if (tens != 0)
        back = tens == 2 || tens == 3 || tens == 6 || tens == 8;
    else if (year % 1000 != 0)
        back = true; // száz
    else
        back = false; // ezer
    return QString::number(year) + (back ? u"-ban"_s : u"-ben"_s);
}

QVector<NavPage> navPagesFor(const QString& urlTemplate, const QDate& today) {
    QVector<NavPage> pages;
    if (!urlTemplate.contains(u"{év}"_s) && !urlTemplate.contains(u"{évben}"_s)) {
        pages.append(NavPage{urlTemplate, 0});
        return pages;
    }
    const int previous = today.addMonths(-1).year();
    for (int year : {previous, today.year()}) {
        if (!pages.isEmpty() && pages.last().year == year)
            continue;
        QString url = urlTemplate;
        url.replace(u"{évben}"_s, yearInessive(year)).replace(u"{év}"_s, QString::number(year));
        pages.append(NavPage{url, year});
    }
    return pages;
}

Result downloadNavRows(PageSource& source, const QVector<NavPage>& pages, QVector<NavPriceRow>& rows) {
    QVector<NavPriceRow> all;
    for (const NavPage& page : pages) {
        const PageResult got = source.fetch(page.url);
        if (got.cancelled)
            return Result::failure(u"A letöltés megszakítva; semmi sem változott."_s);
        if (!got.ok)
            return Result::failure(u"A NAV oldala nem tölthető le (%1):\r\n%2\r\nSemmi sem változott."_s.arg(page.url,
                                                                                                       got.error));
        QVector<NavPriceRow> found;
        if (const Result r = parseNavPage(got.body, page.url, found, page.year); !r)
            return Result::failure(u"A letöltött oldalon (%1) nincs felismerhető NAV-ártáblázat:\r\n%2"_s.arg(
                page.url, r.message()));
        for (const NavPriceRow& row : found) {
            const bool twice = std::any_of(all.begin(), all.end(), [&](const NavPriceRow& r) {
                return r.year == row.year && r.month == row.month;
            });
            if (!twice)
                all.append(row);
        }
    }
    std::sort(all.begin(), all.end(),
              [](const NavPriceRow& a, const NavPriceRow& b) { return a.year * 12 + a.month < b.year * 12 + b.month; });
    rows = std::move(all);
    return Result::success();
}

} // namespace rv
