#include "storage/navpaste.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

using Prices = std::array<int, 5>; // 0: no price

Prices pricesOf(const NavPriceRow& r) {
    Prices p{};
    for (size_t c = 0; c < p.size(); ++c)
        p[c] = r.prices[c].value_or(0);
    return p;
}

// NAV's page of 2024 lists January to November, newest first.
void check2024(const QVector<NavPriceRow>& rows) {
    QCOMPARE(rows.size(), 11);
    for (int m = 1; m <= 11; ++m)
        QCOMPARE(std::pair(rows[m - 1].year, rows[m - 1].month), std::pair(2024, m));
    QCOMPARE((QVector<Prices>{pricesOf(rows[0]), pricesOf(rows[4]), pricesOf(rows[10])}),
             (QVector<Prices>{{583, 614, 632, 317, 820}, {646, 653, 695, 345, 762}, {588, 593, 639, 363, 790}}));
}

QString text(const QString& name) { return QString::fromUtf8(testData(u"nav/"_s + name)); }

} // namespace

class TestNavPaste : public QObject {
    Q_OBJECT
private slots:
    // The page copied as a browser gives it: a cell a line with blank lines, or tab-separated rows;
    // the page itself with its markup, script and comment.
    void the2024TableInEveryForm() {
        for (const QString& name : {u"2024-sorok.txt"_s, u"2024-tabok.txt"_s}) {
            QVector<NavPriceRow> rows;
            const Result r = parseNavPastedText(text(name), u"beillesztve"_s, rows);
            QVERIFY2(r, qPrintable(name + r.message()));
            check2024(rows);
            QCOMPARE(rows[3].source, u"beillesztve"_s);
        }
        QVector<NavPriceRow> rows;
        QVERIFY(parseNavPage(testData(u"nav/2024.html"_s), u"https://nav.gov.hu/x"_s, rows));
        check2024(rows);
        // A file of pasted text goes the same way as the program's own table does.
        QVector<NavPriceRow> any;
        QVERIFY(parseAnyNavTable(testData(u"nav/2024-sorok.txt"_s), u"f"_s, any));
        check2024(any);
        QVERIFY(parseAnyNavTable("year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n2025\t12\t1\t2\t3\t4\t5\tx\n",
                                 u"f"_s, any));
        QCOMPARE(std::pair(any.size(), pricesOf(any[0])), std::pair(qsizetype(1), Prices{1, 2, 3, 4, 5}));
    }

    // An empty cell of a tab-separated row, a dash, and a table of four columns (no CNG) keep
    // their prices in the right columns; text mentioning a month is no row.
    void columnsFollowTheHeadings() {
        QVector<NavPriceRow> rows;
        QVERIFY(parseNavPastedText(u"Május 20-ig kell bevallani.\n2023.év\tESZ-95\tGázolaj\tKeverék\tLPG\tCNG\n"
                                   u"január\t655\t713\t\t407\t1991\nfebruár 645 721 - 399 1481\n"_s,
                                   {}, rows));
        QCOMPARE((QVector<Prices>{pricesOf(rows.value(0)), pricesOf(rows.value(1)), pricesOf(rows.value(2))}),
                 (QVector<Prices>{{655, 713, 0, 407, 1991}, {645, 721, 0, 399, 1481}, {}})); // two rows
        QVERIFY(parseNavPastedText(u"2015. év ESZ-95 Gázolaj Keverék LPG autógáz\njanuár 379 396 422 257\n"_s, {}, rows));
        QCOMPARE(std::pair(rows[0].year, pricesOf(rows[0])), std::pair(2015, Prices{379, 396, 422, 257, 0}));
        // Headings in another order than the page's: each price goes under its own.
        QVERIFY(parseNavPastedText(u"2023.év\tGázolaj\tCNG\tESZ-95\tLPG\tKeverék\njanuár\t713\t1991\t655\t407\t699\n"_s, {}, rows));
        QCOMPARE(pricesOf(rows[0]), (Prices{655, 713, 699, 407, 1991}));
        // Rows before any heading take the year the caller knows (a downloaded year page).
        QVERIFY(parseNavPastedText(u"március 1 2 3 4 5"_s, {}, rows, 2026));
        QCOMPARE(std::pair(rows[0].year, rows[0].month), std::pair(2026, 3));
    }

    // The authority's 2026 layout: the heading row in the body, a protected and a market price
    // per fuel, month names in any case, "Ft" and no-break spaces in cells, grouped thousands,
    // the year page's opening December of the year before. Hand-written; the prices are made up.
    void theYearPageOfProtectedPrices() {
        QVector<NavPriceRow> rows;
        const Result r = parseNavPage(testData(u"nav/ev-2026.html"_s), u"lap"_s, rows, 2026);
        QVERIFY2(r, qPrintable(r.message()));
        QCOMPARE(rows.size(), 5);
        QCOMPARE(std::pair(rows[0].year, rows[0].month), std::pair(2025, 12));
        QCOMPARE((QVector<Prices>{pricesOf(rows[0]), pricesOf(rows[1]), pricesOf(rows[3]), pricesOf(rows[4])}),
                 (QVector<Prices>{{580, 590, 630, 330, 800},
                                  {575, 588, 626, 332, 985},
                                  {601, 618, 650, 338, 1010},
                                  {595, 615, 690, 340, 1020}}));
        // A protected price is the one taken, and the row says so.
        QCOMPARE(rows[4].source, u"lap (védett ár)"_s);
        QCOMPARE(rows[3].source, u"lap"_s);
    }

    // Regressions of pasted text: a parenthesised heading shifted every price one column; the
    // columns follow the headings in whatever order; "1 234" is one price; "574 Ft" is a price.
    void pastedVariants() {
        QVector<NavPriceRow> rows;
        QVERIFY(parseNavPastedText(u"2026.év\tMotorbenzin (ESZ-95)\tGázolaj\tKeverék\tLPG\tCNG\n"
                                   u"JANUÁR\t580\t590\t630\t330\t1 234\n"_s,
                                   {}, rows));
        QCOMPARE(std::pair(rows.size(), pricesOf(rows[0])), std::pair(qsizetype(1), Prices{580, 590, 630, 330, 1234}));
        QVERIFY(parseNavPastedText(u"2026. év\nGázolaj (Ft/l) CNG autógáz (Ft/kg) ESZ-95 (Ft/l)\n"
                                   u"Február 574 Ft 1\u00A0020 Ft 561 Ft\nmárcius 1 234 900 600\n"_s,
                                   {}, rows));
        QCOMPARE((QVector<Prices>{pricesOf(rows.value(0)), pricesOf(rows.value(1))}),
                 (QVector<Prices>{{561, 574, 0, 0, 1020}, {600, 1234, 0, 0, 900}}));
    }

    // A price the reader cannot vouch for: outside 100-2000, or a third away from the month
    // before (in the table, else in what is known already). Each is named once.
    void implausiblePrices() {
        NavPriceRow known{2025, 12, {}, {}};
        known.prices[NavGazolaj] = 600;
        NavPriceRow jan{2026, 1, {}, {}};
        jan.prices = {qint16(580), qint16(801), qint16(99), qint16(2001), qint16(1000)};
        NavPriceRow feb{2026, 2, {}, {}};
        feb.prices = {qint16(774), qint16(801), {}, {}, qint16(666)};
        const QStringList lines = implausibleNavPrices({jan, feb}, {known});
        QCOMPARE(lines, (QStringList{
                            u"2026. január, gázolaj: 801 Ft (az előző hónapban 600 Ft: több mint harmadával eltér)"_s,
                            u"2026. január, keverék: 99 Ft (nem 100 és 2000 Ft közötti)"_s,
                            u"2026. január, LPG: 2001 Ft (nem 100 és 2000 Ft közötti)"_s,
                            u"2026. február, ESZ-95: 774 Ft (az előző hónapban 580 Ft: több mint harmadával eltér)"_s,
                            u"2026. február, CNG: 666 Ft (az előző hónapban 1000 Ft: több mint harmadával eltér)"_s}));
        // Exactly a third away, and the band's own bounds, are plausible.
        NavPriceRow first{2026, 1, {}, {}};
        first.prices = {qint16(600), qint16(100), qint16(2000), {}, {}};
        NavPriceRow second{2026, 2, {}, {}};
        second.prices[NavEsz95] = qint16(800);
        QVERIFY(implausibleNavPrices({first, second}, {}).isEmpty());
    }

    void refusals_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("message");
        QTest::newRow("short row") << u"2024.év\njanuár 583 614 632 317\nfebruár 566 606 616 320 820"_s
                                   << u"A(z) 2. sor (2024. január): 4 ár van 5 helyett."_s;
        QTest::newRow("twice") << u"2024.év\njanuár\t1\t2\t3\t4\t5\njanuár\t1\t2\t3\t4\t5"_s
                               << u"A(z) 3. sor (2024. január): ez a hónap kétszer szerepel."_s;
        // A letter in a price dropped the month and the import said success.
        QTest::newRow("letter") << u"2024.év\tESZ-95\tGázolaj\tKeverék\tLPG\tCNG\njanuár\t583\t614\t632\t317\t820\n"
                                   u"február\t6O8\t606\t616\t320\t820"_s
                                << u"A(z) 3. sor (2024. február): a(z) ESZ-95 ára („6O8”) nem ár."_s;
        QTest::newRow("letter in spaced row") << u"2024.év\njanuár 583 61A 632 317 820"_s
                                              << u"A(z) 2. sor (2024. január): a(z) gázolaj ára („61A”) nem ár."_s;
        QTest::newRow("decimal") << u"2024.év\njanuár 583 614,5 632 317 820"_s << u"ára („614,5”) nem ár"_s;
        QTest::newRow("zero") << u"2024.év\njanuár 0 2 3 4 5"_s << u"ára („0”) nem 1 és 32767"_s;
        QTest::newRow("too big") << u"2024.év\njanuár 32768 2 3 4 5"_s << u"ára („32768”) nem 1 és 32767"_s;
        QTest::newRow("no year") << u"január 583 614 632 317 820"_s << u"évét nem találtam"_s;
        QTest::newRow("1995. évi is no year") << u"1995. évi CXVII. törvény\njanuár 1 2 3 4 5"_s << u"évét nem találtam"_s;
        QTest::newRow("no table") << u"2024.év\nnincs itt semmi"_s << u"nem találtam NAV-ártáblázatot"_s;
    }
    void refusals() {
        QFETCH(QString, pasted);
        QFETCH(QString, message);
        QVector<NavPriceRow> rows{NavPriceRow{}};
        const Result r = parseNavPastedText(pasted, {}, rows);
        QVERIFY2(!r && r.message().contains(message) && r.message().contains(u"semmi sem került be"_s),
                 qPrintable(r.message()));
        QCOMPARE(rows.size(), 1); // untouched
    }
};

QTEST_GUILESS_MAIN(TestNavPaste)
#include "tst_navpaste.moc"
