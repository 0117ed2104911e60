#include "printout.h"

#include "model/chain.h"
#include "model/grouping.h"
#include "model/monthfacts.h"
#include "printing/fit.h"
#include "printing/sheet.h"
#include "storage/records.h"
#include "model/state.h"

#include <cmath>

// The printed logbook: a row a leg, the day's comment under its last leg, page sums.

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

using Leg = LogbookLeg;

QString num(qint64 v) { return QString::number(v); }

const QString kLogbookTitle = u"Útnyilvántartás"_s;

// The rows of the printed logbook: every leg, and under a day's last leg the day's comment when
// it has one (the purpose of the trips). Months without comments keep their rows and pages.
struct LogbookRow {
    Leg leg;
    bool comment = false; // the row of leg.day's comment
};
QVector<LogbookRow> logbookRows(const AppState& s, const MonthLog& log) {
    QVector<LogbookRow> rows;
    for (const Leg& leg : logbookLegs(s, log)) {
        rows.append(LogbookRow{leg, false});
        if (leg.lastOfDay && !log.comments[size_t(leg.day - 1)].trimmed().isEmpty())
            rows.append(LogbookRow{leg, true});
    }
    return rows;
}

class LogbookLayout {
public:
    LogbookLayout(Canvas& canvas, const AppState& s, const MonthLog& log, const Twin& twin)
        : sh(canvas, twin), s(s), log(log), car(printedCar(s)) {}

    int run() {
        const QVector<LogbookRow> rows = logbookRows(s, log);
        int n = header();
        qint64 pageKm = 0;
        qint64 runningKm = 0;
        qsizetype remaining = rows.size();
        const QString month = printedMonthName(log.month);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Leg& leg = rows[i].leg;
            const double yA = (n - 0.5) * sh.U;
            const double yB = n * sh.U;
            const double pitch = yB - yA;
            if (rows[i].comment) {
                const FittedText lines = commentLines(log.comments[size_t(leg.day - 1)].trimmed());
                const double was = sh.c.fontSize();
                sh.c.setFontSize(lines.size);
                // Two lines keep the row's own two; more are set closer.
                const double step = lines.lines.size() <= 2 ? pitch : lineHeight(lines.size);
                for (qsizetype l = 0; l < lines.lines.size(); ++l)
                    sh.cell(X1, sh.W - sh.M, yA + double(l) * step, lines.lines[l]);
                sh.c.setFontSize(was);
            } else {
                sh.cell(X1, X2 - kGap, yA, month + u' ' + num(leg.day) + u'.');
                sh.cell(X2, X3 - kGap, yA, partnerAddress(s.partner(leg.from)));
                sh.cell(X3, sh.W - sh.M, yA, partnerAddress(s.partner(leg.to)));
                sh.cell(X1, X2 - kGap, yB, groupedDigits(leg.km) + u" km"_s);
                sh.cell(X2, X3 - kGap, yB, routeTypeText(s, leg.routeType));
                sh.cell(X3, sh.W - sh.M, yB, s.partner(leg.to).name);
                pageKm += leg.km;
            }
            // Under the row's second line, however small its texts were made.
            const double y = yB + lineHeight(sh.c.fontSize());
            const bool dayEnds = leg.lastOfDay && (rows[i].comment || i + 1 == rows.size() || !rows[i + 1].comment);
            if (dayEnds)
                sh.bar(sh.M, y - 8, sh.W - sh.M, y + 7);
            else
                sh.line(sh.M, y, sh.W - sh.M, y);
            --remaining;
            ++n;
            if (n == kPageEndRow && remaining != 0) {
                sh.text(X1, (n - 0.5) * sh.U, groupedDigits(pageKm) + u" km a lapon"_s);
                runningKm += pageKm;
                sh.text(X1, n * sh.U, groupedDigits(runningKm) + u" göngyölt km"_s);
                sh.nextPage();
                n = header();
                pageKm = 0;
            }
        }
        sh.text(X1, (n - 0.5) * sh.U, groupedDigits(pageKm) + u" km a lapon"_s);
        sh.c.setBold(true);
        sh.c.setUnderline(true);
        sh.text(X1, n * sh.U, u"Összesen: "_s + groupedDigits(runningKm + pageKm) + u" km"_s);
        sh.c.setBold(false);
        sh.c.setUnderline(false);
        return sh.page;
    }

private:
    // "Megjegyzés: " and the comment in the row's height, broken between words and made smaller
    // as it needs; a comment longer than the row holds even then ends in an ellipsis.
    FittedText commentLines(const QString& comment) const {
        const double width = sh.W - sh.M - X1;
        FittedText fit =
            fitText(sh.c, u"Megjegyzés: "_s + comment, width, sh.U, sh.c.fontSize(), kSmallestPoints * sh.t.scale());
        const qsizetype room = std::max<qsizetype>(1, qsizetype(sh.U / lineHeight(fit.size)));
        if (fit.lines.size() > room) {
            fit.lines.resize(room);
            const double was = sh.c.fontSize();
            sh.c.setFontSize(fit.size);
            QString& last = fit.lines.last();
            while (last.size() > 1 && sh.c.textWidth(last + u" …"_s) > width)
                last.chop(1);
            last += u" …"_s;
            sh.c.setFontSize(was);
        }
        return fit;
    }

    // Leaves the row counter at the first row of the page.
    int header() {
        Canvas& c = sh.c;
        const double U = sh.U;
        sh.title(kLogbookTitle);
        c.setFontSize(10 * sh.t.scale()); // the preview's half rows are closer
        int n = 2;
        const double beforeBox = XR - 100 - kGap;
        sh.cell(X1, sh.W - sh.M, n * U, car.carType.trimmed() + u" típusú "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsihoz"_s);
        n = 3;
        sh.cell(X1, beforeBox, n * U, num(log.year) + u". "_s + printedMonthName(log.month) + u" hónapra"_s);
        n = 4;
        sh.cell(X1, beforeBox, n * U, u"Kezdő km-óra állás: "_s + groupedDigits(log.startOdometer) + u" km"_s);
        n = 5;
        sh.cell(X1, beforeBox, (n - 0.5) * U, u"Záró km-óra állás: "_s + closingReadingText(printedReading(log), Digits::Grouped) + u" (magán: "_s +
                                       groupedDigits(printedReading(log).privateKm) + u" km)"_s);
        c.setFontSize(8 * sh.t.scale());
        n = 3;
        sh.box(XR - 100, n * U - 100, sh.W - sh.M, (n + 2) * U);
        // A long name pushes the lines below it down, within the box.
        const double inBox = sh.W - sh.M - kGap;
        double boxY = n * U;
        boxY += sh.cell(XR, inBox, boxY, u"Elszámoló neve: "_s + car.companyName.trimmed(), Align::Left, 0.9 * U);
        boxY = std::max(boxY, 4 * U);
        boxY += sh.cell(XR, inBox, boxY, u"Címe: "_s + car.city.trimmed() + u", "_s + car.companyAddress.trimmed());
        boxY = std::max(boxY, 4.5 * U);
        sh.cell(XR, inBox, boxY, u"Gépkocsivezető: "_s + car.userName.trimmed());
        n = 4;
        n = 5;
        c.setBold(true);
        sh.cell(X1, X2 - kGap, (n + 0.5) * U, u"Dátum"_s);
        sh.cell(X2, X3 - kGap, (n + 0.5) * U, u"Honnan"_s);
        sh.cell(X3, sh.W - sh.M, (n + 0.5) * U, u"Hova"_s);
        n = 6;
        sh.cell(X1, X2 - kGap, n * U, u"Megtett út"_s);
        sh.cell(X2, X3 - kGap, n * U, u"Útvonal típusa"_s);
        sh.cell(X3, sh.W - sh.M, n * U, u"Felkeresett partner"_s);
        n = 7;
        const double y = c.currentY();
        sh.bar(sh.M, y - 10, sh.W - sh.M, y + 10);
        sh.pageLine(kLogbookTitle, 8, true);
        c.setBold(false);
        return n;
    }

    Sheet sh;
    const AppState& s;
    const MonthLog& log;
    const CarRecord& car;
    const double X1 = sh.M;
    // The date and km narrow, the two addresses alike.
    const double X2 = std::round(sh.M + (sh.W - 2 * sh.M) * 0.17);
    const double X3 = std::round(X2 + (sh.W - sh.M - X2) / 2);
    const double XR = double(std::llround(sh.W) / 2);
    const double kGap = sh.at(100); // between a column's texts and the next column
};

} // namespace

int logbookRowCount(const AppState& s, const MonthLog& log) { return int(logbookRows(s, log).size()); }

int logbookPageCount(const AppState& s, const MonthLog& log) {
    const int rows = logbookRowCount(s, log);
    return rows == 0 ? 1 : (rows + kLogbookRowsPerPage - 1) / kLogbookRowsPerPage;
}

int layoutLogbook(Canvas& canvas, const AppState& s, const MonthLog& log, const Twin& twin) {
    return LogbookLayout(canvas, s, log, twin).run();
}

} // namespace rv
