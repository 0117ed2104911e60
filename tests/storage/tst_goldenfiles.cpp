// The data files against bytes written by hand (tests/data/golden), in both directions: a reader
// fault and a writer fault cannot agree with each other here.

#include "storage/datafiles.h"
#include "storage/win1250.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
QByteArray golden(const char* name) {
    QFile f(QStringLiteral(ROVANTA_TEST_DATA "/golden/") + QLatin1StringView(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing golden file %s", name);
    return f.readAll();
}
} // namespace

class TestGoldenFiles : public QObject {
    Q_OBJECT
private slots:
    void carFile() {
        QVector<CarRecord> cars;
        QVERIFY(parseCars(golden("user.rvd"), u"user.rvd"_s, cars).ok());
        QCOMPARE(cars.size(), 2);
        QCOMPARE(cars[0].userName, u"Kovács Péter"_s);
        QCOMPARE(cars[0].companyName, u"Rovanta Kft."_s); // written before the city
        QCOMPARE(cars[0].city, u"Győr"_s);
        QCOMPARE(cars[0].consumption, 7.5f);
        QCOMPARE(cars[1].userName, u"Szőke Űrsula"_s);
        QCOMPARE(cars[1].fuelType, 4); // keverék, the last fuel type
        QCOMPARE(cars[1].consumption, 6.25f);
        QCOMPARE(cars[1].generalCost, 15.0f);
        QCOMPARE(cars[1].companyAddress, QString());
        QCOMPARE(cars[1].dirName, u"KEV-444"_s);
        QCOMPARE(serializeCars(cars), golden("user.rvd"));
    }

    void partnerFile() {
        PartnerDatabase db;
        QVERIFY(parseDatabase(golden("data.rvd"), u"data.rvd"_s, 2, db).ok());
        QCOMPARE(db.partners.size(), 2);
        QCOMPARE(db.partners[1], (Partner{u"Őrség, Kft."_s, u"Budapest"_s, QString()}));
        QCOMPARE(db.distances.at(1, 2).distance, 125);
        QCOMPARE(db.distances.at(1, 2).routeType, 3);
        QCOMPARE(db.distances.at(2, 1).distance, 126); // the file need not be symmetric
        QCOMPARE(db.distances.at(2, 1).routeType, 6);
        QCOMPARE(serializeDatabase(db, 2), golden("data.rvd"));

        // Route types outside 1..6 get the default on reading; 0 too, on writing.
        for (const QByteArray cell : {"125,7", "125,0", "125,-1"}) {
            QByteArray bytes = golden("data.rvd");
            bytes.replace("125,3", cell);
            PartnerDatabase d;
            QVERIFY(parseDatabase(bytes, u"data.rvd"_s, 2, d).ok());
            QCOMPARE(d.distances.at(1, 2).routeType, 2);
        }
    }

    void priceFile() {
        QVector<FuelPrice> prices;
        QVERIFY(parseFuelPrices(golden("benzin.rvd"), u"benzin.rvd"_s, prices).ok());
        QCOMPARE(prices.size(), 2);
        QCOMPARE(prices[1].month, QDate(2024, 3, 15));
        QCOMPARE(prices[1].price, 620);
        QCOMPARE(serializeFuelPrices({{QDate(2024, 1, 1), 600}, {QDate(2024, 3, 15), 620}}), golden("benzin.rvd"));
        QCOMPARE(serializeFuelPrices({}), QByteArray("0\r\n"));
    }

    // The code page has ő and ű where Latin-1 has õ and û: those must not pass through.
    void latinLettersAreNotTakenForHungarian() {
        QCOMPARE(win1250::encode(u"õû ÕÛ"_s), QByteArray("?? ??"));
        QCOMPARE(win1250::decode(QByteArray("\xf5\xfb")), u"őű"_s);
    }
};

QTEST_GUILESS_MAIN(TestGoldenFiles)
#include "tst_goldenfiles.moc"
