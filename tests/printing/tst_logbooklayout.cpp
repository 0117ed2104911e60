#include "printfixture.h"
#include "printing/printout.h"
#include "printing/recordingcanvas.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

class LogbookLayoutTest : public QObject {
    Q_OBJECT

    static RecordingCanvas printed(const PrintFixture& f, int* pages = nullptr) {
        RecordingCanvas c(11000);
        const int n = layoutLogbook(c, f.s, f.log, Twin::printer());
        if (pages)
            *pages = n;
        return c;
    }

private slots:
    void headerOnThePrinter() {
        PrintFixture f;
        f.legs(2);
        RecordingCanvas c = printed(f);

        const auto* title = c.text(u"Útnyilvántartás"_s);
        QVERIFY(title);
        QCOMPARE(title->y1, 300.0);
        QCOMPARE(title->x1, (11000 - 15 * 200.0) / 2); // 15 letters, half an em each at 20 points
        QVERIFY(title->bold && title->underline);
        QCOMPARE(title->fontSize, 20.0);

        const auto* car = c.text(u"Opel Astra típusú ABC-123 rendszámú gépkocsihoz"_s);
        verifyAt(car, 1000, 1000);
        QVERIFY(!car->bold && !car->underline);
        QCOMPARE(car->fontSize, 10.0);
        verifyAt(c.text(u"2002. március hónapra"_s), 1000, 1500);
        verifyAt(c.text(u"Kezdő km-óra állás: 10000 km"_s), 1000, 2000);
        // Two legs of 30 km.
        verifyAt(c.text(u"Záró km-óra állás: 10060 km"_s), 1000, 2250);

        // The claimant block: XR = 3 * 11000 / 5.
        const auto boxes = c.all(Kind::Box);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].x1, 6500.0);
        QCOMPARE(boxes[0].y1, 1400.0);
        QCOMPARE(boxes[0].x2, 10000.0);
        QCOMPARE(boxes[0].y2, 2500.0);
        const auto* name = c.text(u"Elszámoló neve: Teszt Kft."_s);
        verifyAt(name, 6600, 1500);
        QCOMPARE(name->fontSize, 8.0);
        verifyAt(c.text(u"Címe: Budapest, Fő utca 1."_s), 6600, 2000);

        // Heads: columns at M, M + C and M + 3C with C = (W - M) / 5.
        for (const auto& [text, x, y] : {std::tuple{u"Dátum"_s, 1000.0, 2750.0}, {u"Honnan"_s, 3000.0, 2750.0},
                                         {u"Hova"_s, 7000.0, 2750.0}, {u"Megtett út"_s, 1000.0, 3000.0},
                                         {u"Útvonal típusa"_s, 3000.0, 3000.0},
                                         {u"Felkeresett partner"_s, 7000.0, 3000.0}}) {
            const auto* head = c.text(text);
            verifyAt(head, x, y);
            QVERIFY(head->bold);
        }
        // The bar under the heads stands on the line just below the second head line.
        const auto bars = c.all(Kind::Bar);
        const double below = 3000 + 8 * 24.0;
        QCOMPARE(bars[0].y1, below - 10);
        QCOMPARE(bars[0].y2, below + 10);
        QCOMPARE(bars[0].x1, 1000.0);
        QCOMPARE(bars[0].x2, 10000.0);

        const auto* page = c.text(u"1. oldal"_s);
        verifyAt(page, 11000 - 8 * 80.0 - 1000, 500); // right-aligned at the margin
        verifyAt(c.text(programTitle()), 1000, 500);
        QVERIFY(programTitle().startsWith(u"Rovanta+ "_s));
    }

    void dayWithOneStopGivesNoRow() {
        PrintFixture f;
        f.day(3, {2});
        int pages = 0;
        RecordingCanvas c = printed(f, &pages);
        QCOMPARE(pages, 1);
        QCOMPARE(logbookRowCount(f.s, f.log), 0);
        QVERIFY(!c.textStarting(u"március 3"_s));
        // No legs: the header, a page sum of 0 and a total of 0 km.
        verifyAt(c.text(u"0 km a lapon"_s), 1000, 3250);
        const auto* total = c.text(u"Összesen: 0 km"_s);
        verifyAt(total, 1000, 3500);
        QVERIFY(total->bold && total->underline);
        QVERIFY(!c.textEnding(u" göngyölt km"_s));
    }

    void fourStopsGiveThreeRowsWithSeparators() {
        PrintFixture f;
        f.day(5, {1, 2, 3, 1});
        RecordingCanvas c = printed(f);
        const auto texts = c.all(Kind::Text);
        QStringList dates;
        for (const auto& t : texts)
            if (t.text == u"március 5."_s) {
                QCOMPARE(t.x1, 1000.0);
                dates << QString::number(t.y1);
            }
        QCOMPARE(dates, (QStringList{u"3250"_s, u"3750"_s, u"4250"_s}));

        // Row 1: from the base to Alfa; the place text joins city and address.
        verifyAt(c.text(u"Budapest, Fő utca 1."_s), 3000, 3250);
        verifyAt(c.text(u"Győr, Ipar út 2."_s), 7000, 3250);
        verifyAt(c.text(u"30 km"_s), 1000, 3500);
        verifyAt(c.text(u"Alfa Bt."_s), 7000, 3500);
        // Row 2: Alfa to Béta, a blank address shows the city alone.
        verifyAt(c.text(u"Szeged"_s), 7000, 3750);
        verifyAt(c.text(u"50 km"_s), 1000, 4000);
        verifyAt(c.text(u"Megyeszékhely"_s), 3000, 4000);
        QCOMPARE(c.count(u"Szeged"_s), 2); // destination of row 2, start of row 3
        verifyAt(c.text(u"40 km"_s), 1000, 4500);

        // Thin lines after rows 1 and 2, a thick bar under row 3.
        const auto lines = c.all(Kind::Line);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].y1, 3500 + 192.0);
        QCOMPARE(lines[1].y1, 4000 + 192.0);
        QCOMPARE(lines[0].x1, 1000.0);
        QCOMPARE(lines[0].x2, 10000.0);
        const auto bars = c.all(Kind::Bar);
        QCOMPARE(bars.size(), 2); // the head bar and the day bar
        QCOMPARE(bars[1].y1, 4500 + 192.0 - 8);
        QCOMPARE(bars[1].y2, 4500 + 192.0 + 7);

        verifyAt(c.text(u"120 km a lapon"_s), 1000, 4750);
        verifyAt(c.text(u"Összesen: 120 km"_s), 1000, 5000);
    }

    void twentyThreeLegsFillOnePage() {
        PrintFixture f;
        f.legs(23);
        int pages = 0;
        RecordingCanvas c = printed(f, &pages);
        QCOMPARE(pages, 1);
        QCOMPARE(c.pages(), 1);
        QCOMPARE(logbookPageCount(f.s, f.log), 1);
        verifyAt(c.text(u"690 km a lapon"_s), 1000, 14750);
        verifyAt(c.text(u"Összesen: 690 km"_s), 1000, 15000);
        QVERIFY(!c.textEnding(u" göngyölt km"_s));
        QVERIFY(!c.text(u"2. oldal"_s));
    }

    void twentyFourLegsBreakOntoASecondPage() {
        PrintFixture f;
        f.legs(24);
        int pages = 0;
        RecordingCanvas c = printed(f, &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(c.pages(), 2);
        QCOMPARE(logbookPageCount(f.s, f.log), 2);

        const auto* pageSum = c.text(u"690 km a lapon"_s);
        verifyAt(pageSum, 1000, 14750);
        QCOMPARE(pageSum->page, 1);
        const auto* running = c.text(u"690 göngyölt km"_s);
        verifyAt(running, 1000, 15000);
        QCOMPARE(running->page, 1);

        // Page 2: the header again and the one row at the first row position.
        QCOMPARE(c.text(u"2. oldal"_s)->page, 2);
        QCOMPARE(c.texts(2).count(u"Útnyilvántartás"_s), 1);
        const auto* last = c.text(u"30 km a lapon"_s);
        verifyAt(last, 1000, 3750);
        QCOMPARE(last->page, 2);
        const auto* total = c.text(u"Összesen: 720 km"_s);
        QVERIFY(total);
        QCOMPARE(total->page, 2);
        QCOMPARE(c.texts(2).filter(u"göngyölt"_s).size(), 0);
    }

    void daysPastTheMonthEndAreNeitherPrintedNorCounted() {
        PrintFixture f;
        f.setMonth(2001, 2);
        f.legs(23);
        f.day(29, {1, 2});
        f.day(30, {1, 3});
        int pages = 0;
        RecordingCanvas c = printed(f, &pages);
        QCOMPARE(pages, 1);
        QCOMPARE(logbookPageCount(f.s, f.log), 1);
        QVERIFY(!c.textStarting(u"február 29"_s));
        QVERIFY(!c.textStarting(u"február 30"_s));
        QVERIFY(c.text(u"Összesen: 690 km"_s));
    }

    void leapDayIsPrinted() {
        PrintFixture f;
        f.setMonth(2004, 2);
        f.day(29, {1, 4});
        RecordingCanvas c = printed(f);
        verifyAt(c.text(u"február 29."_s), 1000, 3250);
        QVERIFY(c.text(u"Összesen: 50 km"_s));
    }

    void kilometreSumsDoNotOverflow() {
        PrintFixture f;
        f.s.distances.at(1, 2).distance = 30000;
        f.s.distances.at(2, 1).distance = 30000;
        f.legs(3);
        RecordingCanvas c = printed(f);
        QVERIFY(c.text(u"90000 km a lapon"_s));
        QVERIFY(c.text(u"Összesen: 90000 km"_s));
        QVERIFY(c.text(u"Záró km-óra állás: 100000 km"_s));
    }

    void previewShowsOnlyThePageShownAtEightyPercent() {
        PrintFixture f;
        f.legs(24);
        RecordingCanvas first(8800);
        QCOMPARE(layoutLogbook(first, f.s, f.log, Twin::preview(1)), 2);
        QVERIFY(first.text(u"1. oldal"_s));
        QVERIFY(!first.text(u"2. oldal"_s));
        verifyAt(first.text(u"690 km a lapon"_s), 800, 11800);
        verifyAt(first.text(u"690 göngyölt km"_s), 800, 12000);
        QVERIFY(!first.textStarting(u"Összesen"_s));
        verifyAt(first.text(u"Útnyilvántartás"_s), (8800 - 3000) / 2, 240); // unscaled font, own width
        QCOMPARE(first.text(u"Útnyilvántartás"_s)->fontSize, 20.0);
        verifyAt(first.text(programTitle()), 800, 400);
        // Columns on the preview's own width; the box keeps its unscaled offsets.
        verifyAt(first.text(u"Honnan"_s), 2400, 2200);
        verifyAt(first.text(u"Hova"_s), 5600, 2200);
        const auto box = first.all(Kind::Box).value(0);
        QCOMPARE(box.x1, 5280.0 - 100);
        QCOMPARE(box.y1, 1200.0 - 100);
        QCOMPARE(box.x2, 8000.0);

        RecordingCanvas second(8800);
        QCOMPARE(layoutLogbook(second, f.s, f.log, Twin::preview(2)), 2);
        QCOMPARE(second.pages(), 1); // the preview never turns a page
        const auto* page = second.text(u"2. oldal"_s);
        verifyAt(page, 8800 - 640 - 800, 400);
        QVERIFY(!second.text(u"1. oldal"_s));
        QVERIFY(!second.textEnding(u" göngyölt km"_s));
        verifyAt(second.text(u"30 km a lapon"_s), 800, 3000);
        verifyAt(second.text(u"Összesen: 720 km"_s), 800, 3200);
        QCOMPARE(second.count(u"március 6."_s), 1);
    }
};

QTEST_MAIN(LogbookLayoutTest)
#include "tst_logbooklayout.moc"
