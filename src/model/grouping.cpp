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

QString groupedFigure(const QString& plain) {
    static const QRegularExpression whole(QStringLiteral("^-?\\d{1,18}$"));
    return whole.match(plain).hasMatch() ? groupedDigits(plain.toLongLong()) : plain;
}

} // namespace rv
