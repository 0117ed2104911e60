#include "navprices.h"

#include "tables.h"
#include "storage/tablelines.h"
#include "storage/fieldtext.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

const QStringList& headerColumns() {
    static const QStringList h = {u"year"_s, u"month"_s, u"esz95"_s, u"gazolaj"_s,
                                  u"keverek"_s, u"lpg"_s, u"cng"_s, u"source_url"_s};
    return h;
}

std::optional<int> wholeNumber(const QString& cell, int min, int max) {
    const QString t = cell.trimmed();
    if (t.isEmpty() || !isWholeNumberText(t, min, max))
        return std::nullopt;
    return t.toInt();
}

} // namespace

Result parseNavPriceTable(const QByteArray& data, const QString& fileName, QVector<NavPriceRow>& out) {
    QChar separator;
    QVector<NavPriceRow> rows;
    QSet<int> seen;
    for (const TableLine& tl : tableLines(data)) {
        const QString& line = tl.text;
        const auto refuse = [&](const QString& why) {
            return refusedTableLine(u"Az üzemanyagár-táblázat"_s, fileName, tl.number, why);
        };
        if (separator.isNull()) {
            separator = line.contains(u'\t') ? u'\t' : u';';
            QStringList header = line.split(separator);
            for (QString& h : header)
                h = h.trimmed().toLower();
            if (header != headerColumns())
                return refuse(u"a fejléc nem „%1”."_s.arg(headerColumns().join(u' ')));
            continue;
        }
        QStringList cells = line.split(separator);
        if (cells.size() < headerColumns().size())
            return refuse(u"%1 oszlop helyett csak %2 van benne."_s.arg(headerColumns().size()).arg(cells.size()));
        NavPriceRow row;
        const auto year = wholeNumber(cells[0], 1, 9999);
        if (!year)
            return refuse(u"az év („%1”) nem 1 és 9999 közötti egész szám."_s.arg(cells[0].trimmed()));
        const auto month = wholeNumber(cells[1], 1, 12);
        if (!month)
            return refuse(u"a hónap („%1”) nem 1 és 12 közötti egész szám."_s.arg(cells[1].trimmed()));
        row.year = *year;
        row.month = *month;
        if (seen.contains(row.year * 12 + row.month))
            return refuse(u"a(z) %1 hónap már szerepelt."_s.arg(navMonthText(QDate(row.year, row.month, 1))));
        seen.insert(row.year * 12 + row.month);
        for (int c = 0; c < kNavColumnCount; ++c) {
            const QString& cell = cells[2 + c];
            if (cell.trimmed().isEmpty())
                continue;
            const auto price = wholeNumber(cell, 1, 32767);
            if (!price)
                return refuse(u"a(z) %1 ára („%2”) nem 1 és 32767 közötti egész szám."_s.arg(headerColumns()[2 + c],
                                                                                         cell.trimmed()));
            row.prices[size_t(c)] = qint16(*price);
        }
        // A ";" file may carry the separator inside its source text.
        row.source = cells.mid(headerColumns().size() - 1).join(separator).trimmed();
        rows.append(row);
    }
    if (separator.isNull())
        return Result::failure(u"Az üzemanyagár-táblázatban (%1) nincs fejléc: „%2”."_s.arg(
                                   fileName, headerColumns().join(u' ')),
                               62);
    out = std::move(rows);
    return Result::success();
}

const QVector<NavPriceRow>& shippedNavPrices() {
    static const QVector<NavPriceRow> rows = [] {
        QVector<NavPriceRow> r;
        // A table that does not read is caught by the tests, never by a user.
        if (!parseNavPriceTable(shippedNavTableBytes(), u"nav-uzemanyagarak.tsv"_s, r))
            r.clear();
        return r;
    }();
    return rows;
}

QString navColumnName(NavColumn column) {
    static const std::array<QString, kNavColumnCount> names = {u"ESZ-95"_s, u"gázolaj"_s, u"keverék"_s, u"LPG"_s,
                                                              u"CNG"_s};
    return names[size_t(column)];
}

std::optional<NavColumn> navColumnOf(int fuelIndex) {
    // Order of the fuel type table.
    static constexpr std::array<std::optional<NavColumn>, kFuelTypeCount> columns = {
        NavEsz95, std::nullopt, NavGazolaj, NavKeverek, NavLpg, NavLpg, NavCng};
    if (fuelIndex < 0 || fuelIndex >= kFuelTypeCount)
        return std::nullopt;
    return columns[size_t(fuelIndex)];
}

QVector<FuelPrice> navPricesOf(const QVector<NavPriceRow>& rows, int fuelIndex) {
    const auto column = navColumnOf(fuelIndex);
    return column ? navColumnPrices(rows, *column) : QVector<FuelPrice>();
}

QVector<FuelPrice> navColumnPrices(const QVector<NavPriceRow>& rows, NavColumn column) {
    QVector<FuelPrice> prices;
    for (const NavPriceRow& row : rows)
        if (const auto price = row.prices[size_t(column)])
            prices.append(FuelPrice{QDate(row.year, row.month, 1), *price});
    std::sort(prices.begin(), prices.end(), [](const FuelPrice& a, const FuelPrice& b) { return a.month < b.month; });
    return prices;
}

MonthlyMerge mergeMonthly(const QVector<FuelPrice>& list, const QVector<FuelPrice>& monthly, bool replace) {
    MonthlyMerge m;
    m.prices = list;
    const auto sameMonth = [](const QDate& a, const QDate& b) {
        return a.isValid() && a.year() == b.year() && a.month() == b.month();
    };
    for (const FuelPrice& p : monthly) {
        bool present = false;
        bool differs = false;
        for (const FuelPrice& e : list)
            if (sameMonth(e.month, p.month)) {
                present = true;
                differs = differs || e.price != p.price || e.month != p.month;
            }
        if (!present) {
            m.added.append(p.month);
            m.prices.append(p);
        } else if (differs) {
            m.differing.append(p.month);
            if (replace) {
                m.prices.removeIf([&](const FuelPrice& e) { return sameMonth(e.month, p.month); });
                m.prices.append(p);
            }
        }
    }
    std::stable_sort(m.prices.begin(), m.prices.end(),
                     [](const FuelPrice& a, const FuelPrice& b) { return a.month < b.month; });
    return m;
}

QStringList implausibleNavPrices(const QVector<NavPriceRow>& rows, const QVector<NavPriceRow>& earlier) {
    const auto previous = [&](int year, int month, int column) -> std::optional<int> {
        const int wanted = year * 12 + month - 2; // the month before, as year * 12 + (month - 1)
        for (const QVector<NavPriceRow>* list : {&rows, &earlier})
            for (const NavPriceRow& r : *list)
                if (r.year * 12 + r.month - 1 == wanted && r.prices[size_t(column)])
                    return *r.prices[size_t(column)];
        return std::nullopt;
    };
    QStringList lines;
    for (const NavPriceRow& row : rows)
        for (int c = 0; c < kNavColumnCount; ++c) {
            const auto price = row.prices[size_t(c)];
            if (!price)
                continue;
            const QString what = u"%1, %2: %3 Ft"_s.arg(navMonthText(QDate(row.year, row.month, 1)),
                                                         navColumnName(NavColumn(c)))
                                     .arg(*price);
            if (*price < kNavPlausible.min || *price > kNavPlausible.max) {
                lines << u"%1 (nem %2 és %3 Ft közötti)"_s.arg(what).arg(kNavPlausible.min).arg(kNavPlausible.max);
                continue;
            }
            if (const auto before = previous(row.year, row.month, c);
                before && std::abs(*price - *before) * 3 > *before)
                lines << u"%1 (az előző hónapban %2 Ft: több mint harmadával eltér)"_s.arg(what).arg(*before);
        }
    return lines;
}

QString navMonthText(const QDate& day) {
    return u"%1. %2"_s.arg(day.year()).arg(MonthNames()[size_t(day.month() - 1)].toLower());
}

} // namespace rv
