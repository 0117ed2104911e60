#include "printout.h"

#include "model/chain.h"
#include "model/grouping.h"
#include "model/monthfacts.h"
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
            double below = 0; // a one-line comment still takes the row's two lines
            if (rows[i].comment) {
                const QStringList lines = commentLines(log.comments[size_t(leg.day - 1)].trimmed());
                sh.text(X1, yA, lines.value(0));
                if (lines.size() > 1)
                    sh.text(X1, yB, lines.value(1));
                else
                    below = yB - yA;
            } else {
                sh.text(X1, yA, month + u' ' + num(leg.day) + u'.');
                sh.text(X2, yA, partnerAddress(s.partner(leg.from)));
                sh.text(X3, yA, partnerAddress(s.partner(leg.to)));
                sh.text(X1, yB, groupedDigits(leg.km) + u" km"_s);
                sh.text(X2, yB, routeTypeText(s, leg.routeType));
                sh.text(X3, yB, s.partner(leg.to).name);
                pageKm += leg.km;
            }
            const double y = sh.c.currentY() + below;
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
    // "Megjegyzés: " and the comment on the two lines of a row, broken between words; what does
    // not fit ends in an ellipsis.
    QStringList commentLines(const QString& comment) const {
        const double width = sh.W - sh.M - X1;
        QStringList lines{QString()};
        const QStringList words = (u"Megjegyzés: "_s + comment).split(u' ', Qt::SkipEmptyParts);
        for (qsizetype w = 0; w < words.size(); ++w) {
            const QString joined = lines.last().isEmpty() ? words[w] : lines.last() + u' ' + words[w];
            if (sh.c.textWidth(joined) <= width || lines.last().isEmpty()) {
                lines.last() = joined;
            } else if (lines.size() < 2) {
                lines.append(words[w]);
            } else {
                lines.last() += u" …"_s;
                break;
            }
        }
        // A single word longer than the line is cut to it.
        for (QString& line : lines)
            while (line.size() > 1 && sh.c.textWidth(line) > width)
                line = line.left(line.size() - 2) + u'…';
        return lines;
    }

    // Leaves the row counter at the first row of the page.
    int header() {
        Canvas& c = sh.c;
        const double U = sh.U;
        sh.title(kLogbookTitle);
        int n = 2;
        sh.text(X1, n * U, car.carType.trimmed() + u" típusú "_s + car.plateNumber.trimmed() + u" rendszámú gépkocsihoz"_s);
        n = 3;
        sh.text(X1, n * U, num(log.year) + u". "_s + printedMonthName(log.month) + u" hónapra"_s);
        n = 4;
        sh.text(X1, n * U, u"Kezdő km-óra állás: "_s + groupedDigits(log.startOdometer) + u" km"_s);
        n = 5;
        sh.text(X1, (n - 0.5) * U, u"Záró km-óra állás: "_s + closingReadingText(printedReading(log), Digits::Grouped) + u" (magán: "_s +
                                       groupedDigits(printedReading(log).privateKm) + u" km)"_s);
        c.setFontSize(8);
        n = 3;
        sh.box(XR - 100, n * U - 100, sh.W - sh.M, (n + 2) * U);
        sh.text(XR, n * U, u"Elszámoló neve: "_s + car.companyName.trimmed());
        n = 4;
        sh.text(XR, n * U, u"Címe: "_s + car.city.trimmed() + u", "_s + car.companyAddress.trimmed());
        sh.text(XR, (n + 0.5) * U, u"Gépkocsivezető: "_s + car.userName.trimmed());
        n = 5;
        c.setBold(true);
        sh.text(X1, (n + 0.5) * U, u"Dátum"_s);
        sh.text(X2, (n + 0.5) * U, u"Honnan"_s);
        sh.text(X3, (n + 0.5) * U, u"Hova"_s);
        n = 6;
        sh.text(X1, n * U, u"Megtett út"_s);
        sh.text(X2, n * U, u"Útvonal típusa"_s);
        sh.text(X3, n * U, u"Felkeresett partner"_s);
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
    const double X2 = (sh.W - sh.M) / 5 + sh.M;
    const double X3 = 3 * (sh.W - sh.M) / 5 + sh.M;
    const double XR = double(std::llround(sh.W * 3) / 5);
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
