#include "records.h"

#include "win1250.h"

#include <charconv>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {

// ---- writer -----------------------------------------------------------------------------

QString storableText(const QString& text) {
    // The reader refuses a longer field as damage.
    if (text.size() > kMaxFieldChars)
        return storableText(text.left(kMaxFieldChars));
    if (!text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString t = text;
    t.remove(u'"');
    t.replace(u"\r\n"_s, u" "_s);
    t.replace(u'\r', u' ');
    t.replace(u'\n', u' ');
    return t;
}

void RecordWriter::separate() {
    if (m_lineStarted)
        m_data.push_back(',');
    m_lineStarted = true;
}

RecordWriter& RecordWriter::str(const QString& text) {
    separate();
    m_data.push_back('"');
    // The form has no escape: a double quote would end the string early and a line end would
    // split it, breaking the rest of the file, so neither is ever written.
    const QByteArray bytes = win1250::encode(storableText(text));
    m_data.append(bytes.constData(), size_t(bytes.size()));
    m_data.push_back('"');
    return *this;
}

RecordWriter& RecordWriter::integer(qint64 value) {
    separate();
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    m_data.append(buf, size_t(end - buf));
    return *this;
}

QString singleToText(float value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, end - buf);
}

RecordWriter& RecordWriter::single(float value) {
    separate();
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    m_data.append(buf, size_t(end - buf));
    return *this;
}

RecordWriter& RecordWriter::date(const QDate& value) {
    separate();
    m_data.push_back('#');
    m_data.append(value.toString(u"yyyy-MM-dd"_s).toLatin1().toStdString());
    m_data.push_back('#');
    return *this;
}

RecordWriter& RecordWriter::endLine() {
    m_data.append("\r\n", 2);
    m_lineStarted = false;
    return *this;
}

// ---- reader -----------------------------------------------------------------------------

namespace {
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

RecordReader::RecordReader(QByteArray data, QString fileName)
    : m_data(std::move(data)), m_fileName(std::move(fileName)) {}

void RecordReader::fail(const QString& what) const { failAt(m_line, what); }

void RecordReader::failAt(int line, const QString& what) const {
    throw FormatError(u"Hibás adatfájl: %1 (%2. sor): %3"_s.arg(m_fileName).arg(line).arg(what));
}

void RecordReader::requireEnd() {
    int line = m_line;
    for (qsizetype i = m_pos; i < m_data.size(); ++i) {
        const char c = m_data[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= m_data.size() || m_data[i + 1] != '\n')))
            ++line;
        else if (!isTrailingByte(c))
            failAt(line, u"a megszámolt adatok után további tartalom áll"_s);
    }
}

float RecordReader::readSingleIn(Quantity q) {
    const int line = m_line;
    const float v = readSingle();
    if (!rangeOf(q).contains(double(v)))
        failAt(line, outOfRangeText(q, double(v)));
    return v;
}

qint16 RecordReader::readInt16In(Quantity q) {
    const ValueRange& r = rangeOf(q);
    const int line = m_line;
    const qint16 v = readInt16();
    if (!r.contains(v))
        failAt(line, outOfRangeText(q, v));
    return v;
}

qint16 RecordReader::readInt16In(int min, int max, const QString& what) {
    const int line = m_line;
    const qint16 v = readInt16();
    if (v < min || v > max)
        failAt(line, u"a(z) %1 (%2) nem %3 és %4 közötti"_s.arg(what).arg(v).arg(min).arg(max));
    return v;
}

bool RecordReader::atEnd() const {
    // Trailing blank lines and spaces are not a field.
    for (qsizetype i = m_pos; i < m_data.size(); ++i) {
        char c = m_data[i];
        if (!isTrailingByte(c))
            return false;
    }
    return true;
}

void RecordReader::requireRoom(qint64 minBytes, int countLine) {
    if (minBytes > remainingBytes() + 1)
        failAt(countLine > 0 ? countLine : m_line, u"a fájl rövidebb, mint amennyi adatot a darabszám ígér"_s);
}

RecordReader::Field RecordReader::next() {
    const qsizetype n = m_data.size();
    const char* d = m_data.constData();
    if (m_pos >= n)
        fail(u"váratlan fájlvég"_s);
    while (m_pos < n && isBlank(d[m_pos]))
        ++m_pos;
    Field f{d + m_pos, 0, false, m_line};
    // A field longer than any the program writes is refused where it starts, before it is
    // scanned to its end: a damaged file may hold one of hundreds of megabytes.
    auto tooLong = [&](qsizetype start) {
        fail(u"túl hosszú mező (több mint %1 karakter), így kezdődik: \"%2…\""_s.arg(kMaxFieldChars).arg(
            win1250::decode(d + start, kQuotedChars)));
    };
    if (m_pos < n && d[m_pos] == '"') {
        qsizetype start = ++m_pos;
        while (m_pos < n && d[m_pos] != '"') {
            if (isLineEnd(d[m_pos]))
                fail(u"le nem zárt idézőjel"_s);
            if (m_pos - start >= kMaxFieldChars)
                tooLong(start);
            ++m_pos;
        }
        if (m_pos >= n)
            fail(u"le nem zárt idézőjel"_s);
        f = Field{d + start, m_pos - start, true, m_line};
        ++m_pos;
        while (m_pos < n && isBlank(d[m_pos]))
            ++m_pos;
        if (m_pos < n && d[m_pos] != ',' && !isLineEnd(d[m_pos]))
            fail(u"hibás szöveges mező"_s);
    } else {
        qsizetype start = m_pos;
        while (m_pos < n && d[m_pos] != ',' && !isLineEnd(d[m_pos])) {
            if (m_pos - start >= kMaxFieldChars)
                tooLong(start);
            ++m_pos;
        }
        qsizetype end = m_pos;
        while (end > start && isBlank(d[end - 1]))
            --end;
        f = Field{d + start, end - start, false, m_line};
    }
    // Consume the separator: a comma, or one line end (CR LF, LF or CR).
    if (m_pos < n) {
        if (d[m_pos] == ',') {
            ++m_pos;
        } else if (d[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < n && d[m_pos] == '\n')
                ++m_pos;
            ++m_line;
        } else if (d[m_pos] == '\n') {
            ++m_pos;
            ++m_line;
        }
    }
    return f;
}

QString RecordReader::readField() {
    Field f = next();
    return win1250::decode(f.begin, f.size);
}

QString RecordReader::readString() {
    Field f = next();
    QString text = win1250::decode(f.begin, f.size);
    // No stored text holds a double quote; one in an unquoted field of a damaged file is dropped
    // so that what is read is what would be written back.
    if (!f.quoted && text.contains(u'"'))
        text.remove(u'"');
    return text;
}

qint64 RecordReader::readInteger(qint64 min, qint64 max) {
    Field f = next();
    const char* b = f.begin;
    const char* e = f.begin + f.size;
    if (b != e && *b == '+')
        ++b;
    qint64 value = 0;
    auto [ptr, ec] = std::from_chars(b, e, value);
    if (b == e || ec != std::errc() || ptr != e) {
        m_line = f.line;
        fail(u"egész számot vártam, ezt találtam: %1"_s.arg(quotedField(win1250::decode(f.begin, f.size))));
    }
    if (value < min || value > max) {
        m_line = f.line;
        fail(u"a szám (%1) kívül esik a megengedett tartományon"_s.arg(value));
    }
    return value;
}

qint32 RecordReader::readInt32() {
    qint64 v = 0;
    if (fastInteger(-2147483647LL - 1, 2147483647LL, v))
        return qint32(v);
    return qint32(readInteger(-2147483647LL - 1, 2147483647LL));
}

float RecordReader::readSingle() {
    Field f = next();
    const char* b = f.begin;
    const char* e = f.begin + f.size;
    if (b != e && *b == '+')
        ++b;
    float value = 0;
    auto [ptr, ec] = std::from_chars(b, e, value);
    if (b == e || ec != std::errc() || ptr != e || !std::isfinite(value)) {
        m_line = f.line;
        fail(u"számot vártam, ezt találtam: %1"_s.arg(quotedField(win1250::decode(f.begin, f.size))));
    }
    return value;
}

QDate RecordReader::readDate() {
    Field f = next();
    QString text = QString::fromLatin1(f.begin, f.size);
    QDate date;
    if (text.size() >= 2 && text.startsWith(u'#') && text.endsWith(u'#'))
        date = QDate::fromString(text.mid(1, text.size() - 2), u"yyyy-M-d"_s);
    if (!date.isValid()) {
        m_line = f.line;
        fail(u"dátumot vártam, ezt találtam: %1"_s.arg(quotedField(win1250::decode(f.begin, f.size))));
    }
    return date;
}

} // namespace rv
