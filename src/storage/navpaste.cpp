#include "navpaste.h"

#include "tables.h"
#include "fieldtext.h"
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

// A word of a column heading: the fuel it names, a price kind, or the unit that ends a heading.
enum class HeadingWord { Other, Fuel, Protected, Market, Unit };

HeadingWord headingWord(QString w, NavColumn& fuel) {
    w = w.toLower();
    w.remove(u'(').remove(u')');
    if (w.isEmpty())
        return HeadingWord::Other;
    if (w == u"esz"_s || w.startsWith(u"esz-9"_s) || w.startsWith(u"esz9"_s) || w.endsWith(u"benzin"_s))
        fuel = NavEsz95;
    else if (w.startsWith(u"gázolaj"_s) || w.startsWith(u"gazolaj"_s) || w.startsWith(u"dízel"_s))
        fuel = NavGazolaj;
    else if (w.startsWith(u"keverék"_s) || w.startsWith(u"keverek"_s))
        fuel = NavKeverek;
    else if (w.startsWith(u"lpg"_s))
        fuel = NavLpg;
    else if (w.startsWith(u"cng"_s))
        fuel = NavCng;
    else if (w.startsWith(u"védett"_s) || w.startsWith(u"hatósági"_s))
        return HeadingWord::Protected;
    else if (w.startsWith(u"piaci"_s))
        return HeadingWord::Market;
    else if (w.startsWith(u"ft/"_s))
        return HeadingWord::Unit;
    else
        return HeadingWord::Other;
    return HeadingWord::Fuel;
}

bool isDash(const QString& w) { return w == u"-"_s || w == u"\u2013"_s || w == u"\u2014"_s; }
bool isUnit(const QString& w) {
    const QString l = w.toLower();
    return l == u"ft"_s || l.startsWith(u"ft/"_s) || l == u"forint"_s;
}

// A cell of the text with the line it starts on. A tab-separated line gives its cells whole;
// any other line gives its words. An empty cell is a cell of its own.
struct Cell {
    QString text;
    int line = 0;
    bool wholeCell = false; // a cell of a tab-separated line (its words belong together)
    bool empty = false;
};

QString joinedDigitGroups(QString text) {
    // "1 234" and "1 234" are one number; so is "1234 Ft" with its unit in the cell.
    static const QRegularExpression thin(u"(\\d)[\\x{00A0}\\x{202F}](?=\\d{3}(?!\\d))"_s);
    static const QRegularExpression small(u"(?<![\\d,.])(\\d{1,2}) (?=\\d{3}(?![\\d,.]))"_s);
    text.replace(thin, u"\\1"_s);
    text.replace(small, u"\\1"_s);
    return text;
}

QVector<Cell> cellsOf(QString text) {
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    QVector<Cell> cells;
    static const QRegularExpression space(u"[\\s\\x{00A0}\\x{202F}]+"_s);
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int line = int(n + 1);
        const QString& raw = lines[n];
        if (!raw.contains(u'\t')) {
            for (const QString& w : joinedDigitGroups(raw).split(space, Qt::SkipEmptyParts))
                cells.append(Cell{w, line, false, false});
            continue;
        }
        QStringList parts = raw.split(u'\t');
        // The tab that ends a page's last cell adds no cell.
        if (parts.size() > 1 && parts.last().trimmed().isEmpty())
            parts.removeLast();
        for (const QString& part : parts) {
            QString cell = part;
            cell.replace(space, u" "_s);
            cell = cell.trimmed();
            // Digits a space apart within one cell are one grouped number.
            static const QRegularExpression grouped(u"(\\d) (?=\\d)"_s);
            cell.replace(grouped, u"\\1"_s);
            cells.append(Cell{cell, line, true, cell.isEmpty()});
        }
    }
    return cells;
}

// A price cell: digits, perhaps with "Ft", "Ft/l" or "Ft/kg" after them.
std::optional<qint64> priceOf(QString cell) {
    cell = cell.trimmed();
    static const QRegularExpression unit(u"\\s*(ft|ft/l|ft/kg|ft/liter|forint)\\.?$"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    cell.remove(unit);
    if (cell.isEmpty() || cell.size() > 9)
        return std::nullopt;
    for (QChar c : cell)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return cell.toLongLong();
}

bool startsWithDigit(const QString& s) { return !s.isEmpty() && s[0].isDigit(); }

struct Column {
    NavColumn fuel;
    int kind = 0; // 0 plain, 1 protected (védett, hatósági), 2 market (piaci)
};

Result refused(const QString& why) {
    return Result::failure(why + u"\r\nA szövegből semmi sem került be."_s, 62);
}

// The heading that opens a year's table: "2024.év", "2024. év".
std::optional<int> yearHeading(const QVector<Cell>& cells, qsizetype& i) {
    static const QRegularExpression joined(u"^(\\d{4})\\s*\\.\\s*év$"_s);
    static const QRegularExpression yearOnly(u"^(\\d{4})\\.$"_s);
    const QString w = cells[i].text.toLower();
    if (const auto m = joined.match(w); m.hasMatch())
        return m.captured(1).toInt();
    if (const auto m = yearOnly.match(w); m.hasMatch() && i + 1 < cells.size() &&
                                          cells[i + 1].text.toLower() == u"év"_s) {
        ++i;
        return m.captured(1).toInt();
    }
    return std::nullopt;
}

// "(2024)" after a month: the row belongs to that year (the year page's opening December).
std::optional<int> yearInParentheses(const QString& w) {
    static const QRegularExpression re(u"^\\((\\d{4})\\)$"_s);
    if (const auto m = re.match(w.trimmed()); m.hasMatch())
        return m.captured(1).toInt();
    return std::nullopt;
}

} // namespace

Result parseNavPastedText(const QString& text, const QString& source, QVector<NavPriceRow>& out, int defaultYear) {
    const QVector<Cell> cells = cellsOf(text);
    QVector<NavPriceRow> rows;
    QSet<int> seen;
    int year = defaultYear;
    QVector<Column> columns;
    bool headingOpen = false;  // the last column's heading may still gain words
    bool columnsFixed = false; // once a row of the year is read, later headings are ordinary text
    bool monthWithoutYear = false;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        if (const auto y = yearHeading(cells, i)) {
            year = *y;
            columns.clear();
            headingOpen = false;
            columnsFixed = false;
            continue;
        }
        // A month cell: its name, perhaps "(2024)" after it in the cell or as the next word.
        QStringList monthWords = cell.text.split(u' ', Qt::SkipEmptyParts);
        int month = monthWords.isEmpty() ? kNoMonth : monthOfWord(monthWords[0]);
        int rowYear = year;
        qsizetype next = i + 1;
        if (month != kNoMonth) {
            if (monthWords.size() == 2) {
                if (const auto y = yearInParentheses(monthWords[1]))
                    rowYear = *y;
                else
                    month = kNoMonth;
            } else if (monthWords.size() > 2) {
                month = kNoMonth;
            } else if (!cell.wholeCell && next < cells.size() && cells[next].line == cell.line) {
                if (const auto y = yearInParentheses(cells[next].text)) {
                    rowYear = *y;
                    ++next;
                }
            }
        }
        if (month == kNoMonth) {
            if (columnsFixed)
                continue;
            // Heading words: a fuel opens a column unless it names the fuel of the column still open.
            bool opened = false;
            for (const QString& w : monthWords) {
                NavColumn fuel{};
                switch (headingWord(w, fuel)) {
                case HeadingWord::Fuel:
                    if (!headingOpen || columns.last().fuel != fuel) {
                        columns.append(Column{fuel, 0});
                        headingOpen = true;
                        opened = true;
                    }
                    break;
                case HeadingWord::Protected:
                    if (headingOpen)
                        columns.last().kind = 1;
                    break;
                case HeadingWord::Market:
                    if (headingOpen)
                        columns.last().kind = 2;
                    break;
                case HeadingWord::Unit:
                    headingOpen = false;
                    break;
                case HeadingWord::Other:
                    break;
                }
            }
            if (opened && cell.wholeCell)
                headingOpen = false;
            continue;
        }
        const qsizetype wanted = columns.isEmpty() ? qsizetype(kNavColumnCount) : columns.size();
        // The cells after the month; a unit word after a price belongs to it.
        struct Value {
            QString text;
            bool empty;
        };
        QVector<Value> values;
        qsizetype j = next;
        int digitCells = 0;
        for (; j < cells.size() && values.size() < wanted; ++j) {
            const Cell& v = cells[j];
            if (cell.wholeCell && v.line != cell.line)
                break; // a tab-separated row ends with its line
            if (!v.wholeCell && isUnit(v.text) && !values.isEmpty())
                continue;
            if (monthOfWord(v.text) != kNoMonth || yearHeading(cells, j))
                break;
            if (startsWithDigit(v.text))
                ++digitCells;
            values.append(Value{v.text, v.empty});
        }
        while (j < cells.size() && !cells[j].wholeCell && isUnit(cells[j].text))
            ++j;
        // Cells a tab-separated row leaves off at its end are empty ones.
        if (cell.wholeCell && digitCells > 0)
            while (values.size() < wanted)
                values.append(Value{QString(), true});
        // A month named in ordinary text ("május 20-ig kell") is no row: a row has prices.
        if (digitCells < std::min<qsizetype>(2, wanted))
            continue;
        if (rowYear < 1 || rowYear > 9999) {
            monthWithoutYear = true;
            continue;
        }
        const QString name = navMonthText(QDate(rowYear, month, 1));
        const QString where = u"A(z) %1. sor (%2)"_s.arg(cell.line).arg(name);
        if (values.size() < wanted)
            return refused(u"%1: %2 ár van %3 helyett."_s.arg(where).arg(values.size()).arg(wanted));
        if (seen.contains(rowYear * 12 + month))
            return refused(u"%1: ez a hónap kétszer szerepel."_s.arg(where));
        seen.insert(rowYear * 12 + month);
        NavPriceRow row;
        row.year = rowYear;
        row.month = month;
        row.source = source;
        std::array<int, kNavColumnCount> kindTaken{};
        for (qsizetype c = 0; c < wanted; ++c) {
            const Value& v = values[c];
            const Column column = columns.isEmpty() ? Column{NavColumn(c), 0} : columns[c];
            const QString fuelName = navColumnName(column.fuel);
            if (v.empty || isDash(v.text))
                continue;
            const auto price = priceOf(v.text);
            if (!price)
                return refused(u"%1: a(z) %2 ára („%3”) nem ár.\r\nÁr csak egész szám lehet, utána legfeljebb "
                               u"„Ft”."_s.arg(where, fuelName, v.text.left(kQuotedChars)));
            if (*price < 1 || *price > 32767)
                return refused(u"%1: a(z) %2 ára („%3”) nem 1 és 32767 közötti egész szám."_s.arg(where, fuelName,
                                                                                              v.text));
            // Where a month has a protected price beside the market one, the protected one counts.
            const size_t at = size_t(column.fuel);
            if (row.prices[at] && kindTaken[at] == 1)
                continue;
            if (row.prices[at] && column.kind != 1)
                continue;
            row.prices[at] = qint16(*price);
            kindTaken[at] = column.kind;
        }
        if (std::any_of(kindTaken.begin(), kindTaken.end(), [](int k) { return k == 1; }))
            row.source += u" (védett ár)"_s;
        columnsFixed = true;
        headingOpen = false;
        rows.append(row);
        i = j - 1;
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
    // Outside a cell a block (a paragraph, a heading, a line break) is a line of its own: the
    // page's text must not run into the table's first cell.
    bool inCell = false;
    static const QStringList blocks = {u"p"_s,  u"/p"_s,  u"br"_s, u"div"_s, u"/div"_s, u"h1"_s, u"/h1"_s, u"h2"_s,
                                       u"/h2"_s, u"h3"_s, u"/h3"_s, u"li"_s, u"/li"_s, u"table"_s, u"/table"_s,
                                       u"tr"_s, u"thead"_s, u"tbody"_s, u"ul"_s, u"/ul"_s};
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
        if (named(u"td") || named(u"th")) {
            inCell = true;
            plain += u' ';
        } else if (named(u"/td") || named(u"/th")) {
            inCell = false;
            plain += u'\t';
        } else if (named(u"/tr")) {
            inCell = false;
            plain += u'\n';
        } else {
            const bool block = !inCell && std::any_of(blocks.begin(), blocks.end(), [&](const QString& b) { return named(b); });
            plain += block ? u'\n' : u' ';
        }
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
