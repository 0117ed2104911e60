#include "printfixture.h"
#include "printing/preview.h"

#include <QLocale>
#include <QTest>

#include <numeric>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

class StatementLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sumsAgreeWithTheEditorsTotal() {
        PrintFixture f;
        f.s.fuelPrices = {{QDate(2002, 2, 20), 251}, {QDate(2002, 3, 9), 263}, {QDate(2002, 3, 21), 249}};
        f.legs(30);
        f.day(25, {1, 3, 4, 2, 1});
        for (float season : {1.0f, 1.05f}) {
            const StatementSums sums = computeStatement(f.s, f.log, season);
            QCOMPARE(sums.totalCost, computeMonthCost(f.s, f.log, season).total);
            QCOMPARE(std::accumulate(sums.cost.begin(), sums.cost.end(), qint64(0)), sums.totalCost);
            QCOMPARE(sums.totalKm, qint64(f.log.monthKm));
        }
    }

    void table() {
        PrintFixture f;
        f.day(2, {1, 2, 3}); // 30 km "Közút", 50 km "Megyeszékhely"
        const RecordingCanvas c = f.layout(Printout::CostStatement);
        const auto* title = c.text(u"Melléklet: Költségelszámolás"_s);
        verifyAt(title, (11000 - 28 * 200) / 2, 300);
        QVERIFY(title->bold && title->underline);
        verifyAt(c.text(u"Opel Astra típusú, ABC-123 rendszámú gépkocsi "_s), 1000, 1000);
        verifyAt(c.text(u"Gépkocsi fogyasztása: 8 L/100 km, dízel típusú üzemanyag"_s), 1000, 3000);
        QVERIFY(c.texts().filter(u"szorzó:"_s).isEmpty()); // no season box ticked
        verifyAt(c.text(u"Általános költség: 10 Ft/km"_s), 1000, 3500);
        verifyAt(c.text(u"Költség"_s), 8500, 4500);

        // 30 * 8 / 100 * 250 + 300 and 50 * 8 / 100 * 250 * 1.25 + 500.
        verifyAt(c.text(u"900 Ft"_s), 8500, 5000);
        verifyAt(c.text(u"Megyeszékhely"_s), 1000, 5500);
        verifyAt(c.text(u"1.25"_s), 6000, 5500);
        QVERIFY(!c.text(u"Budapest"_s)); // an unused route type has no row
        QCOMPARE(c.all(Kind::Line).size(), 3);
        verifyAt(c.text(u"Összesen: "_s), 1000, 6000);
        verifyAt(c.text(u"2650 Ft"_s), 8500, 6000);
        verifyAt(c.text(u"Felhasznált üzemanyag: 7.4 L"_s), 1000, 7000);
        verifyAt(c.text(u"Felhasznált üzemanyagárak:"_s), 1000, 7500);
    }

    void seasonLineNamesTheTickedBox() {
        PrintFixture f;
        f.day(2, {1, 2});
        f.s.multipliers[kWinterRow].value = 1.05f; // the same number as the air conditioning row
        RecordingCanvas c = f.layout(Printout::CostStatement, Twin::printer(), nullptr, seasonOf(f.s, true, false));
        verifyAt(c.text(u"Klímahasználat miatt felhasznált szorzó: 1.05"_s), 1000, 3500);
        verifyAt(c.text(u"Általános költség: 10 Ft/km"_s), 1000, 4000);
        c = f.layout(Printout::CostStatement, Twin::printer(), nullptr, seasonOf(f.s, false, true));
        QVERIFY(c.text(u"Téli üzemeltetés miatt felhasznált szorzó: 1.05"_s));
        QVERIFY(!c.textStarting(u"Klímahasználat"_s));
    }

    void pricePeriods_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<QList<QDate>>("changes");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("one price") << 3 << QList<QDate>{QDate(2002, 1, 10)}
                                   << QStringList{u"2002. március 1. - 2002. március 31.: 250 Ft/L"_s};
        QTest::newRow("change on the 15th") << 3 << QList<QDate>{QDate(2002, 1, 10), QDate(2002, 3, 15)}
                                            << QStringList{u"2002. március 1. - 2002. március 14.: 250 Ft/L"_s,
                                                           u"2002. március 15. - 2002. március 31.: 251 Ft/L"_s};
        QTest::newRow("one-day runs") << 3 << QList<QDate>{QDate(2002, 3, 1), QDate(2002, 3, 30), QDate(2002, 3, 31)}
                                      << QStringList{u"2002. március 1. - 2002. március 29.: 250 Ft/L"_s,
                                                     u"2002. március 30.: 251 Ft/L"_s, u"2002. március 31.: 250 Ft/L"_s};
        QTest::newRow("leap February") << 2 << QList<QDate>{QDate(2002, 1, 10)}
                                       << QStringList{u"2004. február 1. - 2004. február 29.: 250 Ft/L"_s};
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
        QCOMPARE(c.texts().filter(u"Ft/L"_s), runs);
        QVERIFY(c.text(u"Összesen: "_s));
        QVERIFY(c.text(u"30 km"_s));
    }

    void dayBeforeEveryPriceDrawsNothing() {
        PrintFixture f;
        f.day(20, {1, 2});
        f.s.fuelPrices = {{QDate(2002, 3, 15), 262}};
        RecordingCanvas c;
        int pages = -1;
        const Result r = layoutPrintout(c, f.s, f.log, Printout::CostStatement, Season{}, Twin::printer(), &pages);
        QCOMPARE(r.message(), u"Nincs benzinár megadva ehhez a hónaphoz."_s);
        QVERIFY(!r && c.items.isEmpty() && pages == -1);
    }

    void numbers() {
        QCOMPARE(singleText(litresCut(12.37f)), u"12.3"_s);
        QCOMPARE(singleText(litresCut(0.09f)), u"0"_s);
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        QCOMPARE(singleText(7.5f), u"7,5"_s);
        QCOMPARE(singleText(8.0f), u"8"_s);
    }

    void longPriceListContinuesOnANewPage() {
        PrintFixture f;
        f.day(1, {1, 2, 3});
        for (int d = 1; d <= 31; ++d)
            f.s.fuelPrices.append({QDate(2002, 3, d), qint16(300 + d)});
        int pages = 0;
        const RecordingCanvas c = f.layout(Printout::CostStatement, Twin::printer(), &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(c.pages(), 2);
        QCOMPARE(c.texts(1).filter(u"Ft/L"_s).size(), 14);
        QCOMPARE(c.texts(2).filter(u"Ft/L"_s).size(), 17);
        const auto* more = c.text(u"Felhasznált üzemanyagárak folyt.:"_s);
        verifyAt(more, 1000, 2000);
        QCOMPARE(more->page, 2);
        verifyAt(c.text(u"2002. március 15.: 315 Ft/L"_s), 1000, 2500);
        QCOMPARE(c.texts(2).count(u"Melléklet: Költségelszámolás"_s), 1);

        const RecordingCanvas preview = f.layout(Printout::CostStatement, Twin::preview(2), &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(preview.texts().filter(u"Ft/L"_s).size(), 17);
        verifyAt(preview.text(u"Felhasznált üzemanyagárak folyt.:"_s), 800, 1600);

        // 14 runs end page 1 exactly: no continuation page.
        f.setMonth(2002, 2);
        f.day(1, {1, 2, 3});
        f.s.fuelPrices.clear();
        for (int d = 1; d <= 14; ++d)
            f.s.fuelPrices.append({QDate(2002, 2, d), qint16(300 + d)});
        f.layout(Printout::CostStatement, Twin::printer(), &pages);
        QCOMPARE(pages, 1);
    }

    void previewPagingAndScrollBar() {
        QCOMPARE(previewPageAfter(1, -1, 3), 1);
        QCOMPARE(previewPageAfter(1, +1, 3), 2);
        QCOMPARE(previewPageAfter(3, +1, 3), 3);
        QCOMPARE(previewPageAfter(1, +1, 0), 1);

        // Picture 13000 high: scrolling ends above 14000 twips of window.
        QVERIFY(previewGeometry(19200, 14000, 9000, 13000, 9000, 255).scrollEnabled);
        QVERIFY(!previewGeometry(19200, 14001, 9000, 13000, 9000, 255).scrollEnabled);
        const PreviewGeometry g = previewGeometry(19200, 12000, 9000, 13000, 9000, 255);
        QCOMPARE(g.scrollMaximum, 2000);
        QCOMPARE(g.pictureLeft, (19200 - 9000) / 2 - 255);
        QCOMPARE(previewGeometry(19200, 1000, 9000, 60000, 9000, 255).scrollMaximum, 32767);
    }
};

QTEST_MAIN(StatementLayoutTest)
#include "tst_statementlayout.moc"
