#pragma once

// Fetching NAV's yearly fuel-price pages. The network is reached only through PageSource, so
// that everything here reads and decides without it.

#include "storage/navprices.h"
#include "storage/result.h"

#include <QDate>
#include <QStringList>

namespace rv {

class Settings;

// One page fetched, or why not (in Hungarian, ready for the user).
struct PageResult {
    bool ok = false;
    bool cancelled = false;
    QByteArray body;
    QString error;
};

class PageSource {
public:
    virtual ~PageSource() = default;
    virtual PageResult fetch(const QString& url) = 0;
};

// The settings key of the page address and its default: {év} becomes the year, {évben} the
// year as NAV's address spells "in the year" ("2024-ben", "2026-ban").
inline const QString kNavUrlKey = QStringLiteral("NAV-árak címe");
QString defaultNavUrl();
QString navUrlTemplate(const Settings* settings);

// "2024-ben", "2026-ban": the inessive ending follows the spoken year's last word.
QString yearInessive(int year);

// The pages to fetch: the year of the previous month and this year's, each once; an address
// without {év} or {évben} is one page.
struct NavPage {
    QString url;
    int year = 0; // 0: the page's headings tell
};
QVector<NavPage> navPagesFor(const QString& urlTemplate, const QDate& today);

// The authority's fuel section lists its yearly pages on one page; its address is a setting.
inline const QString kNavListUrlKey = QStringLiteral("NAV-árak listaoldala");
QString defaultNavListUrl();
QString navListUrl(const Settings* settings);

// The address of a year's page a list page links to, empty when it has none: a link on the list
// page's own host, under its own path (rootUrl's when given: the page of earlier years), whose address names the year ("2026-ban-alkalmazhato-…",
// "uzemanyagar_2017") or whose text does beside "üzemanyag". The "Korábbi…" link to the page of
// earlier years likewise (archiveLink).
QString yearPageLink(const QByteArray& page, const QString& pageUrl, int year, const QString& rootUrl = {});
QString archiveLink(const QByteArray& page, const QString& pageUrl);

// The list page, then the page of each year it names (the year of the previous month and this
// year's), a year it does not name (or a list page that cannot be had) by the address template.
Result downloadNavRowsViaList(PageSource& source, const QString& listUrl, const QString& urlTemplate,
                              const QDate& today, QVector<NavPriceRow>& rows);

// Fetches each page and reads its table. The first page that fails, or whose text holds no
// table, ends the download with its reason: nothing was read is kept.
Result downloadNavRows(PageSource& source, const QVector<NavPage>& pages, QVector<NavPriceRow>& rows);

} // namespace rv
