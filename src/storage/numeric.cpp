#include "numeric.h"

#include "records.h"

#include <cmath>

namespace rv {
namespace {

// Length of the longest numeric prefix of s starting at i (after blanks), 0 if none.
qsizetype numericPrefix(const QString& s, qsizetype i) {
    const qsizetype start = i;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && (s[i] == u'.' || s[i] == u',')) {
        qsizetype j = i + 1;
        qsizetype frac = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++frac;
        }
        if (digits + frac > 0) {
            i = j;
            digits += frac;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        qsizetype exp = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++exp;
        }
        if (exp > 0)
            i = j;
    }
    return i - start;
}

double parsePrefix(const QString& s, qsizetype start, qsizetype len) {
    QString t = s.mid(start, len);
    t.replace(u',', u'.');
    return t.toDouble();
}

bool isGroupingSpace(QChar c) {
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

QString ungrouped(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool whole = true; // before the decimal mark
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u',' || c == u'.')
            whole = false;
        if (whole && isGroupingSpace(c) && !out.isEmpty() && isAsciiDigit(out.back())) {
            // A run of spaces (a slip of the thumb) goes when a digit follows it.
            qsizetype j = i;
            while (j < text.size() && isGroupingSpace(text[j]))
                ++j;
            if (j < text.size() && isAsciiDigit(text[j])) {
                i = j - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool isNumeric(const QString& text) {
    const QString t = ungrouped(text).trimmed();
    if (t.isEmpty())
        return false;
    return numericPrefix(t, 0) == t.size();
}

std::optional<double> toNumber(const QString& text) {
    const QString t = ungrouped(text).trimmed();
    if (t.isEmpty() || numericPrefix(t, 0) != t.size())
        return std::nullopt;
    double v = parsePrefix(t, 0, t.size());
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype len = numericPrefix(t, 0);
    if (len == 0)
        return 0;
    double v = parsePrefix(t, 0, len);
    return std::isfinite(v) ? v : 0;
}

int roundHalfEven(double value) { return int(std::nearbyint(value)); }

QString shownNumber(QString plain) {
    plain.replace(u'.', u',');
    return plain;
}

QString singleText(float value) { return shownNumber(singleToText(value)); }

} // namespace rv
