#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <stdexcept>

namespace rv {

// The text form of every data file: comma-separated values, strings in double quotes (no
// escapes), bare integers, shortest single-precision numbers with ".", dates as #yyyy-mm-dd#,
// Windows-1250 text and CR LF line ends.
class RecordWriter {
public:
    RecordWriter& str(const QString& text);
    RecordWriter& integer(qint64 value);
    RecordWriter& single(float value);
    RecordWriter& date(const QDate& value);
    RecordWriter& boolean(bool value);
    RecordWriter& endLine();

    // A whole line of one string, the commonest statement.
    RecordWriter& line(const QString& text) { return str(text).endLine(); }
    RecordWriter& line(qint64 value) { return integer(value).endLine(); }

    const QByteArray& data() const { return m_data; }
    void reserve(qsizetype bytes) { m_data.reserve(bytes); }

private:
    void separate();
    QByteArray m_data;
    bool m_lineStarted = false;
};

// Shortest decimal text of a single-precision number ("7.5", "1.1", "1").
QString singleToText(float value);

// Thrown by the reader; the message names the file and the line in Hungarian.
class FormatError : public std::runtime_error {
public:
    FormatError(QString message) : std::runtime_error("format error"), m_message(std::move(message)) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Reads fields one at a time as the writer wrote them: a field ends at a comma or at a line end
// (CR LF, LF or CR), a quoted string may hold commas.
class RecordReader {
public:
    RecordReader(QByteArray data, QString fileName);

    QString readString();
    qint16 readInt16();
    qint32 readInt32();
    float readSingle();
    QDate readDate();
    bool readBool();
    // The raw text of the next field, quotes removed, for callers that parse it themselves.
    QString readField();

    bool atEnd() const;
    int line() const { return m_line; }
    const QString& fileName() const { return m_fileName; }
    qsizetype remainingBytes() const { return m_data.size() - m_pos; }

    // Refuses a count whose values cannot all be in the rest of the file, before anyone
    // allocates room for them: the caller says how many bytes those values take at least.
    void requireRoom(qint64 minBytes);

    [[noreturn]] void fail(const QString& what) const;

private:
    // Next field as a byte range; quoted tells whether it was in quotes.
    struct Field {
        const char* begin;
        qsizetype size;
        bool quoted;
        int line;
    };
    Field next();
    qint64 readInteger(qint64 min, qint64 max);

    QByteArray m_data;
    QString m_fileName;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace rv
