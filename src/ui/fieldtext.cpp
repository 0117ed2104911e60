#include "fieldtext.h"

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
