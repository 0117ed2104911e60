#include "database/priceedit.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
QDate d(int y, int m, int day) { return QDate(y, m, day); }

bool sorted(const QVector<FuelPrice>& p) {
    for (int i = 1; i < p.size(); ++i)
        if (p[i - 1].month > p[i].month)
            return false;
    return true;
}
} // namespace

class TestPriceEdit : public QObject {
    Q_OBJECT
private slots:
    void aNewDayIsAddedInDateOrder() {
        QVector<FuelPrice> prices{{d(2002, 3, 1), 250}, {d(2002, 4, 1), 260}};
        QVERIFY(storePrice(prices, d(2002, 3, 15), 255));
        QCOMPARE(prices.size(), 3);
        QCOMPARE(prices[0].month, d(2002, 3, 1));
        QCOMPARE(prices[1].month, d(2002, 3, 15));
        QCOMPARE(prices[1].price, qint16(255));
        QCOMPARE(prices[2].month, d(2002, 4, 1));
        QVERIFY(storePrice(prices, d(2001, 12, 31), 240));
        QCOMPARE(prices.first().month, d(2001, 12, 31));
        QVERIFY(sorted(prices));
    }

    void theSameDayIsReplaced() {
        QVector<FuelPrice> prices{{d(2002, 3, 1), 250}, {d(2002, 3, 15), 255}};
        QVERIFY(storePrice(prices, d(2002, 3, 15), 0)); // 0 is a price like any other
        QCOMPARE(prices.size(), 2);
        QCOMPARE(priceOn(prices, d(2002, 3, 15)), std::optional<qint16>(0));
        QCOMPARE(priceOn(prices, d(2002, 3, 1)), std::optional<qint16>(250));
        // Only the exact day has a price.
        QCOMPARE(priceOn(prices, d(2002, 3, 2)), std::nullopt);
        QCOMPARE(priceOn(prices, d(2003, 3, 1)), std::nullopt);
        QVERIFY(removePrice(prices, d(2002, 3, 1)));
        QVERIFY(!removePrice(prices, d(2002, 3, 1)));
        QCOMPARE(prices.size(), 1);
    }

    void fractionsRoundHalfToEven() {
        QCOMPARE(priceFromText(u"263.5"_s), std::optional<qint16>(264));
        QCOMPARE(priceFromText(u"262.5"_s), std::optional<qint16>(262));
        QCOMPARE(priceFromText(u"262,5"_s), std::optional<qint16>(262));
        QCOMPARE(priceFromText(u"262.51"_s), std::optional<qint16>(263));
        QCOMPARE(priceFromText(u"0"_s), std::optional<qint16>(0));
        QCOMPARE(priceFromText(u"32767"_s), std::optional<qint16>(32767));
        QCOMPARE(priceFromText(u"32767.4"_s), std::optional<qint16>(32767));
        QCOMPARE(priceFromText(QString()), std::nullopt);
        for (const QString& bad : {u"32767.5"_s, u"32768"_s, u"-1"_s, u"1e2"_s, u"+5"_s, u"ár"_s})
            QVERIFY2(!priceFromText(bad) && !isPriceText(bad), qPrintable(bad));
        QVERIFY(isPriceText(u"263."_s)); // on the way to 263.5
        QVERIFY(isPriceText(QString()));
    }

    void theYearBoxTakesWholeYears() {
        QVERIFY(isYearText(u"2002"_s));
        QVERIFY(isYearText(QString()));
        QVERIFY(!isYearText(u"0"_s));
        QVERIFY(!isYearText(u"20021"_s));
        QVERIFY(!isYearText(u"2002.5"_s));
        QVERIFY(!isYearText(u"-2"_s));
    }

    void mergeReplacesAppendsAndSorts() {
        QVector<FuelPrice> own{{d(2002, 1, 1), 230}, {d(2002, 3, 1), 250}};
        const QVector<FuelPrice> other{{d(2002, 3, 1), 251}, {d(2002, 2, 1), 240}, {d(2001, 6, 1), 200}};
        mergePrices(own, other);
        QCOMPARE(own.size(), 4);
        QVERIFY(sorted(own));
        QCOMPARE(priceOn(own, d(2002, 3, 1)), std::optional<qint16>(251));
        QCOMPARE(own.first().price, qint16(200));
    }

    void resetTakesThePublishedFileOfTheFuelType() {
        TestEnv env;
        env.loginCar();
        env.state.cars.last().fuelType = 3; // dízel: bdiz.rvd
        const QByteArray published = "2\r\n#2002-01-01#\r\n210\r\n#2002-02-01#\r\n215\r\n";
        env.write(u"Users/bdiz.rvd"_s, published);
        env.write(u"Users/b95.rvd"_s, "0\r\n");
        env.write(u"Users/ABC123/benzin.rvd"_s, "1\r\n#2005-01-01#\r\n300\r\n");
        QCOMPARE(publishedPricesPath(env.state), env.path(u"Users/bdiz.rvd"_s));
        QVERIFY(resetToPublishedPrices(env.state));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s), published);
        QCOMPARE(env.state.fuelPrices.size(), 2);
        QCOMPARE(env.state.fuelPrices[1].price, qint16(215));
    }

    void aMissingOrDamagedPublishedFileChangesNothing() {
        TestEnv env;
        env.loginCar();
        const QByteArray own = "1\r\n#2005-01-01#\r\n300\r\n";
        env.write(u"Users/ABC123/benzin.rvd"_s, own);
        env.state.fuelPrices = {{d(2005, 1, 1), 300}};
        QVERIFY(!resetToPublishedPrices(env.state)); // no b95.rvd
        env.write(u"Users/b95.rvd"_s, "3\r\n#2002-01-01#\r\n");
        QVERIFY(!resetToPublishedPrices(env.state));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s), own);
        QCOMPARE(env.state.fuelPrices.size(), 1);
    }

    void deleteAllLeavesAnEmptyFile() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/benzin.rvd"_s, "1\r\n#2005-01-01#\r\n300\r\n");
        env.state.fuelPrices = {{d(2005, 1, 1), 300}};
        QVERIFY(deleteAllPrices(env.state));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s), QByteArray("0\r\n"));
        QVERIFY(env.state.fuelPrices.isEmpty());
        QVERIFY(env.prompter.asked.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPriceEdit)
#include "tst_priceedit.moc"
