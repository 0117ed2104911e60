#include "printfixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

class LogbookLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void header() {
        PrintFixture f;
        f.legs(2);
        const RecordingCanvas c = f.layout(Printout::Logbook);
        const auto* title = c.text(u"Útnyilvántartás"_s);
        verifyAt(title, (11000 - 15 * 200.0) / 2, 300); // centred at 20 points
        QVERIFY(title->bold && title->underline);
        // The car's texts are trimmed.
        verifyAt(c.text(u"Opel Astra típusú ABC-123 rendszámú gépkocsihoz"_s), 1000, 1000);
        verifyAt(c.text(u"2002. március hónapra"_s), 1000, 1500);
        verifyAt(c.text(u"Záró km-óra állás: 10060 km"_s), 1000, 2250);
        const auto box = c.all(Kind::Box).value(0);
        QCOMPARE(QList<double>({box.x1, box.y1, box.x2, box.y2}), QList<double>({6500, 1400, 10000, 2500}));
        verifyAt(c.text(u"Elszámoló neve: Teszt Kft."_s), 6600, 1500);
        verifyAt(c.text(u"Címe: Budapest, Fő utca 1."_s), 6600, 2000);
        verifyAt(c.text(u"Honnan"_s), 3000, 2750);
        verifyAt(c.text(u"Felkeresett partner"_s), 7000, 3000);
        verifyAt(c.text(u"1. oldal"_s), 11000 - 8 * 80.0 - 1000, 500);
        verifyAt(c.text(programTitle()), 1000, 500);
    }

    void dayWithOneStopGivesNoRow() {
        PrintFixture f;
        f.day(3, {2});
        int pages = 0;
        const RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QCOMPARE(pages, 1);
        QVERIFY(!c.textStarting(u"március 3"_s));
        verifyAt(c.text(u"0 km a lapon"_s), 1000, 3250);
        verifyAt(c.text(u"Összesen: 0 km"_s), 1000, 3500);
        QVERIFY(!c.textEnding(u" göngyölt km"_s));
    }

    void fourStopsGiveThreeRowsWithSeparators() {
        PrintFixture f;
        f.day(5, {1, 2, 3, 1});
        const RecordingCanvas c = f.layout(Printout::Logbook);
        QList<double> dates;
        for (const auto& t : c.all(Kind::Text))
            if (t.text == u"március 5."_s)
                dates << t.y1;
        QCOMPARE(dates, QList<double>({3250, 3750, 4250}));
        verifyAt(c.text(u"Győr, Ipar út 2."_s), 7000, 3250);
        verifyAt(c.text(u"Alfa Bt."_s), 7000, 3500);
        // A blank address shows the city alone, in "Hova" of row 2 and "Honnan" of row 3.
        verifyAt(c.text(u"Szeged"_s), 7000, 3750);
        QCOMPARE(c.count(u"Szeged"_s), 2);

        const auto lines = c.all(Kind::Line);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].y1, 3500 + 192.0);
        QCOMPARE(lines[1].y1, 4000 + 192.0);
        const auto bars = c.all(Kind::Bar); // under the heads and under the day
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars[1].y1, 4500 + 192.0 - 8);
        verifyAt(c.text(u"Összesen: 120 km"_s), 1000, 5000);
    }

    void pageBreakAfterTwentyThreeLegs() {
        PrintFixture f;
        f.legs(23);
        int pages = 0;
        RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QCOMPARE(pages, 1);
        QCOMPARE(c.pages(), 1);
        verifyAt(c.text(u"690 km a lapon"_s), 1000, 14750);
        verifyAt(c.text(u"Összesen: 690 km"_s), 1000, 15000);
        QVERIFY(!c.textEnding(u" göngyölt km"_s));

        f.legs(24);
        c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(c.pages(), 2);
        QCOMPARE(logbookPageCount(f.s, f.log), 2);
        verifyAt(c.text(u"690 km a lapon"_s), 1000, 14750);
        verifyAt(c.text(u"690 göngyölt km"_s), 1000, 15000);
        QCOMPARE(c.text(u"690 göngyölt km"_s)->page, 1);
        QCOMPARE(c.texts(2).count(u"Útnyilvántartás"_s), 1);
        QCOMPARE(c.texts(2).count(u"2. oldal"_s), 1);
        verifyAt(c.text(u"30 km a lapon"_s), 1000, 3750);
        QCOMPARE(c.text(u"Összesen: 720 km"_s)->page, 2);
    }

    // Days past the month's end neither print nor add a page; the leap day prints.
    void onlyDaysOfTheMonth_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("absent");
        QTest::addColumn<QString>("total");
        QTest::newRow("2001") << 2001 << u"február 29."_s << u"Összesen: 690 km"_s;
        QTest::newRow("leap 2004") << 2004 << QString() << u"Összesen: 740 km"_s;
    }
    void onlyDaysOfTheMonth() {
        QFETCH(int, year);
        QFETCH(QString, absent);
        QFETCH(QString, total);
        PrintFixture f;
        f.setMonth(year, 2);
        f.legs(23);
        f.day(29, {1, 4});
        f.day(30, {1, 3});
        int pages = 0;
        const RecordingCanvas c = f.layout(Printout::Logbook, Twin::printer(), &pages);
        QVERIFY(c.text(total));
        QCOMPARE(pages, absent.isEmpty() ? 2 : 1);
        QCOMPARE(bool(c.text(u"február 29."_s)), absent.isEmpty());
        QVERIFY(!c.textStarting(u"február 30"_s));
    }

    void kilometreSumsDoNotOverflow() {
        PrintFixture f;
        f.s.distances.at(1, 2).distance = 30000;
        f.s.distances.at(2, 1).distance = 30000;
        f.legs(3);
        const RecordingCanvas c = f.layout(Printout::Logbook);
        QVERIFY(c.text(u"Összesen: 90000 km"_s));
        QVERIFY(c.text(u"Záró km-óra állás: 100000 km"_s));
    }

    void previewDrawsThePageShownAtEightyPercent() {
        PrintFixture f;
        f.legs(24);
        int pages = 0;
        const RecordingCanvas first = f.layout(Printout::Logbook, Twin::preview(1), &pages);
        QCOMPARE(pages, 2);
        QVERIFY(!first.text(u"2. oldal"_s));
        verifyAt(first.text(u"690 göngyölt km"_s), 800, 12000);
        verifyAt(first.text(u"Hova"_s), 5600, 2200);
        QVERIFY(!first.textStarting(u"Összesen"_s));

        const RecordingCanvas second = f.layout(Printout::Logbook, Twin::preview(2));
        QCOMPARE(second.pages(), 1); // the preview never turns a page
        verifyAt(second.text(u"2. oldal"_s), 8800 - 640 - 800, 400);
        QVERIFY(!second.text(u"1. oldal"_s));
        verifyAt(second.text(u"Összesen: 720 km"_s), 800, 3200);
    }
};

QTEST_MAIN(LogbookLayoutTest)
#include "tst_logbooklayout.moc"
