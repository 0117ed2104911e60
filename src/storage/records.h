#pragma once

#include "storage/result.h"
#include "storage/tables.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <QtEndian>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string>

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
    RecordWriter& endLine();

    // A whole line of one string, the commonest statement.
    RecordWriter& line(const QString& text) { return str(text).endLine(); }
    RecordWriter& line(qint64 value) { return integer(value).endLine(); }

    QByteArray data() const { return QByteArray(m_data.data(), qsizetype(m_data.size())); }
    void reserve(qsizetype bytes) { m_data.reserve(size_t(bytes)); }

private:
    void separate();
    std::string m_data; // a plain buffer: millions of small appends are cheap on it
    bool m_lineStarted = false;
};

// A text as the files can hold it: double quotes dropped, line ends turned into spaces, cut at
// kMaxFieldChars.
QString storableText(const QString& text);

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

// A byte that may follow the last record: a line end, a blank, or the end-of-file mark of DOS.
inline bool isTrailingByte(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '\x1a'; }

namespace pairlines {

inline quint64 load8(const char* at) {
    quint64 v;
    std::memcpy(&v, at, 8);
    return qFromLittleEndian(v);
}

// Bit i set where at[i] is a line feed, for the 64 bytes from at: eight bytes at a time, on any
// machine.
inline quint64 lineFeeds64Portable(const char* at) {
    constexpr quint64 ones = 0x0101010101010101ULL, low7 = 0x7F7F7F7F7F7F7F7FULL;
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i) {
        const quint64 t = load8(at + 8 * i) ^ (ones * '\n');
        const quint64 zero = ~(((t & low7) + low7) | t | low7); // the high bit of each zero byte, exactly
        bits |= (((zero >> 7) * 0x0102040810204080ULL) >> 56) << (8 * i);
    }
    return bits;
}

// The same, sixteen bytes at a time where the processor has SSE2 (every x86-64).
inline quint64 lineFeeds64(const char* at) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i lf = _mm_set1_epi8('\n');
    quint64 bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
        bits |= quint64(quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << (16 * i);
    }
    return bits;
#else
    return lineFeeds64Portable(at);
#endif
}

// How many line feeds stand from from to to.
inline qint64 countLineFeeds(const char* from, const char* to) {
    qint64 n = 0;
    for (; to - from >= 64; from += 64)
        n += std::popcount(lineFeeds64(from));
    return n + std::count(from, to, '\n');
}

// Lines "ddddd,t" CR LF as the partner file's writer puts them (one to five digits, one digit),
// up to count, each handed to take; p moves past them and stops at the first line of any other
// form (or near the end of the data) for the long way to judge. The line ends are found 64 bytes at a
// time, so each line is parsed from its known length and no line waits for the one before.
// slack: how many bytes past end may still be looked at (0, or at least 64 to read to end).
template <typename Take>
int commonPairLines(const char*& p, const char* end, int count, Take& take, qsizetype slack = 0) {
    constexpr quint64 ones = 0x0101010101010101ULL, high = 0x8080808080808080ULL;
    int done = 0;
    const char* lineStart = p;
    const char* readable = end + slack;
    for (const char* w = p; done < count && w < end && readable - w >= 64 && w - lineStart < 16; w += 64) {
        quint64 feeds = lineFeeds64(w);
        if (end - w < 64)
            feeds &= (quint64(1) << (end - w)) - 1;
        while (feeds) {
            const char* feed = w + std::countr_zero(feeds);
            feeds &= feeds - 1;
            const qsizetype digits = feed - lineStart - 3;
            if (digits < 1 || digits > 5 || readable - lineStart < 8)
                return p = lineStart, done;
            const quint64 v = load8(lineStart);
            // High bit of each byte that is not a digit. A digit never carries or borrows into
            // the next byte, so the bytes up to the first non-digit are judged exactly.
            const quint64 notDigit = ((v + ones * 0x46) | (v - ones * '0')) & high;
            const auto* u = reinterpret_cast<const unsigned char*>(lineStart) + digits;
            if ((notDigit & ((quint64(1) << (8 * digits)) - 1)) || u[0] != ',' || unsigned(u[1] - '0') >= 10 ||
                u[2] != '\r')
                return p = lineStart, done;
            // The digits moved to the top bytes with zeros below, then summed pairwise: the
            // first digit is the most significant.
            quint64 x = (v & (ones * 0x0F)) << (8 * (8 - digits));
            x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFULL;
            x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFULL;
            x = (x * 10000 + (x >> 32)) & 0xFFFFFFFFULL;
            if (!take(int(x), u[1] - '0'))
                return p = lineStart, done;
            lineStart = feed + 1;
            if (++done == count)
                return p = lineStart, done;
        }
    }
    return p = lineStart, done;
}

} // namespace pairlines

// Reads fields one at a time as the writer wrote them: a field ends at a comma or at a line end
// (CR LF, LF or CR), a quoted string may hold commas.
class RecordReader {
public:
    RecordReader(QByteArray data, QString fileName);

    QString readString();
    qint16 readInt16() {
        qint64 v = 0;
        if (fastInteger(-32768, 32767, v))
            return qint16(v);
        return qint16(readInteger(-32768, 32767));
    }
    qint32 readInt32();
    float readSingle();
    QDate readDate();
    // The raw text of the next field, quotes removed, for callers that parse it themselves.
    QString readField();

    // A number that must lie in its range of the value table; the message names its line.
    float readSingleIn(Quantity q);
    qint16 readInt16In(Quantity q);
    // A 16-bit number from min to max, what naming it in the message ("darabszám").
    qint16 readInt16In(int min, int max, const QString& what);

    // Lines of two whole numbers "a,b" exactly as the writer puts them (digits, a minus at most,
    // each line ended), up to count of them, each handed to take(a, b) in turn: how many were
    // taken. Stops before the first line of any other form or that take refuses (returns false),
    // leaving it to the field readers to read and judge; a partner file's millions of cells are
    // read this way without a field scan each.
    template <typename Take>
    int readPairLines(int count, Take&& take) {
        // A QByteArray ends in a zero byte: no digit, comma or line end, so no scan runs past it.
        const char* d = m_data.constData();
        const char* end = d + m_data.size();
        const char* p = d + m_pos;
        int done = 0;
        auto number = [](const char*& q, int& out) {
            const bool negative = *q == '-';
            q += negative;
            const char* start = q;
            int value = 0;
            while (unsigned(*q - '0') < 10 && q - start < 6)
                value = value * 10 + (*q++ - '0');
            out = negative ? -value : value;
            return q != start && q - start < 6;
        };
        while (done < count) {
            done += pairlines::commonPairLines(p, end, count - done, take);
            if (done == count)
                break;
            // A line of another form, or one the fast way could not finish.
            const char* q = p;
            int a = 0, b = 0;
            if (!number(q, a) || *q != ',')
                break;
            ++q;
            if (!number(q, b) || (*q != '\r' && *q != '\n'))
                break;
            q += 1 + (q[0] == '\r' && q[1] == '\n');
            if (!take(a, b))
                break;
            p = q;
            ++done;
        }
        m_line += done;
        m_pos = p - d;
        return done;
    }

    bool atEnd() const;
    // Anything but blank lines after the last record is damage, told at the line it starts.
    void requireEnd();
    int line() const { return m_line; }
    const QString& fileName() const { return m_fileName; }
    qsizetype remainingBytes() const { return m_data.size() - m_pos; }

    // Refuses a count whose values cannot all be in the rest of the file, before anyone
    // allocates room for them: the caller says how many bytes those values take at least.
    // countLine is the line of the count, which the message names.
    void requireRoom(qint64 minBytes, int countLine = 0);

    [[noreturn]] void fail(const QString& what) const;
    // For a value already read: names the line it came from.
    [[noreturn]] void failAt(int line, const QString& what) const;

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

    // The millions of cells of a partner file are plain digits ended by a comma or a line end;
    // this reads those in place and leaves anything else to readInteger.
    bool fastInteger(qint64 min, qint64 max, qint64& out) {
        const qsizetype n = m_data.size();
        const char* d = m_data.constData();
        qsizetype i = m_pos;
        const bool negative = i < n && d[i] == '-';
        if (negative)
            ++i;
        const qsizetype start = i;
        qint64 value = 0;
        while (i < n && i - start < 12 && d[i] >= '0' && d[i] <= '9')
            value = value * 10 + (d[i++] - '0');
        if (i == start || i - start >= 12 || (i < n && d[i] != ',' && d[i] != '\r' && d[i] != '\n'))
            return false;
        if (negative)
            value = -value;
        if (value < min || value > max)
            return false;
        if (i < n) {
            if (d[i] == ',') {
                ++i;
            } else {
                if (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n')
                    ++i;
                ++i;
                ++m_line;
            }
        }
        m_pos = i;
        out = value;
        return true;
    }

    QByteArray m_data;
    QString m_fileName;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// Runs a reader over a file's bytes; a format error becomes a failed result (error 62) whose
// message names the file and the line.
template <typename Fn>
Result parseRecords(const QByteArray& data, const QString& fileName, Fn&& fn) {
    RecordReader in(data, fileName);
    try {
        fn(in);
    } catch (const FormatError& e) {
        return Result::failure(e.message(), 62);
    }
    return Result::success();
}

} // namespace rv
