#include "printfixture.h"
#include "printing/preview.h"
#include "printing/printout.h"
#include "printing/recordingcanvas.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

class StatementLayoutTest : public QObject {
    Q_OBJECT

    static RecordingCanvas printed(const PrintFixture& f, const Season& season = {}, int* pages = nullptr) {
        RecordingCanvas c(11000);
        const Result r = layoutPrintout(c, f.s, f.log, Printout::CostStatement, season, Twin::printer(), pages);
        if (!r)
            qWarning() << r.message();
        return c;
    }
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void workedExampleLeg() {
        PrintFixture f;
        f.s.distances.at(1, 2) = DistanceCell{100, 1};
        f.day(4, {1, 2});
        const StatementSums sums = computeStatement(f.s, f.log, 1.0f);
        QVERIFY(!sums.missingPrice);
        QCOMPARE(sums.totalCost, 3000); // fuel 100 * 8 / 100 * 250 = 2000, general 1000
        QCOMPARE(sums.totalKm, 100);
        QCOMPARE(sums.km[0], 100);
        QCOMPARE(sums.cost[0], 3000);
        QVERIFY(sums.used[0]);
        QVERIFY(!sums.used[1]);
        QCOMPARE(sums.fuelUsed, 8.0f);
    }

    void sumsAgreeWithTheEditorsTotal() {
        PrintFixture f;
        f.s.fuelPrices = {{QDate(2002, 2, 20), 251}, {QDate(2002, 3, 9), 263}, {QDate(2002, 3, 21), 249}};
        f.legs(30);
        f.day(25, {1, 3, 4, 2, 1});
        f.day(31, {4, 3});
        for (float season : {1.0f, 1.05f, 1.03f}) {
            const StatementSums sums = computeStatement(f.s, f.log, season);
            QCOMPARE(sums.totalCost, computeMonthCost(f.s, f.log, season).total);
            qint64 km = 0, cost = 0;
            for (int r = 0; r < kRouteTypeCount; ++r) {
                km += sums.km[size_t(r)];
                cost += sums.cost[size_t(r)];
            }
            QCOMPARE(km, sums.totalKm);
            QCOMPARE(cost, sums.totalCost);
            QCOMPARE(sums.totalKm, qint64(f.log.monthKm));
        }
    }

    void headerAndTable() {
        PrintFixture f;
        f.day(2, {1, 2, 3}); // 30 km Közút, 50 km Megyeszékhely
        int pages = 0;
        RecordingCanvas c = printed(f, {}, &pages);
        QCOMPARE(pages, 1);

        const auto* page = c.text(u"1. oldal"_s);
        verifyAt(page, 11000 - 640 - 1000, 500);
        QCOMPARE(page->fontSize, 8.0);
        verifyAt(c.text(programTitle()), 1000, 500);
        const auto* title = c.text(u"Melléklet: Költségelszámolás"_s);
        verifyAt(title, (11000 - 28 * 200) / 2, 300);
        QVERIFY(title->bold && title->underline);
        verifyAt(c.text(u"Opel Astra típusú, ABC-123 rendszámú gépkocsi "_s), 1000, 1000);
        // Directly below the car line.
        verifyAt(c.text(u"2002. március havi útnyilvántartásához"_s), 1000, 1240);
        verifyAt(c.text(u"Kezdő km-óra állás: 10000 km"_s), 1000, 2000);
        verifyAt(c.text(u"Záró km-óra állás: 10080 km"_s), 1000, 2500);
        verifyAt(c.text(u"Gépkocsi fogyasztása: 8 L/100 km, dízel típusú üzemanyag"_s), 1000, 3000);
        QVERIFY(!c.textEnding(u"felhasznált szorzó: 1"_s));
        QVERIFY(c.texts().filter(u"szorzó:"_s).isEmpty());
        verifyAt(c.text(u"Általános költség: 10 Ft/km"_s), 1000, 3500);

        // Four columns at M + i * (W - M) / 4.
        const auto* head = c.text(u"Úttipus"_s);
        verifyAt(head, 1000, 4500);
        QVERIFY(head->bold);
        verifyAt(c.text(u"Megtett út"_s), 3500, 4500);
        verifyAt(c.text(u"Szorzó"_s), 6000, 4500);
        verifyAt(c.text(u"Költség"_s), 8500, 4500);
        const auto lines = c.all(Kind::Line);
        QCOMPARE(lines.size(), 3); // under the heads and under each of the two rows
        QCOMPARE(lines[0].y1, 4500 + 240.0);
        QCOMPARE(lines[0].x2, 10000.0);

        // 30 km * 8 / 100 * 250 * 1.0 = 600, + 300 general.
        verifyAt(c.text(u"Közút"_s), 1000, 5000);
        verifyAt(c.text(u"30 km"_s), 3500, 5000);
        verifyAt(c.text(u"1"_s), 6000, 5000);
        verifyAt(c.text(u"900 Ft"_s), 8500, 5000);
        // 50 km * 8 / 100 * 250 * 1.25 = 1250, + 500 general.
        verifyAt(c.text(u"Megyeszékhely"_s), 1000, 5500);
        verifyAt(c.text(u"1.25"_s), 6000, 5500);
        verifyAt(c.text(u"1750 Ft"_s), 8500, 5500);
        QVERIFY(!c.text(u"Budapest"_s)); // an unused route type has no row
        QCOMPARE(lines[2].y1, 5500 + 240.0);

        const auto* total = c.text(u"Összesen: "_s);
        verifyAt(total, 1000, 6000);
        QVERIFY(total->bold);
        verifyAt(c.text(u"80 km"_s), 3500, 6000);
        verifyAt(c.text(u"2650 Ft"_s), 8500, 6000);

        // 30 * 0.08 + 50 * 0.08 * 1.25 = 7.4 litres.
        verifyAt(c.text(u"Felhasznált üzemanyag: 7.4 L"_s), 1000, 7000);
        const auto* heading = c.text(u"Felhasznált üzemanyagárak:"_s);
        verifyAt(heading, 1000, 7500);
        QVERIFY(heading->bold && heading->underline);
        // One price for the whole month: one run from day 1 to the last day.
        verifyAt(c.text(u"2002. március 1. - 2002. március 31.: 250 Ft/L"_s), 1000, 8000);
        QCOMPARE(c.texts().filter(u"Ft/L"_s).size(), 1);
    }

    void seasonLine() {
        PrintFixture f;
        f.day(2, {1, 2});
        RecordingCanvas klima = printed(f, seasonOf(f.s, true, false));
        verifyAt(klima.text(u"Klímahasználat miatt felhasznált szorzó: 1.05"_s), 1000, 3500);
        verifyAt(klima.text(u"Általános költség: 10 Ft/km"_s), 1000, 4000);
        // 30 * 8 / 100 * 250 * 1 * 1.05 falls just short of 630 in single precision: rounded down.
        QVERIFY(klima.text(u"929 Ft"_s));

        RecordingCanvas winter = printed(f, seasonOf(f.s, false, true));
        verifyAt(winter.text(u"Téli üzemeltetés miatt felhasznált szorzó: 1.03"_s), 1000, 3500);

        // The line names the ticked box, whatever number the two rows hold.
        f.s.multipliers[kWinterRow].value = 1.05f;
        RecordingCanvas sameValue = printed(f, seasonOf(f.s, false, true));
        QVERIFY(sameValue.text(u"Téli üzemeltetés miatt felhasznált szorzó: 1.05"_s));
        QVERIFY(!sameValue.textStarting(u"Klímahasználat"_s));
        f.s.multipliers[kAirConditioningRow].value = 1.0f;
        RecordingCanvas neutral = printed(f, seasonOf(f.s, true, false));
        verifyAt(neutral.text(u"Klímahasználat miatt felhasznált szorzó: 1"_s), 1000, 3500);
    }

    void pricePeriodsSplitAtChanges() {
        PrintFixture f;
        f.day(1, {1, 2});
        f.s.fuelPrices = {{QDate(2002, 1, 10), 250}, {QDate(2002, 3, 15), 262}};
        RecordingCanvas c = printed(f);
        QCOMPARE(c.texts().filter(u"Ft/L"_s),
                 (QStringList{u"2002. március 1. - 2002. március 14.: 250 Ft/L"_s,
                              u"2002. március 15. - 2002. március 31.: 262 Ft/L"_s}));

        // A run of one day names the day once; the same price later is a run of its own.
        f.s.fuelPrices = {{QDate(2002, 3, 1), 250}, {QDate(2002, 3, 30), 270}, {QDate(2002, 3, 31), 250}};
        const auto periods = pricePeriods(computeStatement(f.s, f.log, 1.0f));
        QCOMPARE(periods.size(), 3);
        QCOMPARE(pricePeriodText(2002, 3, periods[1]), u"2002. március 30.: 270 Ft/L"_s);
        QCOMPARE(pricePeriodText(2002, 3, periods[2]), u"2002. március 31.: 250 Ft/L"_s);
    }

    void leapFebruaryIsCostedToTheTwentyNinth() {
        PrintFixture f;
        f.setMonth(2004, 2);
        f.day(29, {1, 2});
        const StatementSums sums = computeStatement(f.s, f.log, 1.0f);
        QCOMPARE(sums.days, 29);
        QCOMPARE(sums.totalKm, 30);
        RecordingCanvas c = printed(f);
        QVERIFY(c.text(u"2004. február 1. - 2004. február 29.: 250 Ft/L"_s));
    }

    void dayBeforeEveryPriceStopsEverything() {
        PrintFixture f;
        f.day(20, {1, 2});
        f.s.fuelPrices = {{QDate(2002, 3, 15), 262}};
        QVERIFY(computeStatement(f.s, f.log, 1.0f).missingPrice);
        RecordingCanvas c;
        int pages = -1;
        const Result r = layoutPrintout(c, f.s, f.log, Printout::CostStatement, Season{}, Twin::printer(), &pages);
        QVERIFY(!r);
        QCOMPARE(r.message(), u"Nincs benzinár megadva ehhez a hónaphoz."_s);
        QVERIFY(c.items.isEmpty());
        QCOMPARE(pages, -1);

        f.s.fuelPrices.clear();
        QVERIFY(computeStatement(f.s, f.log, 1.0f).missingPrice);
    }

    void litresAreCutToOneDecimal() {
        QCOMPARE(singleText(litresCut(12.37f)), u"12.3"_s);
        QCOMPARE(singleText(litresCut(12.3f)), u"12.3"_s);
        QCOMPARE(singleText(litresCut(0.09f)), u"0"_s);
        QCOMPARE(singleText(litresCut(100.0f)), u"100"_s);

        // 12.37 litres: 154.625 km at 8 l/100 km is not possible in whole km, so take a norm.
        PrintFixture f;
        f.s.cars[0].consumption = 12.37f;
        f.s.distances.at(1, 2) = DistanceCell{100, 1};
        f.day(3, {1, 2});
        RecordingCanvas c = printed(f);
        QVERIFY(c.text(u"Felhasznált üzemanyag: 12.3 L"_s));
        QVERIFY(c.text(u"Gépkocsi fogyasztása: 12.37 L/100 km, dízel típusú üzemanyag"_s));
    }

    void decimalSeparatorFollowsTheLocale() {
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        QCOMPARE(singleText(7.5f), u"7,5"_s);
        QCOMPARE(singleText(1.1f), u"1,1"_s);
        QCOMPARE(singleText(8.0f), u"8"_s);
    }

    void longPriceListContinuesOnANewPage() {
        PrintFixture f;
        f.day(1, {1, 2, 3});
        for (int d = 1; d <= 31; ++d)
            f.s.fuelPrices.append({QDate(2002, 3, d), qint16(300 + d)});
        int pages = 0;
        RecordingCanvas c = printed(f, {}, &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(c.pages(), 2);
        // Page 1: rows 16..29 hold 14 runs; page 2 the other 17 under the continuation heading.
        const QStringList first = c.texts(1).filter(u"Ft/L"_s);
        const QStringList second = c.texts(2).filter(u"Ft/L"_s);
        QCOMPARE(first.size(), 14);
        QCOMPARE(second.size(), 17);
        QCOMPARE(first.first(), u"2002. március 1.: 301 Ft/L"_s);
        QCOMPARE(second.last(), u"2002. március 31.: 331 Ft/L"_s);
        QCOMPARE(c.text(u"2002. március 14.: 314 Ft/L"_s)->y1, 29 * 500.0);
        const auto* more = c.text(u"Felhasznált üzemanyagárak folyt.:"_s);
        verifyAt(more, 1000, 2000);
        QCOMPARE(more->page, 2);
        QVERIFY(more->bold && more->underline);
        verifyAt(c.text(u"2002. március 15.: 315 Ft/L"_s), 1000, 2500);
        QCOMPARE(c.text(u"2. oldal"_s)->page, 2);
        QCOMPARE(c.texts(2).count(u"Melléklet: Költségelszámolás"_s), 1);
        QVERIFY(!c.texts(2).contains(u"Úttipus"_s));

        // The preview counts the same pages and draws one at a time.
        RecordingCanvas preview(8800);
        int previewPages = 0;
        QVERIFY(layoutPrintout(preview, f.s, f.log, Printout::CostStatement, Season{}, Twin::preview(2), &previewPages));
        QCOMPARE(previewPages, 2);
        QCOMPARE(preview.texts().filter(u"Ft/L"_s).size(), 17);
        verifyAt(preview.text(u"Felhasznált üzemanyagárak folyt.:"_s), 800, 1600);
        QVERIFY(!preview.text(u"Úttipus"_s));
        QVERIFY(preview.all(Kind::Line).isEmpty());
    }

    void exactlyFullPriceListNeedsNoSecondPage() {
        PrintFixture f;
        f.setMonth(2002, 2);
        f.day(1, {1, 2, 3});
        for (int d = 1; d <= 14; ++d)
            f.s.fuelPrices.append({QDate(2002, 2, d), qint16(300 + d)});
        int pages = 0;
        RecordingCanvas c = printed(f, {}, &pages);
        // 14 runs end the page at row 30 with nothing left over.
        QCOMPARE(pages, 1);
        QVERIFY(!c.text(u"Felhasznált üzemanyagárak folyt.:"_s));
    }

    void previewOfTheStatementAtEightyPercent() {
        PrintFixture f;
        f.day(2, {1, 2});
        RecordingCanvas c(8800);
        int pages = 0;
        QVERIFY(layoutPrintout(c, f.s, f.log, Printout::CostStatement, Season{}, Twin::preview(1), &pages));
        QCOMPARE(pages, 1);
        verifyAt(c.text(u"1. oldal"_s), 8800 - 640 - 800, 400);
        verifyAt(c.text(u"Melléklet: Költségelszámolás"_s), (8800 - 5600) / 2, 240);
        verifyAt(c.text(u"Opel Astra típusú, ABC-123 rendszámú gépkocsi "_s), 800, 800);
        verifyAt(c.text(u"Kezdő km-óra állás: 10000 km"_s), 800, 1600);
        verifyAt(c.text(u"Megtett út"_s), 800 + 2000, 3600);
        QCOMPARE(c.all(Kind::Line).size(), 2);
    }

    void previewPagingStaysWithinThePages() {
        QCOMPARE(previewPageAfter(1, -1, 3), 1);
        QCOMPARE(previewPageAfter(1, +1, 3), 2);
        QCOMPARE(previewPageAfter(3, +1, 3), 3);
        QCOMPARE(previewPageAfter(2, -1, 3), 1);
        QCOMPARE(previewPageAfter(1, +1, 1), 1);
        QCOMPARE(previewPageAfter(1, +1, 0), 1);
    }

    void previewGeometryFollowsTheWindow() {
        // A window 19200 x 12000 twips, a picture 9000 x 13000, a scroll bar 255 wide.
        PreviewGeometry g = previewGeometry(19200, 12000, 9000, 13000, 9000, 255);
        QCOMPARE(g.scrollLeft, 19200 - 255 - 120);
        QCOMPARE(g.scrollHeight, 12000 - 720);
        QCOMPARE(g.pictureLeft, (19200 - 9000) / 2 - 255);
        QCOMPARE(g.labelLeft, g.pictureLeft);
        QCOMPARE(g.scrollMaximum, 13000 - 12000 + 1000);
        QVERIFY(g.scrollEnabled);
        QCOMPARE(previewPictureTop(0), 240);
        QCOMPARE(previewPictureTop(500), -260);

        // Taller than the picture plus 1000 twips: no scrolling.
        g = previewGeometry(19200, 14001, 9000, 13000, 9000, 255);
        QVERIFY(!g.scrollEnabled);
        g = previewGeometry(19200, 14000, 9000, 13000, 9000, 255);
        QVERIFY(g.scrollEnabled);
        QCOMPARE(g.scrollMaximum, 0);
        // An odd width drops the half twip.
        QCOMPARE(previewGeometry(19201, 14000, 9000, 13000, 9000, 0).pictureLeft, 5100);
        // The range is 16-bit.
        QCOMPARE(previewGeometry(19200, 1000, 9000, 60000, 9000, 255).scrollMaximum, 32767);
    }

    void pdfNameNamesCarMonthAndPrintout() {
        PrintFixture f;
        QCOMPARE(suggestedPdfName(f.s, f.log, Printout::Logbook), u"ABC_123_2002_03_utnyilvantartas.pdf"_s);
        QCOMPARE(suggestedPdfName(f.s, f.log, Printout::CostStatement), u"ABC_123_2002_03_koltsegelszamolas.pdf"_s);
    }
};

QTEST_MAIN(StatementLayoutTest)
#include "tst_statementlayout.moc"
