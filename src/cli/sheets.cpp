#include "sheets.h"

#include "csv.h"

#include "model/cost.h"
#include "model/reckoning.h"
#include "printing/printout.h"
#include "printing/xlsx/xlsxbook.h"
#include "storage/fileio.h"
#include "model/state.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {

SheetTable monthLegTable(const AppState& s, const MonthReckoning& r) {
    SheetTable t;
    t.name = u"%1-%2"_s.arg(r.year, 4, 10, QChar(u'0')).arg(r.month, 2, 10, QChar(u'0'));
    t.columns = {{u"Dátum"_s, CellFormat::Date},
                 {u"Honnan"_s},
                 {u"Hova"_s},
                 {u"Partner"_s},
                 {u"Km"_s, CellFormat::Km},
                 {u"Útvonal típusa"_s},
                 {u"Benzinár ("_s + priceUnit(r.measure) + u')',
                  r.measure == FuelMeasure::Kilogram ? CellFormat::PricePerKg : CellFormat::Price},
                 {u"Költség (Ft)"_s, CellFormat::Forint},
                 {u"Ár forrása"_s}};
    for (const ReckonedLeg& leg : r.legs)
        t.rows.append({SheetCell::of(QDate(r.year, r.month, leg.day)), SheetCell::of(partnerAddress(s.partner(leg.from))),
                       SheetCell::of(partnerAddress(s.partner(leg.to))), SheetCell::of(s.partner(leg.to).name),
                       SheetCell::of(qint64(leg.km)), SheetCell::of(routeTypeText(s, leg.routeType)),
                       SheetCell::of(qint64(leg.price.price)), SheetCell::of(leg.total()),
                       SheetCell::of(priceOriginText(leg.price, r.year, r.month))});
    t.totals.append({SheetCell::of(u"Összesen"_s), {}, {}, {}, SheetCell::of(r.km), {}, {}, SheetCell::of(r.total),
                     SheetCell::of(verdictText(r))});
    return t;
}

QByteArray csvOfTable(const SheetTable& table) {
    CsvWriter csv;
    QStringList fields;
    for (const SheetColumn& c : table.columns)
        fields << c.header;
    csv.row(fields);
    for (const auto* part : {&table.rows, &table.totals})
        for (const QVector<SheetCell>& row : *part) {
            fields.clear();
            for (qsizetype i = 0; i < table.columns.size(); ++i)
                fields << (i < row.size() ? cellText(row[i], table.columns[i].format) : QString());
            csv.row(fields);
        }
    return csv.data();
}

bool isXlsxPath(const QString& path) { return path.endsWith(u".xlsx"_s, Qt::CaseInsensitive); }

Result writeTable(const QString& dataDir, const SheetTable& table, const QString& path) {
    return isXlsxPath(path) ? saveXlsx(dataDir, table, path) : saveExportFile(dataDir, path, csvOfTable(table));
}

} // namespace rv::cli
