#include "model/cost.h"
#include "storage/datafiles.h"
#include "storage/navprices.h"
#include "model/norms.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QString kTablePath = QStringLiteral(ROVANTA_TEST_DATA "/../../data/nav-uzemanyagarak.tsv");
struct Band { int fuel, cm3; bool hybrid; int hundredths; QString rule; };
const QByteArray kHeader = "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n";

} // namespace

class TestNavPrices : public QObject {
    Q_OBJECT
private slots:
    // The table the program carries is the repository's file, every row and every cell of it.
    void shippedTableIsTheSourceFile() {
        QFile f(kTablePath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(shippedNavTableBytes(), f.readAll());
        const QVector<NavPriceRow>& rows = shippedNavPrices();
        QCOMPARE(rows.size(), 43);
        // Figures read off the source table by hand.
        const QVector<FuelPrice> esz95 = navPricesOf(rows, 0), diesel = navPricesOf(rows, 2),
                                 mixed = navPricesOf(rows, 3);
        // No keverék price for 2023-01, none at all for ESZ-98.
        QCOMPARE((std::tuple{esz95.size(), mixed.size(), navPricesOf(rows, 1).size()}), (std::tuple{43, 42, 0}));
        QCOMPARE((std::tuple{esz95.first().month, esz95.first().price, diesel[22].month, diesel[22].price, mixed[21].price}),
                 (std::tuple{QDate(2020, 3, 1), qint16(390), QDate(2024, 3, 1), qint16(638), qint16(650)}));
        QCOMPARE(std::pair(esz95.last().month, mixed[8].month), std::pair(QDate(2025, 11, 1), QDate(2023, 2, 1)));
    }

    void tablesOfTheUser_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error"); // empty: read
        const QByteArray row = "2025\t12\t580\t590\t630\t330\t800\thttps://nav.gov.hu\n";
        QTest::newRow("tab") << kHeader + row << QString();
        QTest::newRow("semicolons, comments, CR LF, BOM, empty cells")
            << QByteArray("\xEF\xBB\xBF# saját\r\nyear;month;esz95;gazolaj;keverek;lpg;cng;source_url\r\n"
                          "# 2025 vége\r\n2025;12;580;;630;;;a ; b\r\n\r\n")
            << QString();
        // Refused for the month itself: 2026/0 would pass for 2025/12 and 2025/13 for 2026/1.
        QTest::newRow("month 13") << kHeader + "2025\t13\t580\t590\t630\t330\t800\tx\n"
                                  << u"2. sora hibás: a hónap („13”) nem 1 és 12 közötti"_s;
        QTest::newRow("month 0") << kHeader + "2026\t0\t1\t1\t1\t1\t1\tx\n" << u"2. sora hibás: a hónap („0”)"_s;
        QTest::newRow("price 0") << kHeader + "2025\t12\t0\t590\t630\t330\t800\tx\n" << u"esz95 ára („0”)"_s;
        QTest::newRow("price 32768") << kHeader + "2025\t12\t580\t32768\t630\t330\t800\tx\n" << u"gazolaj"_s;
        QTest::newRow("price 580.5") << kHeader + "2025\t12\t580.5\t590\t630\t330\t800\tx\n" << u"580.5"_s;
        QTest::newRow("negative") << kHeader + "2025\t12\t-580\t590\t630\t330\t800\tx\n" << u"-580"_s;
        QTest::newRow("missing column") << kHeader + "2025\t12\t580\t590\t630\t330\t800\n" << u"7 van benne"_s;
        QTest::newRow("month twice") << kHeader + row + row << u"2025. december hónap már szerepelt"_s;
        QTest::newRow("other header") << QByteArray("year\tmonth\tprice\n") + row << u"1. sora hibás: a fejléc"_s;
        QTest::newRow("no header") << QByteArray("# semmi\n") << u"nincs fejléc"_s;
    }
    void tablesOfTheUser() {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        QVector<NavPriceRow> rows{NavPriceRow{}};
        const Result r = parseNavPriceTable(data, u"uj.tsv"_s, rows);
        if (!error.isEmpty()) {
            QVERIFY(!r);
            QVERIFY2(r.message().contains(error), qPrintable(r.message()));
            QCOMPARE(rows.size(), 1); // untouched
            return;
        }
        QVERIFY2(r, qPrintable(r.message()));
        QCOMPARE((std::tuple{rows.size(), rows[0].year, rows[0].month, rows[0].prices[NavKeverek]}),
                 (std::tuple{qsizetype(1), 2025, 12, std::optional<qint16>(630)}));
        QCOMPARE(serializeFuelPrices(navPricesOf(rows, 0)), QByteArray("1\r\n#2025-12-01#\r\n580\r\n"));
        if (data.contains(';'))
            QCOMPARE(rows[0].source, u"a ; b"_s);
        QCOMPARE(navPricesOf(rows, 2).isEmpty(), data.contains(';')); // the empty gázolaj cell
    }

    // A month is present when any entry falls in it; only replace changes a present one.
    void mergeByMonth() {
        const QVector<FuelPrice> list = {{QDate(2024, 3, 15), 610}, {QDate(2024, 1, 1), 500}, {QDate(2024, 4, 1), 617}};
        const QVector<FuelPrice> monthly = {{QDate(2024, 3, 1), 601}, {QDate(2024, 4, 1), 617}, {QDate(2024, 5, 1), 646}};
        const MonthlyMerge keep = mergeMonthly(list, monthly, false);
        QCOMPARE(keep.added, QVector<QDate>{QDate(2024, 5, 1)});
        QCOMPARE(keep.differing, QVector<QDate>{QDate(2024, 3, 1)});
        QCOMPARE(serializeFuelPrices(keep.prices),
                 QByteArray("4\r\n#2024-01-01#\r\n500\r\n#2024-03-15#\r\n610\r\n#2024-04-01#\r\n617\r\n"
                            "#2024-05-01#\r\n646\r\n"));
        const MonthlyMerge replace = mergeMonthly(list, monthly, true);
        QCOMPARE(serializeFuelPrices(replace.prices),
                 QByteArray("4\r\n#2024-01-01#\r\n500\r\n#2024-03-01#\r\n601\r\n#2024-04-01#\r\n617\r\n"
                            "#2024-05-01#\r\n646\r\n"));
    }

    void flatNormBands_data() {
        QTest::addColumn<Band>("b"); // fuel: index into the fuel type table
        QTest::newRow("petrol 1000") << Band{0, 1000, false, 760, u"Benzin, 1000 cm³-ig: 7,6 l/100 km"_s};
        QTest::newRow("petrol 1001") << Band{1, 1001, false, 860, u"Benzin, 1001–1500 cm³: 8,6 l/100 km"_s};
        QTest::newRow("petrol 1500") << Band{0, 1500, false, 860, u"1001–1500"_s};
        QTest::newRow("petrol 1501") << Band{0, 1501, false, 950, u"1501–2000 cm³: 9,5"_s};
        QTest::newRow("petrol 2000") << Band{0, 2000, false, 950, u"9,5"_s};
        QTest::newRow("petrol 2001") << Band{0, 2001, false, 1140, u"11,4"_s};
        QTest::newRow("petrol 3000") << Band{0, 3000, false, 1140, u"2001–3000"_s};
        QTest::newRow("keverék 3001") << Band{3, 3001, false, 1330, u"Benzin, 3000 cm³ felett: 13,3"_s};
        QTest::newRow("diesel 1500") << Band{2, 1500, false, 570, u"Gázolaj, 1500 cm³-ig: 5,7"_s};
        QTest::newRow("diesel 1501") << Band{2, 1501, false, 670, u"6,7"_s};
        QTest::newRow("diesel 2000") << Band{2, 2000, false, 670, u"1501–2000"_s};
        QTest::newRow("diesel 2001") << Band{2, 2001, false, 760, u"7,6"_s};
        QTest::newRow("diesel 3000") << Band{2, 3000, false, 760, u"2001–3000"_s};
        QTest::newRow("diesel 3001") << Band{2, 3001, false, 950, u"3000 cm³ felett: 9,5"_s};
        QTest::newRow("hybrid petrol 1400") << Band{0, 1400, true, 602, u"plug-in hibrid: ennek 70 %-a, 6,02 l/100 km"_s};
        QTest::newRow("hybrid diesel 1999") << Band{2, 1999, true, 469, u"4,69"_s};
        QTest::newRow("hybrid petrol 999") << Band{0, 999, true, 532, u"5,32"_s};
        // Gas: the petrol norm of the engine size times the factor (8,6 x 1,2; 13,3 x 1,2; 7,6 x 0,8),
        // no hybrid share.
        QTest::newRow("LPG 1400") << Band{4, 1400, false, 1032, u"Benzin, 1001–1500 cm³: 8,6 l/100 km; LPG: 1,2 módosító tényezővel 10,32 l/100 km"_s};
        QTest::newRow("LPG dual 3001 hybrid") << Band{5, 3001, true, 1596, u"LPG: 1,2 módosító tényezővel 15,96 l/100 km"_s};
        QTest::newRow("CNG 999") << Band{6, 999, false, 608, u"CNG: 0,8 módosító tényezővel 6,08 kg/100 km"_s};
    }
    void flatNormBands() {
        QFETCH(Band, b);
        const FlatNorm n = flatNorm(normFuelOf(b.fuel), b.cm3, b.hybrid);
        QCOMPARE(n.hundredths, b.hundredths);
        QVERIFY2(n.rule.contains(b.rule) && n.rule.contains(u"60/1992. (IV. 1.) Korm. rendelet 4. §"_s), qPrintable(n.rule));
    }

    // The statement of a gas car tells that the factor is not vouched for by the decree's text,
    // and a CNG car that the rule's unit is not the kg it is reckoned in; a petrol car hears neither.
    void gasStatementLineTellsWhatIsNotVouchedFor() {
        const QString doubt = u"A tényező számértékét a program a rendelet szövegével nem tudta igazolni"_s;
        QVERIFY(!flatNormStatementLine(NormFuel::Petrol).contains(doubt));
        const QString lpg = flatNormStatementLine(normFuelOf(4));
        QVERIFY2(lpg.contains(u"(LPG: 1,2)"_s) && lpg.endsWith(doubt + u'.') && !lpg.contains(u"Nm³"_s), qPrintable(lpg));
        const QString cng = flatNormStatementLine(normFuelOf(6));
        QVERIFY2(cng.contains(u"(CNG: 0,8)"_s) && cng.contains(doubt) && cng.endsWith(u"Nm³-ben adja, a program kg-ban számol."_s),
                 qPrintable(cng));
    }

    void missingMonthIsNamed() {
        const QString text = missingPriceText(2019, 5);
        QVERIFY2(text.startsWith(u"Hiányzik a(z) 2019. május havi üzemanyagár"_s) && text.contains(u"Üzemanyagárak lapján"_s) &&
                     text.contains(u"„Üzemanyagárak frissítése...”"_s) && text.contains(u"rovanta-cli prices import"_s),
                 qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestNavPrices)
#include "tst_navprices.moc"
