#include "database/priceedit.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestPriceEdit : public QObject {
    Q_OBJECT
private slots:
    void oneEntryPerDayInDateOrder() {
        QVector<FuelPrice> prices{{QDate(2002, 3, 1), 250}, {QDate(2002, 4, 1), 260}};
        QVERIFY(storePrice(prices, QDate(2002, 3, 15), 255));
        QVERIFY(storePrice(prices, QDate(2001, 12, 31), 240));
        QVERIFY(storePrice(prices, QDate(2002, 3, 1), 0)); // replaced; 0 is a price like any other
        QCOMPARE(prices.size(), 4);
        const QDate order[] = {QDate(2001, 12, 31), QDate(2002, 3, 1), QDate(2002, 3, 15), QDate(2002, 4, 1)};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(prices[i].month, order[i]);
        QCOMPARE(priceOn(prices, QDate(2002, 3, 1)), std::optional<qint16>(0));
        QCOMPARE(priceOn(prices, QDate(2002, 3, 2)), std::nullopt); // only the exact day
        QVERIFY(removePrice(prices, QDate(2002, 3, 1)));
        QVERIFY(!removePrice(prices, QDate(2002, 3, 1)));
    }

    void fractionsRoundHalfToEven() {
        QCOMPARE(priceFromText(u"263.5"_s), std::optional<qint16>(264));
        QCOMPARE(priceFromText(u"262.5"_s), std::optional<qint16>(262));
        QCOMPARE(priceFromText(u"262,51"_s), std::optional<qint16>(263));
        QCOMPARE(priceFromText(u"32767.4"_s), std::optional<qint16>(32767));
        QCOMPARE(priceFromText(QString()), std::nullopt);
        for (const QString& bad : {u"32767.5"_s, u"-1"_s, u"1e2"_s, u"+5"_s, u"ár"_s})
            QVERIFY2(!priceFromText(bad) && !isPriceText(bad), qPrintable(bad));
        QVERIFY(isPriceText(u"263."_s)); // on the way to 263.5
        QVERIFY(isYearText(u"2002"_s));
        for (const QString& bad : {u"0"_s, u"20021"_s, u"2002.5"_s, u"-2"_s})
            QVERIFY2(!isYearText(bad), qPrintable(bad));
    }

    void resetTakesThePublishedFileOfTheFuelTypeOnlyWhenItReads() {
        TestEnv env;
        env.loginCar();
        env.state.cars.last().fuelType = 3; // dízel: bdiz.rvd
        const QByteArray own = "1\r\n#2005-01-01#\r\n300\r\n";
        env.write(u"Users/ABC123/benzin.rvd"_s, own);
        env.write(u"Users/b95.rvd"_s, "0\r\n");
        QVERIFY(!resetToPublishedPrices(env.state)); // no bdiz.rvd
        env.write(u"Users/bdiz.rvd"_s, "3\r\n#2002-01-01#\r\n");
        QVERIFY(!resetToPublishedPrices(env.state));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s), own);

        const QByteArray published = "2\r\n#2002-01-01#\r\n210\r\n#2002-02-01#\r\n215\r\n";
        env.write(u"Users/bdiz.rvd"_s, published);
        QVERIFY(resetToPublishedPrices(env.state));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s), published);
        QCOMPARE(env.state.fuelPrices.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPriceEdit)
#include "tst_priceedit.moc"
