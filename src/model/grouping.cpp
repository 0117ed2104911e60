#include "model/grouping.h"

#include <QRegularExpression>

namespace rv {

QString groupedDigits(qint64 value) {
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude);
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += QChar(0x00A0);
        out += digits[i];
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

QString shownFigure(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const bool negative = whole.startsWith(u'-');
    QString out = groupedDigits(whole.toLongLong());
    if (negative && !out.startsWith(u'-')) // -0,5
        out.prepend(u'-');
    return point < 0 ? out : out + u',' + text.mid(point + 1);
}

QString plainFigures(const QString& text) {
    QString out = text;
    for (qsizetype i = out.size() - 2; i > 0; --i)
        if (out[i] == QChar(0x00A0) && out[i - 1].isDigit() && out[i + 1].isDigit())
            out.remove(i, 1);
    return out;
}

QString groupedFigure(const QString& plain) {
    static const QRegularExpression whole(QStringLiteral("^-?\\d{1,18}$"));
    return whole.match(plain).hasMatch() ? groupedDigits(plain.toLongLong()) : plain;
}

} // namespace rv
