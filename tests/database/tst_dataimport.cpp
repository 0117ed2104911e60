#include "database/dataimport.h"
#include "dbtestutil.h"
#include "storedfiles.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// Sets both cells between the other car's partners i and j.
void setOtherCells(TestEnv& env, const QVector<std::tuple<int, int, DistanceCell>>& cells) {
    PartnerDatabase db;
    QVERIFY(parseDatabase(env.read(u"Users/XYZ789/data.rvd"_s), u"x"_s, 1, db));
    for (const auto& [i, j, cell] : cells)
        db.distances.at(i, j) = cell;
    env.write(u"Users/XYZ789/data.rvd"_s, serializeDatabase(db, 1));
}

} // namespace

class TestDataImport : public QObject {
    Q_OBJECT
private slots:
    void theLoggedInCarIsNeverOffered() {
        TestEnv env;
        env.loginCar();
        dbtest::addOtherCar(env, {});
        QCOMPARE(importableCars(env.state), QVector<int>{2});
        for (int car : {0, 1, 3})
            QVERIFY(!canImportFrom(env.state, car));
        importPartners(env.state, 1);
        importFuelPrices(env.state, 1);
        QVERIFY(env.prompter.asked.isEmpty());
    }

    void knownPartnersAddNothingButTheirDistancesAreCopied() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        // The other car knows partners 3 and 1 of ours, in another order.
        dbtest::addOtherCar(env, {env.state.partner(3), env.state.partner(1)});
        setOtherCells(env, {{1, 2, {42, 6}}, {2, 1, {43, 5}}});
        env.prompter.answer(No);
        importPartners(env.state, 2);
        QCOMPARE((std::tuple{env.state.partnerCount(), dbtest::cell(env.state, 3, 1), dbtest::cell(env.state, 1, 3)}),
                 (std::tuple{4, std::pair<qint16, qint16>(42, 6), std::pair<qint16, qint16>(43, 5)}));
        QCOMPARE(std::pair(env.prompter.last(), storedPartners(env.state).distances.at(3, 1).distance),
                 std::pair(u"Nem találtam új adatot Másik partner-adatbázisában."_s, qint16(42)));
    }

    void aZeroDistanceOverwritesOnlyAfterYesAndCancelWritesNothing() {
        for (const MsgButton answer : {No, Yes, Cancel}) {
            TestEnv env;
            QVERIFY(dbtest::loginWithSavedPartners(env, 3));
            const QByteArray file = env.read(u"Users/ABC123/data.rvd"_s);
            // Every cell 0 km, and a partner of its own that Mégse must not bring in.
            dbtest::addOtherCar(env, {env.state.partner(1), env.state.partner(2), Partner{u"Új"_s, u"Eger"_s, {}}});
            env.prompter.answer(answer);
            QCOMPARE(importPartners(env.state, 2), answer != Cancel);
            QCOMPARE((std::tuple{env.state.distances.at(1, 2).distance, env.state.distances.at(2, 3).distance,
                                 env.state.partnerCount()}),
                     (std::tuple{answer == Yes ? qint16(0) : dbtest::cellKm(1, 2), dbtest::cellKm(2, 3), answer == Cancel ? 3 : 4}));
            if (answer == Cancel)
                QCOMPARE(std::pair(env.prompter.asked.size(), env.read(u"Users/ABC123/data.rvd"_s)), std::pair(qsizetype(1), file));
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
        dbtest::addOtherCar(env, {a, env.state.partner(2), b, a});
        setOtherCells(env, {{1, 2, {17, 3}}, {2, 3, {29, 1}}});
        int ticks = 0;
        env.prompter.answer(No);
        importPartners(env.state, 2, [&] { ++ticks; });
        QCOMPARE(std::pair(ticks, env.state.partners.mid(3)), std::pair(4, QVector<Partner>{a, b}));
        // Copied cells, and a new pair with no distance known on the default route type.
        QCOMPARE((std::tuple{env.state.distances.at(4, 2).distance, env.state.distances.at(2, 5).distance,
                             dbtest::cell(env.state, 4, 5)}),
                 (std::tuple{qint16(17), qint16(29), std::pair<qint16, qint16>(0, 2)}));
        QCOMPARE(std::pair(env.prompter.last(), storedPartners(env.state).distances.at(2, 3).distance),
                 std::pair(u"Másik partner-adatbáziából 2 partner csatolva a saját adatbázishoz."_s, qint16(555)));
    }

    // A count of 0, no file and a damaged file.
    void anEmptyOrDamagedDatabaseChangesNothing() {
        const QString empty = u"A kiválasztott adatbázis üres."_s;
        for (const auto& [file, message] : {std::pair{QByteArray("0\r\n"), empty}, {QByteArray(), empty},
                                            {QByteArray("2\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n"),
                                             u"A kiválasztott autó adatai nem olvashatók."_s}}) {
            TestEnv env;
            env.loginCar();
            dbtest::makePartners(env.state, 2);
            dbtest::addOtherCar(env, {});
            if (!file.isEmpty())
                env.write(u"Users/XYZ789/data.rvd"_s, file);
            importPartners(env.state, 2);
            QVERIFY2(env.prompter.asked.size() == 1 && env.prompter.last().startsWith(message), qPrintable(env.prompter.last()));
            QVERIFY(env.state.partnerCount() == 2 && !QFile::exists(env.path(u"Users/ABC123/data.rvd"_s)));
        }
    }

    void fuelPricesAreMergedSortedAndSaved() {
        TestEnv env;
        env.loginCar();
        env.state.fuelPrices = {{QDate(2002, 1, 1), 230}, {QDate(2002, 3, 1), 250}};
        const QByteArray otherFile = "2\r\n#2002-03-01#\r\n251\r\n#2002-02-01#\r\n240\r\n";
        dbtest::addOtherCar(env, {}, otherFile);
        importFuelPrices(env.state, 2);
        QCOMPARE(env.read(u"Users/ABC123/benzin.rvd"_s),
                 QByteArray("3\r\n#2002-01-01#\r\n230\r\n#2002-02-01#\r\n240\r\n#2002-03-01#\r\n251\r\n"));
        QCOMPARE(env.read(u"Users/XYZ789/benzin.rvd"_s), otherFile); // only read

        env.write(u"Users/XYZ789/benzin.rvd"_s, "2\r\n#2002-03-01#\r\n251\r\n"); // damaged
        QVERIFY(!importFuelPrices(env.state, 2) && env.state.fuelPrices.size() == 3);
    }

    void pricesOfAnotherFuelComeOnlyAfterYes() {
        for (const MsgButton answer : {No, Yes}) {
            TestEnv env;
            env.loginCar(); // ESZ-95
            dbtest::addOtherCar(env, {}, "1\r\n#2002-02-01#\r\n380\r\n");
            env.state.car(2).fuelType = 3;
            env.prompter.answer(answer);
            QCOMPARE(importFuelPrices(env.state, 2), answer == Yes);
            QCOMPARE(env.prompter.texts().first(),
                     u"Másik autójának üzemanyaga dízel, ennek az autónak ESZ-95.\r\n\r\n"
                     u"Kívánja mégis a(z) dízel árait a(z) ESZ-95 árai közé venni?"_s);
            QCOMPARE(std::pair(env.state.fuelPrices.size(), QFile::exists(env.path(u"Users/ABC123/benzin.rvd"_s))),
                     std::pair(qsizetype(answer == Yes ? 1 : 0), answer == Yes));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataImport)
#include "tst_dataimport.moc"
