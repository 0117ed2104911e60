#include "model/carfacts.h"
#include "model/statefiles.h"
#include "startup/carops.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCarFacts : public QObject {
    Q_OBJECT
private slots:
    void fileBytesBothWays() {
        // The tax ID takes version 2 and a line of its own; without one the file stays version 1.
        for (const auto& [bytes, facts] :
             {std::pair{QByteArray("\"RVA\",1\r\n2,1598\r\n"), CarFacts{NormKind::Flat, 1598}},
              {QByteArray("\"RVA\",2\r\n1,0\r\n\"8365670003\"\r\n"), CarFacts{NormKind::TypeBased, 0, u"8365670003"_s}},
              // The price source takes version 3, its line before the tax ID, which may be left out.
              {QByteArray("\"RVA\",3\r\n1,0\r\n2\r\n"), CarFacts{NormKind::TypeBased, 0, {}, PriceSource::Own}},
              {QByteArray("\"RVA\",3\r\n2,1598\r\n1\r\n\"8365670003\"\r\n"),
               CarFacts{NormKind::Flat, 1598, u"8365670003"_s, PriceSource::Nav}},
              // A gas kind takes version 4: its line after the price source, which may be unchosen (0).
              {QByteArray("\"RVA\",4\r\n2,1400\r\n1\r\n6\r\n"),
               CarFacts{NormKind::Flat, 1400, {}, PriceSource::Nav, 6}},
              {QByteArray("\"RVA\",4\r\n1,0\r\n0\r\n7\r\n\"8365670003\"\r\n"),
               CarFacts{NormKind::TypeBased, 0, u"8365670003"_s, std::nullopt, 7}}}) {
            CarFacts read;
            QVERIFY(parseCarFacts(bytes, u"gepkocsi.rvd"_s, read).ok());
            QVERIFY(read == facts && serializeCarFacts(facts) == bytes);
        }
        CarFacts read{NormKind::Flat, 7};
        QVERIFY(parseCarFacts("\"RVA\",1\r\n1,0\r\n\r\n", u"gepkocsi.rvd"_s, read).ok()); // blank lines may end it
        QCOMPARE(read, CarFacts{});
    }

    // Each damage is told at its line; what was read before stays out of the result.
    void damageIsToldAtItsLine() {
        const std::pair<QByteArray, int> cases[] = {
            {"\"RVN\",1\r\n1,0\r\n", 1},          // another file
            {"\"RVA\",5\r\n1,0\r\n", 1},          // a later version
            {"\"RVA\",4\r\n1,0\r\n1\r\n3\r\n", 4}, // a kind user.rvd holds itself
            {"\"RVA\",4\r\n1,0\r\n1\r\n", 4},   // the kind missing
            {"\"RVA\",3\r\n1,0\r\n3\r\n", 3},     // no such price source
            {"\"RVA\",2\r\n1,0\r\n\"8365670004\"\r\n", 3}, // a tax ID with a wrong check digit
            {"\"RVA\",2\r\n1,0\r\n", 3},          // the tax ID missing
            {"\"RVA\",1\r\n3,0\r\n", 2},          // no such norm
            {"\"RVA\",1\r\n2,100000\r\n", 2},     // an engine past the range
            {"\"RVA\",1\r\n2,1598\r\n1,0\r\n", 3}, // more than one record
            {"\"RVA\",1\r\n", 2},                 // cut short
        };
        for (const auto& [bytes, line] : cases) {
            CarFacts read{NormKind::Flat, 7};
            const Result r = parseCarFacts(bytes, u"gepkocsi.rvd"_s, read);
            QVERIFY2(r.message().contains(u"gepkocsi.rvd (%1. sor)"_s.arg(line)), qPrintable(r.message()));
            QCOMPARE(read, (CarFacts{NormKind::Flat, 7}));
        }
    }

    // The dialog's choice reaches the car's folder and the login; a damaged file is told, kept
    // aside, and the car counts with the type-based norm it had before the file existed.
    void keptWithTheCarAndReadAtLogin() {
        TestEnv env;
        CarForm form{u"a"_s, u"Opel"_s, u"P1"_s, 1, u"8,6"_s, u"15"_s, u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s};
        env.prompter.answer(No); // no published prices: the car counts with its own
        QCOMPARE(createCar(env.state, form, {}), 1);
        QCOMPARE(env.read(u"Users/P1/gepkocsi.rvd"_s), QByteArray("\"RVA\",3\r\n1,0\r\n2\r\n"));
        form.facts = CarFacts{NormKind::Flat, 1598};
        QVERIFY(modifyCar(env.state, 1, form, {}));
        QCOMPARE(env.read(u"Users/P1/gepkocsi.rvd"_s), QByteArray("\"RVA\",1\r\n2,1598\r\n"));
        QVERIFY(loginCar(env.state, 1).ok());
        QCOMPARE(env.state.carFacts, (CarFacts{NormKind::Flat, 1598}));
        form.facts.engineCm3 = 1199;
        QVERIFY(modifyCar(env.state, 1, form, {})); // the logged-in car sees it at once
        QCOMPARE(env.state.carFacts.engineCm3, 1199);

        env.write(u"Users/P1/gepkocsi.rvd"_s, "\"RVA\",1\r\n2,x\r\n");
        env.prompter.clear();
        QVERIFY(loginCar(env.state, 1).ok());
        QCOMPARE(env.state.carFacts, CarFacts{});
        QVERIFY2(env.prompter.last().contains(u"gepkocsi.rvd (2. sor)"_s) && env.prompter.last().contains(u"gepkocsi.rvd.hibas"_s),
                 qPrintable(env.prompter.last()));
        QCOMPARE(env.read(u"Users/P1/gepkocsi.rvd.hibas"_s), QByteArray("\"RVA\",1\r\n2,x\r\n"));
    }

    // A gas car goes into user.rvd as ESZ-95, byte for byte what the older program writes, and
    // its own kind into its facts file; the list read back has the kinds. Where an older program
    // has since given the car another fuel in user.rvd, that one stands.
    void gasKindsRoundTrip() {
        TestEnv env;
        CarForm lpg{u"Gáz Géza"_s, u"Dacia"_s, u"LPG-100"_s, 5, u"10,32"_s, u"15"_s, u"Cég"_s, u"Pécs"_s, u"Út 1."_s};
        lpg.facts = CarFacts{NormKind::Flat, 1400};
        CarForm cng{u"Föld Flóra"_s, u"Fiat"_s, u"CNG-200"_s, 7, u"9,12"_s, u"15"_s, u"Cég"_s, u"Pécs"_s, u"Út 1."_s};
        cng.facts = CarFacts{NormKind::Flat, 2500, {}, PriceSource::Own};
        env.prompter.answer(No); // no published prices copied
        QCOMPARE(createCar(env.state, lpg, {}), 1);
        QCOMPARE(createCar(env.state, cng, {}), 2);
        QCOMPARE(env.read(u"user.rvd"_s),
                 QByteArray("2\r\n\"G\xe1z G\xe9za\"\r\n\"Dacia\"\r\n\"LPG-100\"\r\n1\r\n10.32\r\n15\r\n"
                            "\"C\xe9g\"\r\n\"P\xe9\x63s\"\r\n\"\xdat 1.\"\r\n\"LPG-100\"\r\n"
                            "\"F\xf6ld Fl\xf3ra\"\r\n\"Fiat\"\r\n\"CNG-200\"\r\n1\r\n9.12\r\n15\r\n"
                            "\"C\xe9g\"\r\n\"P\xe9\x63s\"\r\n\"\xdat 1.\"\r\n\"CNG-200\"\r\n"));
        QCOMPARE(env.read(u"Users/LPG-100/gepkocsi.rvd"_s), QByteArray("\"RVA\",4\r\n2,1400\r\n2\r\n5\r\n"));
        QCOMPARE(env.read(u"Users/CNG-200/gepkocsi.rvd"_s), QByteArray("\"RVA\",4\r\n2,2500\r\n2\r\n7\r\n"));
        env.state.cars.clear();
        QVERIFY(LoadCars(env.state).ok());
        QCOMPARE((std::pair(env.state.car(1).fuelType, env.state.car(2).fuelType)), std::pair(5, 7));

        // Back to a kind user.rvd holds: the facts file keeps no kind.
        CarForm petrol = formFromCar(env.state.car(1));
        petrol.fuelType = 2;
        petrol.facts = lpg.facts;
        QVERIFY(modifyCar(env.state, 1, petrol, {}));
        QCOMPARE(env.read(u"Users/LPG-100/gepkocsi.rvd"_s), QByteArray("\"RVA\",1\r\n2,1400\r\n"));

        // The older program made the CNG car a diesel one.
        QByteArray list = env.read(u"user.rvd"_s);
        list.replace("\"CNG-200\"\r\n1\r\n", "\"CNG-200\"\r\n3\r\n");
        env.write(u"user.rvd"_s, list);
        QVERIFY(LoadCars(env.state).ok());
        QCOMPARE((std::pair(env.state.car(1).fuelType, env.state.car(2).fuelType)), std::pair(2, 3));

        // A gas kind that cannot be kept is told: the car counts as ESZ-95 from now on.
        QFile::remove(env.path(u"Users/LPG-100/gepkocsi.rvd"_s));
        QVERIFY(QDir().mkpath(env.path(u"Users/LPG-100/gepkocsi.rvd"_s)));
        CarForm cngAgain = formFromCar(env.state.car(1));
        cngAgain.fuelType = 7;
        QVERIFY(modifyCar(env.state, 1, cngAgain, {}));
        QVERIFY2(env.prompter.texts().join(u'|').contains(u"üzemanyaga (CNG) nem menthető, ezért a program ESZ-95 üzemanyagúnak veszi"_s),
                 qPrintable(env.prompter.texts().join(u'|')));
    }
};

QTEST_GUILESS_MAIN(TestCarFacts)
#include "tst_carfacts.moc"
