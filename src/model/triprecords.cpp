#include "triprecords.h"

#include "storage/win1250.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString foldText(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D).toLower();
    QString out;
    bool space = false;
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isLetterOrNumber()) {
            if (space && !out.isEmpty())
                out += u' ';
            out += c;
            space = false;
        } else {
            space = true;
        }
    }
    return out;
}


double haversineMetres(const GeoPoint& a, const GeoPoint& b) {
    constexpr double kEarthRadius = 6371008.8; // mean radius (IUGG)
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double dLat = (b.lat - a.lat) * kRad;
    const double dLon = (b.lon - a.lon) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(a.lat * kRad) * std::cos(b.lat * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

namespace {

struct FieldNames {
    TripField field;
    const char16_t* name; // as the mapping step and the presets say it
    std::initializer_list<const char16_t*> headings; // folded by foldText
};

const std::array<FieldNames, kTripFieldCount>& fieldNames() {
    static const std::array<FieldNames, kTripFieldCount> table = {{
        {TripField::Date, u"dátum", {u"datum", u"date", u"nap", u"day", u"indulas datuma", u"trip date", u"datum ido"}},
        {TripField::StartTime, u"indulás", {u"indulas", u"indulas ideje", u"indulasi ido", u"kezdes", u"kezdes ideje",
                                            u"kezdo ido", u"start", u"start time", u"departure", u"departure time", u"tol"}},
        {TripField::EndTime, u"érkezés", {u"erkezes", u"erkezes ideje", u"erkezesi ido", u"vege", u"befejezes", u"zaro ido",
                                          u"end", u"end time", u"arrival", u"arrival time", u"ig"}},
        {TripField::From, u"honnan", {u"honnan", u"indulasi hely", u"kiindulasi hely", u"kiindulas", u"indulasi cim",
                                      u"kezdopont", u"from", u"start address", u"start location", u"origin"}},
        {TripField::To, u"hova", {u"hova", u"hova cim", u"erkezesi hely", u"erkezesi cim", u"celallomas", u"cel", u"uticel",
                                  u"vegpont", u"to", u"end address", u"end location", u"destination"}},
        {TripField::Km, u"km", {u"km", u"tavolsag", u"tavolsag km", u"megtett km", u"megtett tavolsag", u"ut km", u"distance",
                                u"distance km", u"kilometer", u"kilometers"}},
        {TripField::StartOdometer, u"kezdő km-óra", {u"kezdo km", u"kezdo km ora", u"kezdo km ora allas", u"km ora kezdo",
                                                     u"kezdo km allas", u"km ora indulaskor", u"start odometer",
                                                     u"odometer start", u"start mileage"}},
        {TripField::EndOdometer, u"záró km-óra", {u"zaro km", u"zaro km ora", u"zaro km ora allas", u"km ora zaro",
                                                  u"zaro km allas", u"km ora erkezeskor", u"end odometer", u"odometer end",
                                                  u"end mileage"}},
        {TripField::Kind, u"jelleg", {u"jelleg", u"tipus", u"ut tipusa", u"uzleti magan", u"besorolas", u"kategoria",
                                      u"type", u"category", u"trip type"}},
        {TripField::Purpose, u"cél", {u"ut celja", u"utazas celja", u"megjegyzes", u"leiras", u"purpose", u"note", u"notes",
                                      u"comment", u"description"}},
    }};
    return table;
}

std::optional<TripField> fieldByHeading(const QString& heading) {
    const QString key = foldText(heading);
    for (const FieldNames& f : fieldNames())
        for (const char16_t* h : f.headings)
            if (key == QStringView(h))
                return f.field;
    return std::nullopt;
}

const QList<QChar>& separators() {
    static const QList<QChar> list = {u';', u',', u'\t', u'|'};
    return list;
}

bool isBlankRow(const QStringList& row) {
    return std::all_of(row.begin(), row.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
}

// The first rows that hold anything, enough to tell a layout.
QVector<QStringList> sampleRows(const QString& text, QChar separator, int count) {
    QVector<QStringList> rows;
    for (const QStringList& row : splitCsv(text.left(64 * 1024), separator)) {
        if (isBlankRow(row))
            continue;
        rows << row;
        if (rows.size() == count)
            break;
    }
    return rows;
}

bool looksLikeTime(const QString& s) { return parseTripTime(s).has_value(); }

} // namespace

QString tripFieldName(TripField f) { return QString::fromUtf16(fieldNames()[size_t(f)].name); }

std::optional<TripField> tripFieldByName(const QString& name) {
    for (const FieldNames& f : fieldNames())
        if (name.trimmed().compare(QStringView(f.name), Qt::CaseInsensitive) == 0)
            return f.field;
    return std::nullopt;
}

QString missingFieldsText(const CsvLayout& layout) {
    QStringList missing;
    for (TripField f : {TripField::Date, TripField::From, TripField::To})
        if (layout.column(f) < 0)
            missing << u"„%1”"_s.arg(tripFieldName(f));
    // The distance may come from the odometer readings instead.
    if (layout.column(TripField::Km) < 0 &&
        (layout.column(TripField::StartOdometer) < 0 || layout.column(TripField::EndOdometer) < 0))
        missing << u"„km” (vagy a kezdő és a záró km-óra)"_s;
    if (missing.isEmpty())
        return {};
    return u"Az útjelentésből hiányzik a(z) %1 oszlop hozzárendelése."_s.arg(missing.join(u", "_s));
}

TextEncoding detectEncoding(const QByteArray& data) {
    if (data.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(data);
    return utf8.hasError() ? TextEncoding::Windows1250 : TextEncoding::Utf8;
}

QString decodeText(const QByteArray& data, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1250)
        return win1250::decode(data);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless); // drops a byte order mark
    QString text = utf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QVector<QStringList> splitCsv(const QString& text, QChar separator) {
    QVector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty()) {
            quoted = true;
            field.clear();
            fieldStarted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
            fieldStarted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

std::optional<QDate> parseTripDate(const QString& text, QTime* time) {
    static const QRegularExpression ymd(u"^(\\d{4})\\s*[.\\-/]\\s*(\\d{1,2})\\s*[.\\-/]\\s*(\\d{1,2})\\.?(?:[\\sT]+(.*))?$"_s);
    static const QRegularExpression dmy(u"^(\\d{1,2})\\s*\\.\\s*(\\d{1,2})\\s*\\.\\s*(\\d{4})\\.?(?:\\s+(.*))?$"_s);
    const QString t = text.trimmed();
    QRegularExpressionMatch m = ymd.match(t);
    int y = 0, mo = 0, d = 0;
    if (m.hasMatch()) {
        y = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        d = m.captured(3).toInt();
    } else {
        m = dmy.match(t);
        if (!m.hasMatch())
            return std::nullopt;
        d = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        y = m.captured(3).toInt();
    }
    const QDate date(y, mo, d);
    if (!date.isValid())
        return std::nullopt;
    const QString rest = m.captured(4).trimmed();
    if (!rest.isEmpty()) {
        const auto at = parseTripTime(rest);
        if (!at)
            return std::nullopt;
        if (time)
            *time = *at;
    }
    return date;
}

std::optional<QTime> parseTripTime(const QString& text) {
    // A zone suffix of an ISO time ("Z", "+01:00") is dropped: reports give local times.
    static const QRegularExpression re(u"^(\\d{1,2})[:.](\\d{2})(?:[:.](\\d{2})(?:[.,]\\d+)?)?(?:Z|[+-]\\d{2}:?\\d{2})?$"_s);
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!t.isValid())
        return std::nullopt;
    return t;
}

std::optional<double> parseTripNumber(const QString& text, DecimalMark mark) {
    QString t = text.trimmed();
    static const QRegularExpression unit(u"\\s*(km|KM|Km)$"_s);
    t.remove(unit);
    t.remove(u' ').remove(QChar(0x00A0)).remove(QChar(0x202F)).remove(u'\'');
    // A thousands mark only between groups of three digits: "12.4" is no number with a decimal comma.
    static const QRegularExpression commaForm(u"^(\\d+|\\d{1,3}(\\.\\d{3})+)(,\\d+)?$"_s);
    static const QRegularExpression pointForm(u"^(\\d+|\\d{1,3}(,\\d{3})+)(\\.\\d+)?$"_s);
    if (mark == DecimalMark::Comma) {
        if (!commaForm.match(t).hasMatch())
            return std::nullopt;
        t.remove(u'.');
        t.replace(u',', u'.');
    } else {
        if (!pointForm.match(t).hasMatch())
            return std::nullopt;
        t.remove(u',');
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<TripKind> parseTripKind(const QString& text) {
    const QString key = foldText(text);
    static const QStringList business = {u""_s,         u"u"_s,        u"uzleti"_s,   u"uzleti ut"_s, u"hivatalos"_s,
                                         u"ceges"_s,    u"munka"_s,    u"b"_s,        u"business"_s,  u"work"_s,
                                         u"h"_s,        u"szolgalati"_s};
    static const QStringList personal = {u"m"_s,       u"magan"_s,   u"magan ut"_s, u"maganut"_s, u"szemelyes"_s,
                                         u"p"_s,       u"private"_s, u"personal"_s, u"privat"_s};
    if (business.contains(key))
        return TripKind::Business;
    if (personal.contains(key))
        return TripKind::Private;
    return std::nullopt;
}

CsvLayout detectCsvLayout(const QByteArray& data) {
    CsvLayout layout;
    layout.encoding = detectEncoding(data);
    const QString text = decodeText(data.left(64 * 1024), layout.encoding);

    // The separator that cuts every sample row into the same number of fields, the most of them.
    int best = 1;
    for (QChar sep : separators()) {
        const QVector<QStringList> rows = sampleRows(text, sep, 10);
        if (rows.isEmpty())
            continue;
        const qsizetype n = rows.first().size();
        const bool even = std::all_of(rows.begin(), rows.end(), [n](const QStringList& r) { return r.size() == n; });
        if (even && n > best) {
            best = int(n);
            layout.separator = sep;
        }
    }
    const QVector<QStringList> rows = sampleRows(text, layout.separator, 20);
    if (rows.isEmpty())
        return layout;

    // A first row without a date above rows with one names the columns.
    auto hasDate = [](const QStringList& row) {
        return std::any_of(row.begin(), row.end(), [](const QString& f) { return parseTripDate(f).has_value(); });
    };
    layout.header = !hasDate(rows.first()) && (rows.size() == 1 || hasDate(rows[1]));
    const qsizetype columns = rows.first().size();
    if (layout.header) {
        for (int c = 0; c < columns; ++c)
            if (const auto f = fieldByHeading(rows.first()[c]); f && layout.column(*f) < 0)
                layout.column(*f) = c;
    }
    const QVector<QStringList> body = layout.header ? rows.mid(1) : rows;

    // Decimal comma unless a number column shows a point before one or two decimals and no comma
    // does; with a comma between fields the decimals are points.
    if (layout.separator == u',') {
        layout.decimal = DecimalMark::Point;
    } else {
        static const QRegularExpression point(u"^\\s*\\d+\\.\\d{1,2}\\s*(km)?\\s*$"_s);
        static const QRegularExpression comma(u"^\\s*[\\d\\s]+,\\d+\\s*(km)?\\s*$"_s);
        bool points = false, commas = false;
        for (const QStringList& row : body)
            for (const QString& f : row) {
                points = points || point.match(f).hasMatch();
                commas = commas || comma.match(f).hasMatch();
            }
        layout.decimal = points && !commas ? DecimalMark::Point : DecimalMark::Comma;
    }

    // Columns no heading named: told by their values, in the order a report usually has them.
    auto taken = [&](int c) { return std::find(layout.columns.begin(), layout.columns.end(), c) != layout.columns.end(); };
    auto all = [&](int c, auto&& test) {
        int filled = 0;
        for (const QStringList& row : body) {
            const QString f = row.value(c).trimmed();
            if (f.isEmpty())
                continue;
            if (!test(f))
                return false;
            ++filled;
        }
        return filled > 0;
    };
    auto assign = [&](TripField f, auto&& test) {
        if (layout.column(f) >= 0)
            return;
        for (int c = 0; c < columns; ++c)
            if (!taken(c) && all(c, test)) {
                layout.column(f) = c;
                return;
            }
    };
    QTime ignored;
    assign(TripField::Date, [&](const QString& f) { return parseTripDate(f, &ignored).has_value(); });
    assign(TripField::StartTime, looksLikeTime);
    assign(TripField::EndTime, looksLikeTime);
    const DecimalMark mark = layout.decimal;
    auto odometer = [mark](const QString& f) {
        const auto v = parseTripNumber(f, mark);
        return v && *v >= 1000 && *v == std::floor(*v);
    };
    auto distance = [mark](const QString& f) {
        const auto v = parseTripNumber(f, mark);
        return v && *v < 2000;
    };
    // Odometers are the large whole numbers; the distance the small one before or after them.
    for (int c = 0; c < columns && layout.column(TripField::EndOdometer) < 0; ++c) {
        if (taken(c) || !all(c, odometer))
            continue;
        if (layout.column(TripField::StartOdometer) < 0)
            layout.column(TripField::StartOdometer) = c;
        else
            layout.column(TripField::EndOdometer) = c;
    }
    assign(TripField::Km, distance);
    assign(TripField::Kind, [](const QString& f) { return parseTripKind(f).has_value(); });
    assign(TripField::From, [](const QString&) { return true; });
    assign(TripField::To, [](const QString&) { return true; });
    assign(TripField::Purpose, [](const QString&) { return true; });
    return layout;
}

Result parseTripReport(const QByteArray& data, const CsvLayout& layout, TripReport& out) {
    if (const QString missing = missingFieldsText(layout); !missing.isEmpty())
        return Result::failure(missing);
    const QVector<QStringList> rows = splitCsv(decodeText(data, layout.encoding), layout.separator);
    TripReport report;
    // Lines, not rows: a quoted field may hold a line end.
    int line = 0;
    bool first = true;
    for (const QStringList& row : rows) {
        ++line;
        const int rowLine = line;
        for (const QString& f : row)
            line += int(f.count(u'\n'));
        if (isBlankRow(row))
            continue;
        if (first && layout.header) {
            first = false;
            continue;
        }
        first = false;
        auto field = [&](TripField f) { return layout.column(f) >= 0 ? row.value(layout.column(f)).trimmed() : QString(); };
        auto problem = [&](const QString& what) {
            report.problems << u"%1. sor: %2"_s.arg(rowLine).arg(what);
        };
        RecordedTrip trip;
        trip.line = rowLine;
        QTime timeInDate;
        const auto date = parseTripDate(field(TripField::Date), &timeInDate);
        if (!date) {
            problem(u"a dátum („%1”) nem olvasható"_s.arg(field(TripField::Date)));
            continue;
        }
        trip.date = *date;
        trip.start = timeInDate;
        if (const QString t = field(TripField::StartTime); !t.isEmpty()) {
            QTime inner;
            if (const auto time = parseTripTime(t))
                trip.start = *time;
            else if (parseTripDate(t, &inner) && inner.isValid())
                trip.start = inner;
        }
        if (const QString t = field(TripField::EndTime); !t.isEmpty()) {
            QTime inner;
            if (const auto time = parseTripTime(t))
                trip.end = *time;
            else if (parseTripDate(t, &inner) && inner.isValid())
                trip.end = inner;
        }
        trip.from = field(TripField::From).simplified();
        trip.to = field(TripField::To).simplified();
        if (trip.from.isEmpty() || trip.to.isEmpty()) {
            problem(u"hiányzik az indulás vagy az érkezés helye"_s);
            continue;
        }
        bool bad = false;
        auto reading = [&](TripField f) -> std::optional<qint64> {
            const QString t = field(f);
            if (t.isEmpty())
                return std::nullopt;
            const auto v = parseTripNumber(t, layout.decimal);
            if (!v || *v > 99999999) {
                problem(u"a km-óra állás („%1”) nem olvasható"_s.arg(t));
                bad = true;
                return std::nullopt;
            }
            return qint64(std::llround(*v));
        };
        trip.startOdometer = reading(TripField::StartOdometer);
        trip.endOdometer = reading(TripField::EndOdometer);
        if (bad)
            continue;
        if (const QString t = field(TripField::Km); !t.isEmpty()) {
            const auto km = parseTripNumber(t, layout.decimal);
            if (!km || *km > 32767) {
                problem(u"a km („%1”) nem olvasható"_s.arg(t));
                continue;
            }
            trip.km = *km;
        } else if (trip.startOdometer && trip.endOdometer && *trip.endOdometer >= *trip.startOdometer) {
            trip.km = double(*trip.endOdometer - *trip.startOdometer);
        } else {
            problem(u"hiányzik a km"_s);
            continue;
        }
        if (trip.startOdometer && trip.endOdometer && *trip.endOdometer < *trip.startOdometer) {
            problem(u"a záró km-óra állás (%1) kisebb a kezdőnél (%2)"_s.arg(*trip.endOdometer).arg(*trip.startOdometer));
            continue;
        }
        const auto kind = parseTripKind(field(TripField::Kind));
        if (!kind) {
            problem(u"az út jellege („%1”) sem üzleti, sem magán"_s.arg(field(TripField::Kind)));
            continue;
        }
        trip.kind = *kind;
        trip.purpose = field(TripField::Purpose).simplified();
        report.trips << trip;
    }
    out = std::move(report);
    return Result::success();
}

QString layoutToText(const CsvLayout& layout) {
    QStringList parts;
    const QString sep = layout.separator == u'\t' ? u"tab"_s : QString(layout.separator);
    parts << u"sep="_s + sep << u"enc="_s + (layout.encoding == TextEncoding::Utf8 ? u"utf8"_s : u"win1250"_s)
          << u"dec="_s + (layout.decimal == DecimalMark::Comma ? u","_s : u"."_s)
          << u"header="_s + (layout.header ? u"1"_s : u"0"_s);
    for (const FieldNames& f : fieldNames())
        if (layout.column(f.field) >= 0)
            parts << QString::fromUtf16(f.name) + u'=' + QString::number(layout.column(f.field) + 1);
    return parts.join(u'|');
}

std::optional<CsvLayout> layoutFromText(const QString& text) {
    CsvLayout layout;
    for (const QString& part : text.split(u'|', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0)
            return std::nullopt;
        const QString key = part.left(eq);
        const QString value = part.mid(eq + 1);
        if (key == u"sep"_s) {
            if (value == u"tab"_s)
                layout.separator = u'\t';
            else if (value.size() == 1 && separators().contains(value[0]))
                layout.separator = value[0];
            else
                return std::nullopt;
        } else if (key == u"enc"_s) {
            if (value != u"utf8"_s && value != u"win1250"_s)
                return std::nullopt;
            layout.encoding = value == u"utf8"_s ? TextEncoding::Utf8 : TextEncoding::Windows1250;
        } else if (key == u"dec"_s) {
            if (value != u","_s && value != u"."_s)
                return std::nullopt;
            layout.decimal = value == u","_s ? DecimalMark::Comma : DecimalMark::Point;
        } else if (key == u"header"_s) {
            layout.header = value != u"0"_s;
        } else if (const auto f = tripFieldByName(key)) {
            bool ok = false;
            const int column = value.toInt(&ok);
            if (!ok || column < 1 || column > 1000)
                return std::nullopt;
            layout.column(*f) = column - 1;
        } else {
            return std::nullopt;
        }
    }
    return layout;
}

} // namespace rv
