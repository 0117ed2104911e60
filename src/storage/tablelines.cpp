#include "storage/tablelines.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QVector<TableLine> tableLines(const QByteArray& data) {
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    QVector<TableLine> out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        out.append(TableLine{int(i + 1), line});
    }
    return out;
}

Result refusedTableLine(const QString& table, const QString& fileName, int number, const QString& why) {
    return Result::failure(u"%1 (%2) %3. sora hibás: %4\r\nA táblázatból semmi sem került be."_s.arg(table, fileName)
                               .arg(number)
                               .arg(why),
                           62);
}

} // namespace rv
