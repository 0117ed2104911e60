#include "holidays.h"

#include <array>

namespace rv {
namespace {

// Good Friday is a holiday since 24 March 2017 (2017. évi XIII. törvény 4. §), All Saints' Day
// since 2000 (1999. évi CXXIII. törvény); 31 December is a working day.
constexpr std::array<HolidayRule, 11> kHolidays = {{
    {1, 1, 0, u"Újév"},
    {3, 15, 0, u"Nemzeti ünnep"},
    {0, -2, 2017, u"Nagypéntek"},
    {0, 1, 0, u"Húsvéthétfő"},
    {5, 1, 0, u"A munka ünnepe"},
    {0, 50, 0, u"Pünkösdhétfő"},
    {8, 20, 0, u"Államalapítás ünnepe"},
    {10, 23, 0, u"Nemzeti ünnep"},
    {11, 1, 2000, u"Mindenszentek"},
    {12, 25, 0, u"Karácsony"},
    {12, 26, 0, u"Karácsony másnapja"},
}};

} // namespace

std::span<const HolidayRule> holidayTable() { return kHolidays; }

// The anonymous Gregorian computus (Meeus, Jones, Butcher).
QDate easterSunday(int year) {
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QString holidayName(const QDate& date) {
    if (!date.isValid())
        return {};
    QDate easter;
    for (const HolidayRule& r : kHolidays) {
        if (date.year() < r.since)
            continue;
        if (r.month != 0) {
            if (date.month() == r.month && date.day() == r.day)
                return QString::fromUtf16(r.name);
            continue;
        }
        if (!easter.isValid())
            easter = easterSunday(date.year());
        if (easter.addDays(r.day) == date)
            return QString::fromUtf16(r.name);
    }
    return {};
}

bool isPublicHoliday(const QDate& date) { return !holidayName(date).isEmpty(); }

} // namespace rv
