#include "database/dataimport.h"
#include "database/priceedit.h"
#include "dbtestutil.h"
#include "storedfiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// A second car "Másik" (car 2) beside the logged-in "Teszt" (car 1), with its own files.
void addOtherCar(TestEnv& env, const PartnerDatabase* db, const QByteArray& prices = "0\r\n") {
    CarRecord other;
    other.userName = u"Másik"_s;
    other.plateNumber = u"XYZ789"_s;
    other.dirName = u"XYZ789"_s;
    env.state.cars.append(other);
    QDir().mkpath(env.path(u"Users/XYZ789"_s));
    if (db) {
        PartnerDatabase copy = *db;
        env.write(u"Users/XYZ789/data.rvd"_s, serializeDatabase(copy, 1));
    }
    env.write(u"Users/XYZ789/benzin.rvd"_s, prices);
}

PartnerDatabase databaseOf(const QVector<Partner>& partners) {
    PartnerDatabase db;
    db.partners = partners;
    db.distances.reset(int(partners.size()));
    return db;
}

} // namespace

class TestDataImport : public QObject {
    Q_OBJECT
private slots:
    void theLoggedInCarIsNeverOffered() {
        TestEnv env;
        env.loginCar();
        addOtherCar(env, nullptr);
        QCOMPARE(importableCars(env.state), QVector<int>{2});
        QVERIFY(!canImportFrom(env.state, 1));
        QVERIFY(!canImportFrom(env.state, 3));
        QVERIFY(!canImportFrom(env.state, 0));
        QVERIFY(canImportFrom(env.state, 2));
        dbtest::makePartners(env.state, 2);
        importPartners(env.state, 1);
        importFuelPrices(env.state, 1);
        QVERIFY(env.prompter.asked.isEmpty());
    }

    void knownPartnersAddNothingButTheirDistancesAreCopied() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        // The other car knows partners 3 and 1 of ours, in another order.
        PartnerDatabase other = databaseOf({env.state.partner(3), env.state.partner(1)});
        other.distances.at(1, 2) = {42, 6};
        other.distances.at(2, 1) = {43, 5};
        addOtherCar(env, &other);
        env.prompter.answer(No);
        importPartners(env.state, 2);
        QCOMPARE(env.state.partnerCount(), 4);
        QCOMPARE(env.state.distances.at(3, 1).distance, qint16(42));
        QCOMPARE(env.state.distances.at(3, 1).routeType, qint16(6));
        QCOMPARE(env.state.distances.at(1, 3).distance, qint16(43));
        QCOMPARE(env.prompter.texts(),
                 QStringList({u"Kívánja átvennia az összes távolságot,\r\nvagy csak a nem 0 értékeket?"_s,
                              u"Nem találtam új adatot Másik partner-adatbázisában."_s}));
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Question);
        // Saved.
        QVERIFY(env.read(u"Users/ABC123/data.rvd"_s).contains("42,6\r\n"));
    }

    void aZeroDistanceOverwritesOnlyAfterYes() {
        for (const MsgButton answer : {No, Yes}) {
            TestEnv env;
            env.loginCar();
            dbtest::makePartners(env.state, 3);
            PartnerDatabase other = databaseOf({env.state.partner(1), env.state.partner(2)});
            other.distances.at(1, 2) = {0, 2};
            other.distances.at(2, 1) = {0, 2};
            addOtherCar(env, &other);
            env.prompter.answer(answer);
            importPartners(env.state, 2);
            const qint16 expected = answer == Yes ? 0 : dbtest::cellKm(1, 2);
            QCOMPARE(env.state.distances.at(1, 2).distance, expected);
            QCOMPARE(env.state.distances.at(2, 3).distance, dbtest::cellKm(2, 3));
        }
    }

    void newPartnersAreAppendedKeepingOwnCells() {
        TestEnv env;
        env.state.defaultRouteType = 2;
        QVERIFY(dbtest::loginWithSavedPartners(env, 3));
        env.state.distances.at(2, 3) = {555, 4}; // not saved yet: survives the import
        const Partner a{u"Alfa"_s, u"Ózd"_s, {}};
        const Partner b{u"Béta"_s, u"Eger"_s, u"Vár u. 1."_s};
        // Its own base is a partner like any other; a partner listed twice is added once.
        PartnerDatabase other = databaseOf({a, env.state.partner(2), b, a});
        other.distances.at(1, 2) = {17, 3};
        other.distances.at(2, 3) = {29, 1};
        addOtherCar(env, &other);
        int ticks = 0;
        env.prompter.answer(No);
        importPartners(env.state, 2, [&] { ++ticks; });
        QCOMPARE(ticks, 4);
        QCOMPARE(env.state.partnerCount(), 5);
        QCOMPARE(env.state.partner(4), a);
        QCOMPARE(env.state.partner(5), b);
        QCOMPARE(env.state.distances.at(4, 2).distance, qint16(17));
        QCOMPARE(env.state.distances.at(2, 5).distance, qint16(29));
        QCOMPARE(env.state.distances.at(2, 3).distance, qint16(555));
        QCOMPARE(env.state.distances.at(4, 5).routeType, qint16(2)); // new, no distance known
        QCOMPARE(env.state.distances.at(4, 5).distance, qint16(0));
        QCOMPARE(env.prompter.last(), u"Másik partner-adatbáziából 2 partner csatolva a saját adatbázishoz."_s);
        AppState back;
        QVERIFY(readStoredPartners(env.state, back));
        QCOMPARE(back.partnerCount(), 5);
        QCOMPARE(back.distances.at(2, 3).distance, qint16(555));
    }

    void anEmptyDatabaseStopsAfterItsMessage() {
        for (const QByteArray& file : {QByteArray("0\r\n"), QByteArray()}) {
            TestEnv env;
            env.loginCar();
            dbtest::makePartners(env.state, 2);
            addOtherCar(env, nullptr);
            if (!file.isEmpty())
                env.write(u"Users/XYZ789/data.rvd"_s, file);
            importPartners(env.state, 2);
            QCOMPARE(env.prompter.texts(), QStringList{u"A kiválasztott adatbázis üres."_s});
            QCOMPARE(env.state.partnerCount(), 2);
            QVERIFY(!QFile::exists(env.path(u"Users/ABC123/data.rvd"_s)));
        }
    }

    void aDamagedDatabaseIsReportedAndNothingChanges() {
        TestEnv env;
        env.loginCar();
        dbtest::makePartners(env.state, 2);
        addOtherCar(env, nullptr);
        env.write(u"Users/XYZ789/data.rvd"_s, "2\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n");
        importPartners(env.state, 2);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().startsWith(u"A kiválasztott autó adatai nem olvashatók."_s));
        QCOMPARE(env.state.partnerCount(), 2);
        QVERIFY(!QFile::exists(env.path(u"Users/ABC123/data.rvd"_s)));
    }

    void fuelPricesAreMergedSortedAndSaved() {
        TestEnv env;
        env.loginCar();
        env.state.fuelPrices = {{QDate(2002, 1, 1), 230}, {QDate(2002, 3, 1), 250}};
        const QByteArray otherFile = "2\r\n#2002-03-01#\r\n251\r\n#2002-02-01#\r\n240\r\n";
        addOtherCar(env, nullptr, otherFile);
        importFuelPrices(env.state, 2);
        QCOMPARE(env.state.fuelPrices.size(), 3);
        QCOMPARE(env.state.fuelPrices[1].month, QDate(2002, 2, 1));
        QCOMPARE(env.state.fuelPrices[2].price, qint16(251));
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s),
                 QByteArray("3\r\n#2002-01-01#\r\n230\r\n#2002-02-01#\r\n240\r\n#2002-03-01#\r\n251\r\n"));
        QCOMPARE(env.read(u"Users/XYZ789/benzin.rvd"_s), otherFile); // only read
        QCOMPARE(env.prompter.texts(), QStringList{u"Másik üzemanyag-adatbázisa csatolva a saját adatbázishoz."_s});
    }

    void damagedPricesAreReportedAndNothingChanges() {
        TestEnv env;
        env.loginCar();
        env.state.fuelPrices = {{QDate(2002, 1, 1), 230}};
        addOtherCar(env, nullptr, "2\r\n#2002-03-01#\r\n251\r\n");
        importFuelPrices(env.state, 2);
        QCOMPARE(env.state.fuelPrices.size(), 1);
        QVERIFY(!QFile::exists(env.path(u"Users/ABC123/benzin.rvd"_s)));
        QVERIFY(env.prompter.last().startsWith(u"A kiválasztott autó adatai nem olvashatók."_s));
    }
};

QTEST_GUILESS_MAIN(TestDataImport)
#include "tst_dataimport.moc"
