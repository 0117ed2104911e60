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

QString deleteMonthQuestion(const QString& line) {
    return u"Biztos törli a kiválasztott hónapot?\r\n("_s + line + u')';
}

QString overwriteMonthQuestion() {
    return u"A megkezdeni kívánt hónap már létezik. Az új hónap felül fogja írni a régit.\r\nKívánja folytatni?"_s;
}

} // namespace rv
