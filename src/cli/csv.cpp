#include "csv.h"

#include "storage/fieldtext.h"

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {

CsvWriter::CsvWriter() : m_data(QByteArrayLiteral("\xEF\xBB\xBF")) {}

QString CsvWriter::field(const QString& cell) {
    // A control character (ESC, BEL) would reach the terminal or the spreadsheet as a command;
    // only the line break stays.
    const QString text = guardSpreadsheetText(printableText(cell));
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

void CsvWriter::row(const QStringList& fields) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out << field(f);
    m_data += out.join(u';').toUtf8();
    m_data += "\r\n";
}

} // namespace rv::cli
