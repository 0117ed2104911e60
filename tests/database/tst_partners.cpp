#include "database/partners.h"
#include "dbtestutil.h"
#include "storage/datafiles.h"
#include "storedfiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestPartners : public QObject {
    Q_OBJECT
private slots:
    void inputIsCheckedForBlanksAndDuplicates() {
        TestEnv env;
        dbtest::makePartners(env.state, 3);
        const Partner p2 = env.state.partner(2); // "P2", "Város2", no address
        QCOMPARE(checkPartnerInput(env.state, Partner{u"  "_s, u"X"_s, {}}, 0), PartnerInputError::NoName);
        QCOMPARE(checkPartnerInput(env.state, Partner{u"Új"_s, u" "_s, {}}, 0), PartnerInputError::NoCity);
        // The dialog's texts are trimmed before they are compared.
        QCOMPARE(checkPartnerInput(env.state, Partner{u" P2 "_s, u"Város2 "_s, u"  "_s}, 0),
                 PartnerInputError::Duplicate);
        // The same name at another address is another partner.
        QCOMPARE(checkPartnerInput(env.state, Partner{p2.name, p2.city, u"Más utca 9."_s}, 0), PartnerInputError::None);
        QCOMPARE(checkPartnerInput(env.state, Partner{p2.name, u"Város3"_s, {}}, 0), PartnerInputError::None);
        QCOMPARE(partnerInputMessage(PartnerInputError::Duplicate), u"Ez a partner ezen a címen már szerepel."_s);
        QCOMPARE(partnerInputMessage(PartnerInputError::NoName), u"Hiányzik a partner neve."_s);
        QCOMPARE(partnerInputMessage(PartnerInputError::NoCity), u"Hiányzik a város."_s);
    }

    void aPastedLineBreakIsStoredAsASpace() {
        TestEnv env;
        env.loginCar();
        dbtest::makePartners(env.state, 2);
        const Partner p = trimmedPartner(u"Kovács\r\nés Társa "_s, u"Pécs"_s, u"Fő u. 1.\n"_s);
        QCOMPARE(p, (Partner{u"Kovács és Társa"_s, u"Pécs"_s, u"Fő u. 1."_s}));
        // Written that way, the file reads back whole.
        QVERIFY(addPartner(env.state, p));
        AppState back;
        QVERIFY(readStoredPartners(env.state, back));
        QCOMPARE(back.partner(3), p);
    }

    void modifyingSkipsOnlyThePartnerItself() {
        TestEnv env;
        dbtest::makePartners(env.state, 3);
        QCOMPARE(checkPartnerInput(env.state, env.state.partner(2), 2), PartnerInputError::None);
        QCOMPARE(checkPartnerInput(env.state, env.state.partner(3), 2), PartnerInputError::Duplicate);
        QCOMPARE(checkPartnerInput(env.state, env.state.partner(1), 2), PartnerInputError::Duplicate);
    }

    void newPartnerHasZeroDistancesWithTheDefaultRouteType() {
        TestEnv env;
        env.state.defaultRouteType = 3;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        QVERIFY(addPartner(env.state, Partner{u"Új Kft."_s, u"Pécs"_s, {}}));
        QCOMPARE(env.state.partnerCount(), 5);
        QCOMPARE(env.state.partner(5).name, u"Új Kft."_s);
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(env.state.distances.at(5, i).distance, qint16(0));
            QCOMPARE(env.state.distances.at(i, 5).distance, qint16(0));
            QCOMPARE(env.state.distances.at(5, i).routeType, qint16(3));
            QCOMPARE(env.state.distances.at(i, 5).routeType, qint16(3));
        }
        // The file holds the five partners.
        AppState back;
        QVERIFY(readStoredPartners(env.state, back));
        QCOMPARE(back.partnerCount(), 5);
        QCOMPARE(back.distances.at(3, 4).distance, dbtest::cellKm(3, 4));
    }

    void unsavedDistanceEditsSurviveAddingAPartner() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 3));
        env.state.distances.at(2, 3) = {77, 5}; // edited on the distance page, not saved
        env.state.distances.at(3, 2) = {77, 5};
        QVERIFY(addPartner(env.state, Partner{u"Új"_s, u"Eger"_s, {}}));
        QCOMPARE(env.state.distances.at(2, 3).distance, qint16(77));
        QCOMPARE(env.state.distances.at(3, 2).routeType, qint16(5));
        QCOMPARE(env.state.distances.at(1, 2).distance, dbtest::cellKm(1, 2));
    }

    void deletingRemovesTheRowAndTheColumn() {
        TestEnv env;
        env.loginCar();
        dbtest::makePartners(env.state, 5);
        QVERIFY(!canDeletePartner(env.state, 1));
        QVERIFY(!deletePartner(env.state, 1));
        QVERIFY(!deletePartner(env.state, 6));
        QCOMPARE(env.state.partnerCount(), 5);

        QVERIFY(deletePartner(env.state, 3));
        QCOMPARE(env.state.partnerCount(), 4);
        QCOMPARE(env.state.distances.size(), 4);
        const int old[] = {0, 1, 2, 4, 5};
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(env.state.partner(i).name, u"P%1"_s.arg(old[i]));
            for (int j = 1; j <= 4; ++j)
                QCOMPARE(env.state.distances.at(i, j).distance, dbtest::cellKm(old[i], old[j]));
        }
        AppState back;
        QVERIFY(readStoredPartners(env.state, back));
        QCOMPARE(back.partnerCount(), 4);
        QCOMPARE(back.distances.at(4, 3).distance, dbtest::cellKm(5, 4));
    }

    void deletingPartner5Of9CorrectsTheOpenMonth() {
        MonthLog m;
        m.stops.reset(5);
        m.stopWidth = 5;
        const int before[][5] = {
            {1, 5, 1, 0, 0},  // day 1: 5 between two visits of the base
            {1, 6, 5, 9, 1},  // day 2: 5 in the middle, higher ones renumbered
            {5, 0, 0, 0, 0},  // day 3: only 5
            {1, 4, 3, 1, 0},  // day 4: nothing to do
            {5, 5, 7, 5, 8},  // day 5: repeated 5 (not valid, but handled)
        };
        const int after[][5] = {
            {1, 1, 0, 0, 0},
            {1, 5, 8, 1, 0},
            {0, 0, 0, 0, 0},
            {1, 4, 3, 1, 0},
            {6, 7, 0, 0, 0},
        };
        for (int d = 0; d < 5; ++d)
            for (int k = 0; k < 5; ++k)
                m.stops.at(d + 1, k + 1) = qint16(before[d][k]);
        m.stops.at(31, 1) = 9;
        QVERIFY(removePartnerFromStops(m, 5));
        for (int d = 0; d < 5; ++d)
            for (int k = 0; k < 5; ++k)
                QCOMPARE(int(m.stops.at(d + 1, k + 1)), after[d][k]);
        QCOMPARE(int(m.stops.at(31, 1)), 8);
        QVERIFY(m.modified);

        MonthLog untouched;
        untouched.stops.reset(2);
        untouched.stopWidth = 2;
        untouched.stops.at(1, 1) = 1;
        untouched.stops.at(1, 2) = 4;
        QVERIFY(!removePartnerFromStops(untouched, 5));
        QVERIFY(!untouched.modified);
    }

    void deleteAllKeepsTheOwnBase() {
        TestEnv env;
        env.loginCar();
        env.state.defaultRouteType = 2;
        dbtest::makePartners(env.state, 4);
        QCOMPARE(partnerCountText(env.state), u"3 partner az adatbázisban"_s);
        const Partner own = env.state.partner(1);
        QVERIFY(deleteAllPartners(env.state));
        QCOMPARE(env.state.partnerCount(), 1);
        QCOMPARE(env.state.partner(1), own);
        QCOMPARE(env.state.distances.size(), 1);
        QCOMPARE(env.state.distances.at(1, 1).distance, qint16(0));
        QCOMPARE(partnerCountText(env.state), u"0 partner az adatbázisban"_s);
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s),
                 QByteArray("1\r\n\"P1\"\r\n\"V\xe1ros" "1\"\r\n\"Utca 1.\"\r\n0,2\r\n"));
    }

    void modifyReplacesTheTextsAndSaves() {
        TestEnv env;
        env.loginCar();
        dbtest::makePartners(env.state, 3);
        QVERIFY(modifyPartner(env.state, 2, Partner{u"Másik"_s, u"Vác"_s, u"Fő tér 2."_s}));
        QCOMPARE(PartnerLabel(env.state, 2), u"Másik - Vác, Fő tér 2."_s);
        QVERIFY(env.read(u"Users/ABC123/data.rvd"_s).contains("\"M\xe1sik\""));
        QVERIFY(!modifyPartner(env.state, 4, Partner{}));
    }
};

QTEST_GUILESS_MAIN(TestPartners)
#include "tst_partners.moc"
