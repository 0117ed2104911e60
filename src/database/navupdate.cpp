#include "navupdate.h"

#include "storage/navpaste.h"
#include "storage/settings.h"

#include <QRegularExpression>
#include <QUrl>

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

QString defaultNavListUrl() { return u"https://nav.gov.hu/ugyfeliranytu/uzemanyag"_s; }

QString navListUrl(const Settings* settings) {
    const QString stored = settings ? settings->text(kNavListUrlKey).trimmed() : QString();
    return stored.isEmpty() ? defaultNavListUrl() : stored;
}

namespace {

struct Link {
    QUrl url;
    QString text;
};

// The page's links that stay on the list page's host and under its path; nothing else is followed.
QVector<Link> linksOf(const QByteArray& page, const QString& pageUrl, const QString& rootUrl) {
    static const QRegularExpression anchor(
        u"<a\\s[^>]*?href\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))[^>]*>(.*?)</a\\s*>"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(u"<[^>]*>"_s);
    const QUrl base(pageUrl);
    const QUrl root(rootUrl.isEmpty() ? pageUrl : rootUrl);
    QString basePath = root.path();
    if (!basePath.endsWith(u'/'))
        basePath += u'/';
    QVector<Link> links;
    const QString text = QString::fromUtf8(page);
    for (auto it = anchor.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString href = m.captured(1) + m.captured(2) + m.captured(3);
        href.replace(u"&amp;"_s, u"&"_s);
        const QUrl url = base.resolved(QUrl(href.trimmed()));
        if (!url.isValid() || url.scheme() != root.scheme() || url.host() != root.host() || url.port() != root.port() ||
            url.hasQuery() || !url.path().startsWith(basePath) || url.path().contains(u"/../"_s))
            continue;
        QString label = m.captured(4);
        label.replace(tag, u" "_s);
        links.append(Link{url, label.simplified()});
    }
    return links;
}

} // namespace

QString yearPageLink(const QByteArray& page, const QString& pageUrl, int year, const QString& rootUrl) {
    const QRegularExpression named(u"(?<!\\d)%1(?!\\d)"_s.arg(year));
    const QVector<Link> links = linksOf(page, pageUrl, rootUrl);
    for (const Link& l : links)
        if (named.match(l.url.path()).hasMatch())
            return l.url.toString();
    for (const Link& l : links)
        if (named.match(l.text).hasMatch() && l.text.contains(u"zemanyag"_s, Qt::CaseInsensitive))
            return l.url.toString();
    return {};
}

QString archiveLink(const QByteArray& page, const QString& pageUrl) {
    for (const Link& l : linksOf(page, pageUrl, {}))
        if (l.text.contains(u"Korábbi"_s, Qt::CaseInsensitive) || l.url.path().contains(u"korabbi"_s, Qt::CaseInsensitive))
            return l.url.toString();
    return {};
}

Result downloadNavRowsViaList(PageSource& source, const QString& listUrl, const QString& urlTemplate,
                              const QDate& today, QVector<NavPriceRow>& rows) {
    const PageResult list = source.fetch(listUrl);
    if (list.cancelled)
        return Result::failure(u"A letöltés megszakítva; semmi sem változott."_s);
    PageResult archive;
    QString archiveUrl;
    QVector<NavPage> pages;
    const QVector<NavPage> fallbacks = navPagesFor(urlTemplate, today);
    for (int year : {today.addMonths(-1).year(), today.year()}) {
        if (!pages.isEmpty() && pages.last().year == year)
            continue;
        QString link = list.ok ? yearPageLink(list.body, listUrl, year) : QString();
        if (link.isEmpty() && list.ok) {
            if (archiveUrl.isEmpty() && !(archiveUrl = archiveLink(list.body, listUrl)).isEmpty()) {
                archive = source.fetch(archiveUrl);
                if (archive.cancelled)
                    return Result::failure(u"A letöltés megszakítva; semmi sem változott."_s);
            }
            if (archive.ok)
                link = yearPageLink(archive.body, archiveUrl, year, listUrl);
        }
        if (!link.isEmpty()) {
            pages.append(NavPage{link, year});
            continue;
        }
        // The template's page of the year; one without a year stands for every year, once.
        const auto own = std::find_if(fallbacks.begin(), fallbacks.end(), [&](const NavPage& p) { return p.year == year; });
        const NavPage fallback = own != fallbacks.end() ? *own : fallbacks.value(0);
        if (!std::any_of(pages.begin(), pages.end(), [&](const NavPage& p) { return p.url == fallback.url; }))
            pages.append(fallback);
    }
    const Result r = downloadNavRows(source, pages, rows);
    if (!r && !list.ok)
        return Result::failure(u"A NAV üzemanyagár-oldalainak listája (%1) nem tölthető le: %2\r\nAz év oldalát a "
                               u"régi címén kerestem:\r\n%3"_s.arg(listUrl, list.error, r.message()));
    return r;
}

} // namespace rv
