#include "spreadsheet.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString cellText(const SheetCell& cell, CellFormat format) {
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return {};
    case SheetCell::Kind::Text:
        return cell.text;
    case SheetCell::Kind::Number:
        return QString::number(qint64(cell.number));
    case SheetCell::Kind::Date:
        return cell.date.toString(format == CellFormat::Month ? u"yyyy-MM"_s : u"yyyy-MM-dd"_s);
    }
    return {};
}

} // namespace rv
