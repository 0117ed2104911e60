#include "clifixture.h"
#include "model/yearsummary.h"
#include "printfixture.h"
#include "printing/yearprintout.h"
#include "printing/paintercanvas.h"
#include "printing/preview.h"
#include "printing/travelorder.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

namespace {
// Each text is drawn with its top left corner at the place given.
void verifyPlaces(const RecordingCanvas& c, std::initializer_list<std::tuple<QString, double, double>> places) {
    for (const auto& [text, x, y] : places) {
        const auto* item = c.text(text);
        QVERIFY2(item && qFuzzyCompare(item->x1, x) && qFuzzyCompare(item->y1, y),
                 qPrintable(text + (item ? u" at %1, %2"_s.arg(item->x1).arg(item->y1) : u" missing"_s)));
    }
}

// A two-day month of the print fixture at 8 l/100 km, 250 Ft/L and 15 Ft/km. Worked by hand:
// day 3, 1-2-1: two 30 km legs of multiplier 1: 30 × 8 ÷ 100 × 250 = 600 Ft and 30 × 15 = 450 Ft
// each, 2100 Ft for 60 km.
// day 10, 1-2-3-1: 30 km (600 + 450), 50 km at 1,25 (50 × 8 ÷ 100 × 250 × 1,25 = 1250, + 750)
// and 40 km (800 + 600): 120 km, 2650 + 1800 = 4450 Ft.
// The month: 180 km, 3850 + 2700 = 6550 Ft.
void twoDays(PrintFixture& f) {
    f.s.cars[0].generalCost = 15.0f;
    f.day(3, {1, 2, 1});
    f.day(10, {1, 2, 3, 1});
    f.log.comments[2] = u"Ügyféltárgyalás  Győrben"_s;
}

} // namespace

// The printouts as recorded canvas calls, as painted pixels and, the travel order, as PDF text.
class PrintoutTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // ---- the logbook

    void logbookHeader() {
        PrintFixture f;
        f.legs(2);
        const RecordingCanvas c = f.layout(Printout::Logbook);
        const auto* title = c.text(u"Útnyilvántartás"_s);
        verifyAt(title, (11000 - 15 * 200.0) / 2, 300); // centred at 20 points
        QVERIFY(title->bold && title->underline);
        // The car's texts are trimmed.
        verifyPlaces(c, {{u"Opel Astra típusú ABC-123 rendszámú gépkocsihoz"_s, 1000, 1000},
                         {u"Záró km-óra állás: 10\u00A0060 km (magán: 0 km)"_s, 1000, 2250},
                         {u"Elszámoló neve: Teszt Kft."_s, 5500, 1500}, {u"1. oldal"_s, 11000 - 8 * 80.0 - 1000, 500}});
        const auto box = c.all(Kind::Box).value(0);
        QCOMPARE(QList<double>({box.x1, box.y1, box.x2, box.y2}), QList<double>({5400, 1400, 10000, 2500}));
    }

    void dayWithOneStopGivesNoRow() {
        PrintFixture f;
        f.day(3, {2});
        const RecordingCanvas c = f.layout(Printout::Logbook);
        QVERIFY(!c.textStarting(u"március 3"_s));
        verifyPlaces(c, {{u"0 km a lapon"_s, 1000, 3250}, {u"Összesen: 0 km"_s, 1000, 3500}});
    }

    void fourStopsGiveThreeRowsWithSeparators() {
        PrintFixture f;
        f.day(5, {1, 2, 3, 1});
        const RecordingCanvas c = f.layout(Printout::Logbook);
        QCOMPARE(tops(c.all(Kind::Text), u"március 5."_s), QList<double>({3250, 3750, 4250}));
        // A blank address shows the city alone, in "Hova" of row 2 and "Honnan" of row 3.
        verifyPlaces(c, {{u"Győr, Ipar út 2."_s, 6265, 3250}, {u"Szeged"_s, 6265, 3750}});
        QCOMPARE(c.count(u"Szeged"_s), 2);

        QCOMPARE(tops(c.all(Kind::Line)), QList<double>({3500 + 192.0, 4000 + 192.0}));
        QCOMPARE(tops(c.all(Kind::Bar)).value(1), 4500 + 192.0 - 8); // under the heads and under the day
        QCOMPARE(c.all(Kind::Bar).size(), 2);
        verifyAt(c.text(u"Összesen: 120 km"_s), 1000, 5000);
    }

    void pagesOfTwentyThreeAndTwentyFourLegs() {
        PrintFixture f;
        f.legs(23);
        int pages = 0;
        RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        // The count laid out, the pages drawn and what the preview pages through.
        QCOMPARE((std::tuple{pages, c.pages(), logbookPageCount(f.s, f.log)}), (std::tuple{1, 1, 1}));
        verifyPlaces(c, {{u"690 km a lapon"_s, 1000, 14750}, {u"Összesen: 690 km"_s, 1000, 15000}});
        QVERIFY(!c.textEnding(u" göngyölt km"_s));

        f.legs(24);
        c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QCOMPARE((std::tuple{pages, c.pages(), logbookPageCount(f.s, f.log)}), (std::tuple{2, 2, 2}));
        verifyPlaces(c, {{u"690 km a lapon"_s, 1000, 14750}, {u"690 göngyölt km"_s, 1000, 15000}, {u"30 km a lapon"_s, 1000, 3750}});
        QCOMPARE(std::pair(c.texts(2).count(u"Útnyilvántartás"_s), c.text(u"Összesen: 720 km"_s)->page), std::pair(qsizetype(1), 2));

        // The preview: the same pages at 80 %, only the page shown.
        const RecordingCanvas first = f.layout(Printout::Logbook, Twin::preview(1));
        QVERIFY(!first.text(u"2. oldal"_s));
        verifyAt(first.text(u"690 göngyölt km"_s), 800, 12000);
        const RecordingCanvas second = f.layout(Printout::Logbook, Twin::preview(2));
        QCOMPARE(second.pages(), 1); // the preview never turns a page
        verifyAt(second.text(u"2. oldal"_s), 8800 - 640 - 800, 400);
    }

    // A day's comment takes a row under its last leg; a month without comments keeps its pages.
    void commentsUnderTheDaysLastRow() {
        PrintFixture f;
        f.legs(23); // a full page: days 1..5 of four legs, day 6 of three
        f.log.comments[30] = u"nincs útja ezen a napon"_s; // day 31: no row to go under
        f.log.comments[2] = u"   "_s;
        int pages = 0;
        RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QVERIFY(pages == 1 && !c.textStarting(u"Megjegyzés"_s));

        f.log.comments[0] = u"Tárgyalás"_s;
        c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QCOMPARE(std::pair(pages, logbookPageCount(f.s, f.log)), std::pair(2, 2));
        // Row 11, after rows 7..10.
        verifyPlaces(c, {{u"Megjegyzés: Tárgyalás"_s, 1000, 5250}, {u"március 2."_s, 1000, 5750}});
        // The day's bar moves under its comment: a line under the fourth leg, the bar under row 11.
        QCOMPARE(c.all(Kind::Line).value(3).y1, 5000 + 192.0);
        QCOMPARE(c.all(Kind::Bar).value(1).y1, 5500 + 192.0 - 8);

        // A long comment is made smaller onto three lines within the row and the page, and cut
        // after them.
        f.log.comments[0] = QStringList(200, u"szerződés"_s).join(u' ');
        c = f.layout(Printout::Logbook, Twin::printer());
        const auto* first = c.textStarting(u"Megjegyzés: szerződés"_s);
        const auto* second = c.textEnding(u"…"_s);
        QVERIFY(first && second && first->x2 <= 10000 && second->x2 <= 10000);
        QCOMPARE(std::pair(second->y1, second->fontSize), std::pair(5250 + 2 * 144.0, 6.0));
    }

    // The statement's long title and the page line never share a spot; where they have room,
    // the page line stays on its row below the title.
    void statementTitleClearOfThePageLine() {
        PrintFixture f;
        f.day(2, {1, 2});
        auto overlap = [](const RecordingCanvas::Item* a, const RecordingCanvas::Item* b) {
            return a->x1 < b->x2 && b->x1 < a->x2 && a->y1 < b->y2 && b->y1 < a->y2;
        };
        for (const Twin& twin : {Twin::printer(), Twin::preview(1)}) {
            const RecordingCanvas c = f.layout(Printout::CostStatement, twin);
            const auto* title = c.text(u"Melléklet: Költségelszámolás"_s);
            const auto* program = c.text(programTitle());
            const auto* number = c.text(u"1. oldal"_s);
            QVERIFY(title && program && number);
            QVERIFY(!overlap(title, program) && !overlap(title, number) && !overlap(program, c.textEnding(u"rendszámú gépkocsi "_s)));
        }
        verifyAt(f.layout(Printout::CostStatement).text(programTitle()), 1000, 500);
    }

    // Days past the month's end neither print nor add a page; the leap day prints.
    void onlyDaysOfTheMonth() {
        for (const auto& [year, total] : {std::pair{2001, u"Összesen: 690 km"_s}, {2004, u"Összesen: 740 km"_s}}) {
            PrintFixture f;
            f.setMonth(year, 2);
            f.legs(23);
            f.day(29, {1, 4});
            f.day(30, {1, 3});
            int pages = 0;
            const RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
            QVERIFY(c.text(total) && !c.textStarting(u"február 30"_s));
            QCOMPARE(std::pair(pages, bool(c.text(u"február 29."_s))), std::pair(year == 2004 ? 2 : 1, year == 2004));
        }
    }

    void kilometreSumsDoNotOverflow() {
        PrintFixture f;
        f.s.distances.at(1, 2).distance = 30000;
        f.s.distances.at(2, 1).distance = 30000;
        f.legs(3);
        const RecordingCanvas c = f.layout(Printout::Logbook);
        QVERIFY(c.text(u"Összesen: 90\u00A0000 km"_s) && c.text(u"Záró km-óra állás: 100\u00A0000 km (magán: 0 km)"_s));
    }

    // ---- the cost statement

    // Worked by hand: 30 legs of 30 km at 251 Ft/L (2.4 L each, 602 + 300 Ft), then on day 25 at
    // 249 Ft/L 40 km (796 + 400), 70 and 60 km at x 1.25 (1743 + 700, 1494 + 600) and 30 km (597 + 300).
    void statementSums() {
        PrintFixture f;
        f.s.fuelPrices = {{QDate(2002, 2, 20), 251}, {QDate(2002, 3, 9), 263}, {QDate(2002, 3, 21), 249}};
        f.legs(30);
        f.day(25, {1, 3, 4, 2, 1});
        // Fuel 30 * 602 + 796 + 1743 + 1494 + 597 = 22690 (23821 at x 1.05), general 30 * 300 + 2000.
        for (const auto& [season, total, fuel] :
             {std::tuple{1.0f, qint64(33690), qint64(22690)}, {1.05f, qint64(34821), qint64(23821)}}) {
            const StatementSums sums = computeStatement(f.s, f.log, season);
            QCOMPARE((std::tuple{sums.totalCost, std::accumulate(sums.cost.begin(), sums.cost.end(), qint64(0)), sums.totalKm}),
                     (std::tuple{total, total, qint64(1100)}));
            QCOMPARE(std::pair(sums.fuelCost, sums.generalCost), std::pair(fuel, qint64(11000)));
        }
    }

    void statementTable() {
        PrintFixture f;
        f.day(2, {1, 2, 3}); // 30 km "Közút", 50 km "Megyeszékhely"
        const RecordingCanvas c = f.layout(Printout::CostStatement);
        // No season box ticked: no multiplier line. The route rows: 30 * 8 / 100 * 250 + 300 and
        // 50 * 8 / 100 * 250 * 1.25 + 500 (grouped as the total); an unused route type has no row.
        // The total's two parts above it: 600 + 1250 Ft fuel, 300 + 500 Ft general cost.
        QVERIFY(c.texts().filter(u"szorzó:"_s).isEmpty() && !c.text(u"Budapest"_s));
        QCOMPARE(c.all(Kind::Line).size(), 4);
        verifyPlaces(c, {{u"Melléklet: Költségelszámolás"_s, (11000 - 28 * 200) / 2, 300},
                         {u"Gépkocsi fogyasztása: 8 l/100 km, dízel típusú üzemanyag"_s, 1000, 3000},
                         {u"Általános költség: 10 Ft/km"_s, 1000, 3500}, {u"Úttípus"_s, 1000, 4500},
                         {u"900 Ft"_s, 8500, 5000}, {u"Megyeszékhely"_s, 1000, 5500}, {u"1,25"_s, 6000, 5500},
                         {u"1\u00A0750 Ft"_s, 8500, 5500}, {u"Üzemanyagköltség:"_s, 1000, 6000}, {u"1\u00A0850 Ft"_s, 8500, 6000},
                         {u"Általános költség:"_s, 1000, 6500}, {u"800 Ft"_s, 8500, 6500}, {u"Összesen: "_s, 1000, 7000},
                         {u"2\u00A0650 Ft"_s, 8500, 7000}, {u"Felhasznált üzemanyag: 7,4 l"_s, 1000, 8000}});
        // Beside the litres, why the cost is not litres times price.
        const auto* note = c.textStarting(u"Minden út költsége külön"_s);
        QVERIFY(note && note->y1 == 8000 && note->x1 > 1000 + 28 * 100);
        QStringList lines;
        for (const auto& t : c.all(Kind::Text))
            if (t.x1 == note->x1 && t.y1 >= 8000 && t.y1 < 8500)
                lines << t.text;
        QCOMPARE(lines.join(u' '), kPerLegNote);
    }

    void seasonLineNamesTheTickedBox() {
        PrintFixture f;
        f.day(2, {1, 2});
        f.s.multipliers[kWinterRow].value = 1.05f; // the same number as the air conditioning row
        RecordingCanvas c = f.layout(Printout::CostStatement, Twin::printer(), nullptr, seasonOf(f.s, true, false));
        verifyPlaces(c, {{u"Klímahasználat miatt felhasznált szorzó: 1,05"_s, 1000, 3500}, {u"Általános költség: 10 Ft/km"_s, 1000, 4000}});
        QVERIFY(c.text(u"Felhasznált üzemanyag: 2,5 l"_s)); // 30 km at 8 l/100 km, times 1.05
        c = f.layout(Printout::CostStatement, Twin::printer(), nullptr, seasonOf(f.s, false, true));
        QVERIFY(c.text(u"Téli üzemeltetés miatt felhasznált szorzó: 1,05"_s) && !c.textStarting(u"Klímahasználat"_s));

        // A flat-norm car: the line says why no factor counts, and the litres take none
        // (30 km at 8 L/100 km = 2,4 L).
        f.s.carFacts.norm = NormKind::Flat;
        c = f.layout(Printout::CostStatement, Twin::printer(), nullptr, seasonOf(f.s, true, false));
        verifyAt(c.textStarting(u"Alapnorma-átalány (hengerűrtartalom szerint): korrekciós szorzó nem jár"_s), 1000, 3500);
        QVERIFY(!c.textStarting(u"Klímahasználat"_s) && c.text(u"Felhasznált üzemanyag: 2,4 l"_s));
    }

    void pricePeriods_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<QList<QDate>>("changes");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("change on the 15th") << 3 << QList<QDate>{QDate(2002, 1, 10), QDate(2002, 3, 15)}
                                            << QStringList{u"2002. március 1. - 2002. március 14.: 250 Ft/l (saját ár, 2002.01.10.)"_s,
                                                           u"2002. március 15. - 2002. március 31.: 251 Ft/l (saját ár, 2002.03.15.)"_s};
        QTest::newRow("one-day runs") << 3 << QList<QDate>{QDate(2002, 3, 1), QDate(2002, 3, 30), QDate(2002, 3, 31)}
                                      << QStringList{u"2002. március 1. - 2002. március 29.: 250 Ft/l (saját ár, 2002.03.01.)"_s,
                                                     u"2002. március 30.: 251 Ft/l (saját ár, 2002.03.30.)"_s,
                                                     u"2002. március 31.: 250 Ft/l (saját ár, 2002.03.31.)"_s};
        QTest::newRow("leap February") << 2 << QList<QDate>{QDate(2002, 1, 10)}
                                       << QStringList{u"2004. február 1. - 2004. február 29.: 250 Ft/l (saját ár, 2002.01.10.)"_s};
    }
    void pricePeriods() {
        QFETCH(int, month);
        QFETCH(QList<QDate>, changes);
        QFETCH(QStringList, runs);
        PrintFixture f;
        f.setMonth(month == 2 ? 2004 : 2002, month);
        f.day(month == 2 ? 29 : 1, {1, 2});
        f.s.fuelPrices.clear();
        for (qsizetype i = 0; i < changes.size(); ++i)
            f.s.fuelPrices.append({changes[i], qint16(250 + i % 2)});
        const RecordingCanvas c = f.layout(Printout::CostStatement);
        QVERIFY(c.text(u"30 km"_s));
        QCOMPARE(c.texts().filter(u"Ft/l"_s), runs);
    }

    void dayBeforeEveryPriceDrawsNothing() {
        PrintFixture f;
        f.day(10, {1, 2}); // a leg before the month's first price
        f.s.fuelPrices = {{QDate(2002, 3, 15), 262}};
        RecordingCanvas c;
        int pages = -1;
        const Result r = layoutPrintout(c, f.s, f.log, Printout::CostStatement, Season{}, Twin::printer(), &pages);
        QVERIFY(!r && c.items.isEmpty() && pages == -1 &&
                r.message().startsWith(u"Nincs benzinár megadva ehhez a hónaphoz.\r\nHiányzik a(z) 2002. március"_s));
    }

    // Litres by hand: consumption / 100 * season * sum of km * multiplier, cut to a tenth. The sum's
    // decimals are the finest of its terms, whichever comes last: 7.0 x 2.35 = 16.45.
    void fuelUsedIsCutFromTheExactSum() {
        const std::tuple<float, float, QVector<KmAtMultiplier>, QString> cases[] = {
            {7.0f, 1.0f, {{1.0f, 1010}}, u"70,7"_s},          {5.9f, 1.0f, {{1.1f, 1000}}, u"64,9"_s},
            {6.5f, 1.05f, {{1.1f, 200}, {1.25f, 40}}, u"18,4"_s}, // 18.4275
            {7.0f, 1.0f, {{1.35f, 100}, {1.0f, 100}}, u"16,4"_s}, {9.0f, 1.0f, {{1.0f, 1}}, u"0"_s},
            {25.5f, 1.03f, {{1.4f, 20000}}, u"7354,2"_s},       {7.123457f, 1.000001f, {{1.0f, 100}}, u"7,1"_s}};
        for (const auto& [consumption, season, legs, litres] : cases)
            QCOMPARE(tenthsText(fuelTenthsCut(consumption, season, legs)), litres);
    }
    void longPriceListContinuesOnANewPage() {
        PrintFixture f;
        f.day(1, {1, 2, 3});
        int pages = 0;
        for (int d = 1; d <= 31; ++d) {
            f.s.fuelPrices.append({QDate(2002, 3, d), qint16(300 + d)});
            if (d == 12) { // 12 runs end page 1 exactly
                f.layout(Printout::CostStatement, Twin::printer(), &pages);
                QCOMPARE(pages, 1);
            }
        }
        const RecordingCanvas c = f.layout(Printout::CostStatement, Twin::printer(), &pages);
        QCOMPARE((std::tuple{pages, c.texts(1).filter(u"Ft/l"_s).size(), c.texts(2).filter(u"Ft/l"_s).size()}),
                 (std::tuple{2, qsizetype(12), qsizetype(19)}));
        QCOMPARE(c.text(u"Felhasznált üzemanyagárak folyt.:"_s)->page, 2);
        verifyPlaces(c, {{u"Felhasznált üzemanyagárak folyt.:"_s, 1000, 2000}, {u"2002. március 13.: 313 Ft/l (saját ár, 2002.03.13.)"_s, 1000, 2500}});
    }

    // The year's bars stand against marked scales of four round steps, km at the left and Ft at
    // the right; a month's private km sit on its business km, each its share of the top mark.
    void yearChartScalesAndStacking() {
        AppState s;
        YearSummary y;
        y.year = 2024;
        y.rows = {YearRow{.month = 3, .start = 12000, .km = 1234, .cost = 48210},
                  YearRow{.month = 4, .start = 13234, .km = 700, .privateKm = 300, .cost = 30000}};
        RecordingCanvas c;
        layoutYear(c, s, y);
        QStringList texts;
        for (const RecordingCanvas::Item& i : c.items)
            if (i.kind == Kind::Text)
                texts << QString(i.text).replace(QChar(0x00A0), u' ');
        for (const QString& mark : {u"0 km"_s, u"400 km"_s, u"1 600 km"_s, u"0 Ft"_s, u"20 000 Ft"_s, u"80 000 Ft"_s})
            QVERIFY2(texts.contains(mark), qPrintable(mark));
        QVERIFY(!texts.contains(u"2 000 km"_s));
        // The legend's swatch aside, the bars are March's and April's business km, left to right.
        QVector<RecordingCanvas::Item> bars = c.all(Kind::Bar);
        bars.erase(std::remove_if(bars.begin(), bars.end(), [](const auto& b) { return b.y2 - b.y1 < 200; }),
                   bars.end());
        QVERIFY(bars.size() == 2 && qFuzzyCompare(bars[0].y2 - bars[0].y1, 3000.0 * 1234 / 1600));
        const RecordingCanvas::Item april = bars[1];
        QCOMPARE(april.y2 - april.y1, 1312.5);
        QVector<RecordingCanvas::Item> onTop;
        for (const RecordingCanvas::Item& b : c.all(Kind::Box))
            if (b.x1 == april.x1 && b.x2 == april.x2)
                onTop << b;
        QCOMPARE(onTop.size(), 1);
        QCOMPARE((std::pair{onTop[0].y2, onTop[0].y2 - onTop[0].y1}), (std::pair{april.y1, 562.5}));
    }

    void previewScrollBar() {
        // Picture 13000 high: scrolling ends above 14000 twips of window.
        QVERIFY(previewGeometry(19200, 14000, 9000, 13000, 9000, 255).scrollEnabled &&
                !previewGeometry(19200, 14001, 9000, 13000, 9000, 255).scrollEnabled);
        QCOMPARE(std::pair(previewGeometry(19200, 12000, 9000, 13000, 9000, 255).scrollMaximum,
                           previewGeometry(19200, 1000, 9000, 60000, 9000, 255).scrollMaximum),
                 std::pair(2000, 32767));
    }

    // ---- the travel order

    // Only the day without a comment is a fault; the figures of each day are read from the PDF.
    void travelOrderPdf() {
        PrintFixture f;
        twoDays(f);
        const QStringList faults = reckonMonth(f.s, f.log, Season{}, QVector<FuelPrice>{}).lines();
        QVERIFY(faults.size() == 1 && faults[0].startsWith(u"2002. március 10.:"_s));
        f.s.programDir = dir.path() + u'/';
        f.s.carFacts.taxId = u"8365670003"_s;
        f.s.partners[2].city = u"Balatonszentgyörgy-Balatonkeresztúr"_s; // a long name cuts no figure
        const QString path = dir.filePath(u"rendelveny.pdf"_s);
        QVERIFY(printToPdf(f.s, f.log, Printout::TravelOrder, Season{}, path).ok());
        QCOMPARE(pdfPages(path), 3); // two days and the summary
        const QString text = pdfText(path).simplified();
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        for (const QString& want : {
                 u"Kiküldetési rendelvény"_s, u"A kiküldött neve: Teszt"_s, u"Adóazonosító jele: 8365670003"_s, u"Opel Astra, rendszáma: ABC-123"_s,
                 u"A kiküldetés napja: 2002. március 3."_s, u"A kiküldetés célja: Ügyféltárgyalás Győrben"_s,
                 u"Útvonal: Budapest – Győr – Budapest"_s,
                 u"1. Budapest → Győr"_s, u"30 km × 8 l/100 km × 250 Ft/l = 600 Ft; 30 km × 15 Ft/km = 450 Ft"_s,
                 u"Térítendő összeg: 2 100 Ft"_s, u"A kiküldetés célja: nincs megadva"_s,
                 u"Útvonal: Budapest – Győr – Balatonszentgyörgy-Balatonkeresztúr – Budapest"_s,
                 u"2. Győr → Balatonszentgyörgy-Balatonkeresztúr"_s,
                 u"50 km × 8 l/100 km × 250 Ft/l × 1,25 (útvonal) = 1 250 Ft"_s,
                 u"Térítendő összeg: 4 450 Ft"_s, u"a kiküldött aláírása"_s, u"a kiküldő (munkáltató) aláírása"_s,
                 u"havi összesítő"_s, u"Térítendő összesen: 6 550 Ft"_s})
            QVERIFY2(text.contains(want), qPrintable(want + u"\n---\n"_s + text));
    }

    void travelOrderNeedsEveryPrice() {
        PrintFixture f;
        twoDays(f);
        f.s.fuelPrices = {{QDate(2002, 3, 5), 250}}; // day 3 has none
        QVERIFY(computeTravelOrder(f.s, f.log, 1.0f).missingPrice);
        f.s.programDir = dir.path() + u'/';
        const QString path = dir.filePath(u"nincs.pdf"_s);
        QVERIFY(!printToPdf(f.s, f.log, Printout::TravelOrder, Season{}, path).ok() && !QFile::exists(path));
    }

    // ---- the painter

    void painterCanvasMapsTwipsToTheDevice() {
        // 144 dots per inch: ten pixels per 100 twips.
        QImage image(600, 600, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(144 / 0.0254));
        image.setDotsPerMeterY(qRound(144 / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter, 6000);
        canvas.setFontSize(10);
        canvas.printText(1000, 1000, u"Összesen"_s);
        QVERIFY(canvas.currentY() > 1000 + 180 && canvas.currentY() < 1000 + 320); // a 10-point line lower
        canvas.bar(1000, 3000, 5000, 3020);
        painter.end();
        QCOMPARE(std::pair(image.pixelColor(300, 301), image.pixelColor(300, 310)), std::pair(QColor(Qt::black), QColor(Qt::white)));
        // The text's ink starts at y = 100 pixels.
        int inkTop = -1;
        for (int y = 0; y < 150 && inkTop < 0; ++y)
            for (int x = 0; x < 600 && inkTop < 0; ++x)
                if (image.pixelColor(x, y).lightness() < 128)
                    inkTop = y;
        QVERIFY2(inkTop >= 100 && inkTop < 130, qPrintable(QString::number(inkTop)));
    }
};

QTEST_MAIN(PrintoutTest)
#include "tst_printout.moc"
