#include "printing/sheet.h"

#include "model/monthfacts.h"
#include "model/reckoning.h"
#include "model/state.h"
#include "storage/tables.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

void Sheet::title(const QString& title) {
    c.setFontSize(20);
    c.setBold(true);
    c.setUnderline(true);
    text((W - c.textWidth(title)) / 2, at(300), title);
    c.setUnderline(false);
    c.setBold(false);
    c.setFontSize(10);
}

void Sheet::pageLine(const QString& pageTitle, double points, bool isBold) {
    c.setFontSize(20);
    c.setBold(true);
    const double titleWidth = c.textWidth(pageTitle);
    c.setFontSize(points);
    c.setBold(isBold);
    const QString number = QString::number(page) + u". oldal"_s;
    const double left = M + c.textWidth(programTitle());
    const double right = W - c.textWidth(number) - M;
    const double gap = at(100);
    const double titleLeft = (W - titleWidth) / 2;
    const bool crowded = titleLeft < left + gap || titleLeft + titleWidth > right - gap;
    const double y = crowded ? 0 : at(500);
    text(right, y, number);
    text(M, y, programTitle());
}

const CarRecord& printedCar(const AppState& s) {
    static const CarRecord none;
    if (s.currentCar < 1 || s.currentCar > s.carCount())
        return none;
    return s.car(s.currentCar);
}

QString printedMonthName(int month) {
    return month >= 1 && month <= 12 ? MonthNames()[size_t(month - 1)].toLower() : QString();
}

QString fuelUnit(const AppState& s) { return measureUnit(fuelMeasure(printedCar(s).fuelType - 1)); }

MonthReading printedReading(const MonthLog& log) {
    return monthReading(log.year, log.month, log.startOdometer, log.monthKm, monthFactsOf(log));
}

} // namespace rv
