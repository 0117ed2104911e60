#include "calendar.h"
#include "model/grouping.h"

#include "model/holidays.h"
#include "storage/tables.h"

#include <QDate>

using namespace Qt::Literals::StringLiterals;

namespace rv {

int firstCell(int year, int month) {
    const QDate first(year, month, 1);
    return first.isValid() ? first.dayOfWeek() : 1;
}

int dayOfCell(int year, int month, int cell) {
    const int day = cell - firstCell(year, month) + 1;
    return (day >= 1 && day <= daysInMonth(year, month)) ? day : 0;
}

int cellOfDay(int year, int month, int day) { return firstCell(year, month) + day - 1; }

QString dateLabel(int year, int month, int day) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    return QString::number(year) + u". "_s + MonthNames()[size_t(month - 1)].toLower() + u' ' + QString::number(day) + u". "_s +
           DayNames()[size_t(date.dayOfWeek() - 1)];
}

int nextDay(int year, int month, int day) { return day >= daysInMonth(year, month) ? 1 : day + 1; }

int previousDay(int year, int month, int day) {
    const int days = daysInMonth(year, month);
    return (day <= 1 || day > days) ? days : day - 1;
}

// The doubled "tt" is how the program has always written it.
QString dayCellTip(int day) { return u"Katttintson ide a "_s + QString::number(day) + u". nap kiválasztásához."_s; }

QString blankCellTip() { return u"A naptár segítségével választhatja ki a szerkeszteni kívánt napot."_s; }

QString dayKmText(qint64 km) { return groupedDigits(km) + u" km ezen a napon."_s; }

QString monthKmText(qint64 km) { return groupedDigits(km) + u" km ebben a hónapban."_s; }

bool isDayOff(int year, int month, int day) {
    return rv::isDayOff(QDate(year, month, day));
}

} // namespace rv
