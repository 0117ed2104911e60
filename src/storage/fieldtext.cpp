#include "fieldtext.h"

#include "storage/win1250.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString oneLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != 0x7f) {
            out.append(text[i]);
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i; // CR LF is one break
        out.append(u' ');
    }
    return out;
}

QString fieldText(const QString& text) { return oneLine(text).trimmed(); }

QString unstorableTextProblem(const QString& text) {
    const QStringList chars = win1250::unencodable(text);
    if (chars.isEmpty())
        return {};
    QStringList quoted;
    for (const QString& c : chars)
        quoted.append(u"„"_s + c + u"”"_s);
    const bool one = chars.size() == 1;
    return u"Az %1 %2 a program adatfájljaiban (ezek a közép-európai, Windows-1250 kódlapot "
           u"használják), ezért ide nem %3 be. Kérem, használjon helyette másik betűt (például ékezet nélkülit)."_s.arg(
        quoted.join(u", "_s), one ? u"karakter nem tárolható"_s : u"karakterek nem tárolhatók"_s,
        one ? u"írható"_s : u"írhatók"_s);
}

QString printableText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF that follows is the break
        if (c == u'\n')
            out.append(u'\n');
        else if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
            out.append(u' ');
        else
            out.append(text[i]);
    }
    return out;
}

QString guardSpreadsheetText(const QString& text) {
    if (text.isEmpty() || !QStringView(u"=+-@\t\r").contains(text[0]))
        return text;
    // Digits after the sign, with at most one decimal mark between them.
    bool digits = false;
    bool mark = false;
    bool number = text.size() > 1 && (text[0] == u'-' || text[0] == u'+');
    for (qsizetype i = 1; number && i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if ((c == u',' || c == u'.') && digits && !mark && i + 1 < text.size())
            mark = true;
        else
            number = false;
    }
    return number && digits ? text : u'\'' + text;
}

bool isWholeNumberText(const QString& text, int min, int max) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return true;
    if (t.size() > QString::number(max).size())
        return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return false;
    const int value = t.toInt();
    return value >= min && value <= max;
}

} // namespace rv
