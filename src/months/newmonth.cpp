#include "newmonth.h"

#include "storage/numeric.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {

std::optional<int> newMonthYear(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const int year = t.toInt(&ok);
    if (!ok || year < 1 || year > 9999)
        return std::nullopt;
    return year;
}

QString badYearMessage() { return u"Kérem adjon meg egy évszámot 1 és 9999 között (csak számjegyekkel)."_s; }

QString clampTargetText(const QString& text) {
    const std::optional<double> v = toNumber(text);
    if (!v)
        return text;
    if (*v < 0)
        return u"0"_s;
    if (*v > kMaxTargetKm)
        return QString::number(kMaxTargetKm);
    return text;
}

int targetKm(const QString& text) {
    const std::optional<double> v = toNumber(text);
    if (!v)
        return 0;
    return roundHalfEven(std::clamp(*v, 0.0, double(kMaxTargetKm)));
}

std::pair<int, int> firstMonthWithoutLogbook(const LogbookListing& listing, const QDate& today) {
    int latest = 0; // year * 12 + month - 1
    bool any = false;
    auto meet = [&](int year, int month) {
        if (year < 1 || month < 1 || month > 12)
            return;
        latest = any ? std::max(latest, year * 12 + month - 1) : year * 12 + month - 1;
        any = true;
    };
    for (const LogbookEntry& e : listing.entries)
        meet(e.year, e.month);
    for (const LogbookListing::Unreadable& u : listing.unreadable)
        meet(u.year, u.month);
    if (!any)
        return {today.year(), today.month()};
    const int next = std::min(latest + 1, 9999 * 12 + 11);
    return {next / 12, next % 12 + 1};
}

QString deleteMonthQuestion(const QString& line) {
    return u"Biztos törli a kiválasztott hónapot?\r\n("_s + line + u')';
}

QString overwriteMonthQuestion() {
    return u"A megkezdeni kívánt hónap már létezik. Az új hónap felül fogja írni a régit.\r\nKívánja folytatni?"_s;
}

} // namespace rv
