#include "holidays.h"

#include "storage/tablelines.h"

#include "storage/tables.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <array>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// Munka törvénykönyve (2012. évi I. törvény) 102. § (1): január 1., március 15., nagypéntek,
// húsvéthétfő, május 1., pünkösdhétfő, augusztus 20., október 23., november 1., december 25-26.
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

const std::array<QString, 3>& changeWords() {
    static const std::array<QString, 3> words = {u"pihenőnap"_s, u"munkanap"_s, u"munkaszüneti nap"_s};
    return words;
}

QVector<SwappedDay>& installed() {
    static QVector<SwappedDay> days = shippedSwappedDays();
    return days;
}

QString fixedHolidayName(const QDate& date) {
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

} // namespace

Result parseSwappedDays(const QByteArray& data, const QString& fileName, QVector<SwappedDay>& out) {
    QVector<SwappedDay> days;
    QSet<QDate> seen;
    bool header = false;
    for (const TableLine& tl : tableLines(data)) {
        const QString& line = tl.text;
        const auto refuse = [&](const QString& why) {
            return refusedTableLine(u"A munkarend táblázatának"_s, fileName, tl.number, why);
        };
        const QStringList cells = line.split(u'\t');
        if (!header) {
            if (cells.size() < 4 || cells[0].trimmed() != u"datum"_s || cells[1].trimmed() != u"nap"_s ||
                cells[2].trimmed() != u"helyett"_s || cells[3].trimmed() != u"forras"_s)
                return refuse(u"a fejléc nem „datum nap helyett forras” (tabulátorral elválasztva)."_s);
            header = true;
            continue;
        }
        if (cells.size() < 4)
            return refuse(u"4 oszlop helyett csak %1 van benne."_s.arg(cells.size()));
        SwappedDay day;
        day.date = QDate::fromString(cells[0].trimmed(), Qt::ISODate);
        if (!day.date.isValid() || cells[0].trimmed().size() != 10)
            return refuse(u"a dátum („%1”) nem ÉÉÉÉ-HH-NN alakú nap."_s.arg(cells[0].trimmed().left(kQuotedChars)));
        const auto kind = std::find(changeWords().begin(), changeWords().end(), cells[1].trimmed().toLower());
        if (kind == changeWords().end())
            return refuse(u"a nap („%1”) nem „pihenőnap”, „munkanap” vagy „munkaszüneti nap”."_s.arg(
                cells[1].trimmed().left(kQuotedChars)));
        day.change = DayChange(kind - changeWords().begin());
        const QString instead = cells[2].trimmed();
        if (day.change == DayChange::WorkingDay) {
            day.insteadOf = QDate::fromString(instead, Qt::ISODate);
            if (!day.insteadOf.isValid())
                return refuse(u"a munkanapnál meg kell adni, melyik pihenőnap helyett van (ÉÉÉÉ-HH-NN)."_s);
        } else if (!instead.isEmpty()) {
            return refuse(u"csak munkanapnál adható meg, melyik nap helyett van."_s);
        }
        day.source = cells.mid(3).join(u'\t').trimmed();
        if (day.source.isEmpty())
            return refuse(u"hiányzik a forrás (a rendelet vagy a törvény)."_s);
        if (seen.contains(day.date))
            return refuse(u"a(z) %1 már szerepelt."_s.arg(day.date.toString(Qt::ISODate)));
        seen.insert(day.date);
        days.append(day);
    }
    if (!header)
        return Result::failure(u"A munkarend táblázatában (%1) nincs fejléc: „datum nap helyett forras”."_s.arg(fileName),
                               62);
    std::sort(days.begin(), days.end(), [](const SwappedDay& a, const SwappedDay& b) { return a.date < b.date; });
    out = std::move(days);
    return Result::success();
}

QByteArray serializeSwappedDays(const QVector<SwappedDay>& days) {
    QString text = u"datum\tnap\thelyett\tforras\n"_s;
    for (const SwappedDay& d : days)
        text += d.date.toString(Qt::ISODate) + u'\t' + changeWords()[size_t(d.change)] + u'\t' +
                (d.change == DayChange::WorkingDay ? d.insteadOf.toString(Qt::ISODate) : QString()) + u'\t' +
                d.source + u'\n';
    return text.toUtf8();
}

const QVector<SwappedDay>& shippedSwappedDays() {
    static const QVector<SwappedDay> days = [] {
        QVector<SwappedDay> d;
        // A table that does not read is caught by the tests, never by a user.
        if (!parseSwappedDays(shippedSwappedDayBytes(), kSwappedDayFile, d))
            d.clear();
        return d;
    }();
    return days;
}

void installSwappedDays(const QVector<SwappedDay>& userRows) {
    QVector<SwappedDay> days = shippedSwappedDays();
    for (const SwappedDay& u : userRows) {
        days.removeIf([&](const SwappedDay& d) { return d.date == u.date; });
        days.append(u);
    }
    std::sort(days.begin(), days.end(), [](const SwappedDay& a, const SwappedDay& b) { return a.date < b.date; });
    installed() = std::move(days);
}

const QVector<SwappedDay>& swappedDays() { return installed(); }

const SwappedDay* swappedDay(const QDate& date) {
    const QVector<SwappedDay>& days = installed();
    const auto it = std::lower_bound(days.begin(), days.end(), date,
                                     [](const SwappedDay& d, const QDate& wanted) { return d.date < wanted; });
    return it != days.end() && it->date == date ? &*it : nullptr;
}

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
    if (const QString fixed = fixedHolidayName(date); !fixed.isEmpty())
        return fixed;
    if (const SwappedDay* d = date.isValid() ? swappedDay(date) : nullptr) {
        if (d->change == DayChange::RestDay)
            return u"Pihenőnap"_s;
        if (d->change == DayChange::Holiday)
            return date.month() == 12 && date.day() == 24 ? u"Szenteste"_s : u"Munkaszüneti nap"_s;
    }
    return {};
}

bool isPublicHoliday(const QDate& date) { return !holidayName(date).isEmpty(); }

bool isDayOff(const QDate& date) {
    if (!date.isValid())
        return false;
    if (isPublicHoliday(date))
        return true;
    const SwappedDay* d = swappedDay(date);
    return date.dayOfWeek() >= 6 && !(d && d->change == DayChange::WorkingDay);
}

int workingWeekday(const QDate& date) {
    const SwappedDay* d = date.isValid() ? swappedDay(date) : nullptr;
    if (d && d->change == DayChange::WorkingDay)
        return d->insteadOf.dayOfWeek();
    return date.dayOfWeek();
}

} // namespace rv
