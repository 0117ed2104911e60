#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rv::cli {

// A table for spreadsheets set to Hungarian: UTF-8 with a byte order mark (so the accented
// letters are read right), ";" between fields (the "," is the decimal separator there) and CR LF
// line ends. Control characters other than the line break become spaces. A field holding ";", a
// quote or a line break is quoted; one a spreadsheet would run as a formula is guarded
// (guardSpreadsheetText).
class CsvWriter {
public:
    CsvWriter();
    void row(const QStringList& fields);
    const QByteArray& data() const { return m_data; }

    static QString field(const QString& text);

private:
    QByteArray m_data;
};

} // namespace rv::cli
