#include "taxid.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

const QDate kDayZero(1867, 1, 1);

} // namespace

std::optional<int> taxIdCheckDigit(const QString& nine) {
    if (nine.size() < 9 || !allDigits(nine.left(9)))
        return std::nullopt;
    int sum = 0;
    for (int i = 1; i <= 9; ++i)
        sum += (nine.at(i - 1).unicode() - u'0') * i;
    const int rest = sum % 11;
    if (rest == 10)
        return std::nullopt;
    return rest;
}

std::optional<QDate> taxIdBirthDate(const QString& id) {
    const QString t = id.trimmed();
    if (t.size() != kTaxIdLength || !allDigits(t))
        return std::nullopt;
    return kDayZero.addDays(t.mid(1, 5).toInt());
}

QString taxIdProblem(const QString& id, const QDate& today) {
    const QString t = id.trimmed();
    if (!allDigits(t))
        return u"Az adóazonosító jel csak számjegyekből állhat."_s;
    if (t.size() != kTaxIdLength)
        return u"Az adóazonosító jel 10 számjegyből áll, a megadott %1 számjegyű."_s.arg(t.size());
    if (t.at(0) != u'8')
        return u"Magánszemély adóazonosító jele 8-as számjeggyel kezdődik."_s;
    const std::optional<int> check = taxIdCheckDigit(t);
    if (!check)
        return u"Az adóazonosító jel első kilenc számjegyéhez nem tartozik ellenőrző szám: "
               u"ilyen adóazonosító jel nem létezik. Kérem, ellenőrizze a számjegyeket."_s;
    if (t.at(9).unicode() - u'0' != *check)
        return u"Az adóazonosító jel ellenőrző száma (utolsó számjegye) hibás: elírás lehet a "
               u"számjegyek között."_s;
    if (const std::optional<QDate> born = taxIdBirthDate(t); born && *born > today)
        return u"Az adóazonosító jel szerinti születési nap (%1) későbbi a mai napnál."_s.arg(
            born->toString(u"yyyy.MM.dd."_s));
    return {};
}

} // namespace rv
