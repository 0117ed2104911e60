#include "spreadsheet.h"

#include <cmath>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString cellText(const SheetCell& cell, CellFormat format) {
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return {};
    case SheetCell::Kind::Text:
        return cell.text;
    case SheetCell::Kind::Number:
        if (format == CellFormat::Percent) {
            const qint64 tenths = std::llround(cell.number * 1000.0);
            return (tenths < 0 ? u"-"_s : QString()) + QString::number(std::abs(tenths) / 10) + u',' +
                   QString::number(std::abs(tenths) % 10) + u" %"_s;
        }
        return QString::number(qint64(cell.number));
    case SheetCell::Kind::Date:
        return cell.date.toString(format == CellFormat::Month ? u"yyyy-MM"_s : u"yyyy-MM-dd"_s);
    }
    return {};
}

} // namespace rv
