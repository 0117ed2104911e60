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

// Fetches each page and reads its table. The first page that fails, or whose text holds no
// table, ends the download with its reason: nothing was read is kept.
Result downloadNavRows(PageSource& source, const QVector<NavPage>& pages, QVector<NavPriceRow>& rows);

} // namespace rv
