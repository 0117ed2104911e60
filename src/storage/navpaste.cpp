#include "navpaste.h"

#include "tables.h"
#include "win1250.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kNoMonth = 0;
const QString kYearMark = u"\u0001ev:"_s;
const QString kEmptyCell = u"\u0001ures"_s;

int monthOfWord(QString word) {
    static const QStringList plain = {u"januar"_s,   u"februar"_s,   u"marcius"_s, u"aprilis"_s,
                                      u"majus"_s,    u"junius"_s,    u"julius"_s,  u"augusztus"_s,
                                      u"szeptember"_s, u"oktober"_s, u"november"_s, u"december"_s};
    while (!word.isEmpty() && (word.endsWith(u'.') || word.endsWith(u':') || word.endsWith(u',')))
        word.chop(1);
    word = word.toLower();
    for (int m = 1; m <= 12; ++m)
        if (word == MonthNames()[size_t(m - 1)].toLower() || word == plain[m - 1])
            return m;
    return kNoMonth;
}

std::optional<NavColumn> columnOfWord(const QString& word) {
    const QString w = word.toLower();
    if (w == u"esz"_s || w.startsWith(u"esz-9"_s) || w.startsWith(u"esz9"_s))
        return NavEsz95;
    if (w.startsWith(u"gázolaj"_s) || w.startsWith(u"gazolaj"_s))
        return NavGazolaj;
    if (w.startsWith(u"keverék"_s) || w.startsWith(u"keverek"_s))
        return NavKeverek;
    if (w.startsWith(u"lpg"_s))
        return NavLpg;
    if (w.startsWith(u"cng"_s))
        return NavCng;
    return std::nullopt;
}

bool isDash(const QString& w) { return w == u"-"_s || w == u"\u2013"_s || w == u"\u2014"_s; }

bool isNumber(const QString& w) {
    return !w.isEmpty() && w.size() <= 9 && std::all_of(w.begin(), w.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Words of the text; an empty cell of a tab-separated line is a word of its own.
QStringList wordsOf(QString text) {
    static const QRegularExpression heading(u"(\\d{4})\\s*\\.\\s*év\\b"_s, QRegularExpression::UseUnicodePropertiesOption);
    text.replace(heading, u" "_s + kYearMark + u"\\1 "_s);
    text.replace(QChar(0x00A0), u' ');
    text.replace(u'\r', u'\n');
    QStringList words;
    static const QRegularExpression space(u"\\s+"_s);
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (!line.contains(u'\t')) {
            words << line.split(space, Qt::SkipEmptyParts);
            continue;
        }
        for (const QString& cell : line.split(u'\t')) {
            const QStringList cellWords = cell.split(space, Qt::SkipEmptyParts);
            if (cellWords.isEmpty())
                words << kEmptyCell;
            else
                words << cellWords;
        }
    }
    return words;
}

Result refused(const QString& why) {
    return Result::failure(why + u"\r\nA szövegből semmi sem került be."_s, 62);
}

} // namespace

Result parseNavPastedText(const QString& text, const QString& source, QVector<NavPriceRow>& out, int defaultYear) {
    const QStringList words = wordsOf(text);
    QVector<NavPriceRow> rows;
    QSet<int> seen;
    int year = defaultYear;
    QVector<NavColumn> columns;
    bool columnsFixed = false; // once a row of the year is read, later headings are ordinary text
    bool monthWithoutYear = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w.startsWith(kYearMark)) {
            year = w.mid(kYearMark.size()).toInt();
            columns.clear();
            columnsFixed = false;
            continue;
        }
        if (!columnsFixed)
            if (const auto column = columnOfWord(w); column && !columns.contains(*column)) {
                columns.append(*column);
                continue;
            }
        const int month = monthOfWord(w);
        if (month == kNoMonth)
            continue;
        QStringList values;
        const qsizetype wanted = columns.isEmpty() ? qsizetype(kNavColumnCount) : columns.size();
        for (qsizetype j = i + 1; j < words.size() && values.size() < wanted; ++j) {
            const QString& v = words[j];
            if (!isNumber(v) && !isDash(v) && v != kEmptyCell)
                break;
            values << v;
        }
        // A month named in ordinary text ("május 20-ig") is no row.
        const auto priced = std::count_if(values.begin(), values.end(), [](const QString& v) { return isNumber(v); });
        if (priced == 0 || values.size() < std::min<qsizetype>(2, wanted))
            continue;
        if (year < 1 || year > 9999) {
            monthWithoutYear = true;
            continue;
        }
        const QString name = navMonthText(QDate(year, month, 1));
        if (values.size() < wanted)
            return refused(u"A(z) %1 sorában %2 ár van %3 helyett."_s.arg(name).arg(values.size()).arg(wanted));
        if (seen.contains(year * 12 + month))
            return refused(u"A(z) %1 kétszer szerepel."_s.arg(name));
        seen.insert(year * 12 + month);
        NavPriceRow row;
        row.year = year;
        row.month = month;
        row.source = source;
        for (qsizetype c = 0; c < wanted; ++c) {
            const QString& v = values[c];
            if (isDash(v) || v == kEmptyCell)
                continue;
            const qint64 price = v.toLongLong();
            if (price < 1 || price > 32767)
                return refused(u"A(z) %1 ára („%2”) nem 1 és 32767 közötti egész szám."_s.arg(name, v));
            const NavColumn column = columns.isEmpty() ? NavColumn(c) : columns[c];
            row.prices[size_t(column)] = qint16(price);
        }
        columnsFixed = true;
        rows.append(row);
        i += values.size();
    }
    if (rows.isEmpty())
        return refused(monthWithoutYear ? u"A táblázat évét nem találtam (a NAV oldalán például „2024.év”)."_s
                                        : u"A szövegben nem találtam NAV-ártáblázatot (soronként a hónap neve, "
                                          u"utána az árak)."_s);
    std::sort(rows.begin(), rows.end(),
              [](const NavPriceRow& a, const NavPriceRow& b) { return a.year * 12 + a.month < b.year * 12 + b.month; });
    out = std::move(rows);
    return Result::success();
}

Result parseNavPage(const QByteArray& html, const QString& source, QVector<NavPriceRow>& out, int defaultYear) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(html);
    if (utf8.hasError())
        text = win1250::decode(html);
    // By hand, in one pass each: a page of unclosed "<" or "<script" must not take quadratic time.
    const auto removeBetween = [](const QString& in, QStringView open, QStringView close) {
        QString out;
        qsizetype at = 0;
        while (true) {
            const qsizetype start = in.indexOf(open, at, Qt::CaseInsensitive);
            if (start < 0)
                break;
            out += QStringView(in).mid(at, start - at);
            const qsizetype end = in.indexOf(close, start + open.size(), Qt::CaseInsensitive);
            if (end < 0)
                return out;
            at = end + close.size();
        }
        out += QStringView(in).mid(at);
        return out;
    };
    text = removeBetween(text, u"<!--", u"-->");
    text = removeBetween(text, u"<script", u"</script>");
    text = removeBetween(text, u"<style", u"</style>");
    // The page's own line ends are only spaces; its table gives the lines: a cell ends with a
    // tab, a row with a line end, any other tag is a space.
    text.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'<') {
            plain += text[i++];
            continue;
        }
        const qsizetype end = text.indexOf(u'>', i);
        if (end < 0) {
            plain += QStringView(text).mid(i);
            break;
        }
        const QStringView tag = QStringView(text).mid(i + 1, end - i - 1).trimmed();
        const auto named = [&](QStringView name) {
            return tag.startsWith(name, Qt::CaseInsensitive) &&
                   (tag.size() == name.size() || !tag[name.size()].isLetterOrNumber());
        };
        plain += named(u"/td") || named(u"/th") ? u'\t' : named(u"/tr") ? u'\n' : u' ';
        i = end + 1;
    }
    text = std::move(plain);
    static const QRegularExpression reference(u"&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]{2,8});"_s);
    static const QHash<QString, QString> named = {
        {u"nbsp"_s, u" "_s},      {u"amp"_s, u"&"_s},       {u"lt"_s, u"<"_s},        {u"gt"_s, u">"_s},
        {u"quot"_s, u"\""_s},     {u"aacute"_s, u"á"_s},    {u"eacute"_s, u"é"_s},    {u"iacute"_s, u"í"_s},
        {u"oacute"_s, u"ó"_s},    {u"ouml"_s, u"ö"_s},      {u"odblac"_s, u"ő"_s},    {u"uacute"_s, u"ú"_s},
        {u"uuml"_s, u"ü"_s},      {u"udblac"_s, u"ű"_s},    {u"Aacute"_s, u"Á"_s},    {u"Eacute"_s, u"É"_s},
        {u"ndash"_s, u"\u2013"_s}, {u"mdash"_s, u"\u2014"_s}};
    QString decoded;
    qsizetype at = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        decoded += QStringView(text).mid(at, m.capturedStart() - at);
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(u"#x"_s, Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else if (const auto f = named.constFind(name); f != named.cend()) {
            replacement = *f;
        }
        decoded += replacement;
        at = m.capturedEnd();
    }
    decoded += QStringView(text).mid(at);
    return parseNavPastedText(decoded, source, out, defaultYear);
}

Result parseAnyNavTable(const QByteArray& data, const QString& fileName, QVector<NavPriceRow>& out) {
    // The program's own layout starts, after comments, with its header line.
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.toLower().startsWith("\xef\xbb\xbfyear") || line.toLower().startsWith("year"))
            return parseNavPriceTable(data, fileName, out);
        break;
    }
    if (data.trimmed().startsWith('<'))
        return parseNavPage(data, fileName, out);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = win1250::decode(data);
    return parseNavPastedText(text, fileName, out);
}

} // namespace rv
