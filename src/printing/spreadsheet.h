#pragma once

#include <QDate>
#include <QString>
#include <QVector>

namespace rv {

// How a column's cells are shown.
// Price: Ft a litre; PricePerKg: Ft a kilogram (CNG).
enum class CellFormat { Text, Date, Month, Km, Forint, Price, Percent, PricePerKg };

// One cell of a table for spreadsheets: text, a number or a date, or nothing.
struct SheetCell {
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    QString text;
    double number = 0;
    QDate date;

    static SheetCell of(const QString& t) { return {Kind::Text, t, 0, {}}; }
    static SheetCell of(qint64 n) { return {Kind::Number, {}, double(n), {}}; }
    static SheetCell of(const QDate& d) { return {Kind::Date, {}, 0, d}; }
    // A share given in tenths of a per cent (871: 87,1 %), kept as the fraction spreadsheets
    // show as a percentage.
    static SheetCell share(qint64 tenths) { return {Kind::Number, {}, double(tenths) / 1000.0, {}}; }
};

struct SheetColumn {
    QString header;
    CellFormat format = CellFormat::Text;
};

// A table with a header row, its body and bold rows of totals under it.
struct SheetTable {
    QString name; // of the worksheet
    QVector<SheetColumn> columns;
    QVector<QVector<SheetCell>> rows;
    QVector<QVector<SheetCell>> totals;
};

// A cell as plain text (the CSV's): numbers in full, a share as the other outputs write it
// ("87,1 %"), dates as the format shows them.
QString cellText(const SheetCell& cell, CellFormat format);

} // namespace rv
