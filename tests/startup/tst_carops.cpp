#include "startup/carops.h"
#include "storage/datafiles.h"
#include "storedfiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

CarForm form(const QString& user, const QString& plate) {
    CarForm f;
    f.userName = user;
    f.carType = u"Opel Astra"_s;
    f.plate = plate;
    f.fuelType = 3;
    f.consumption = u"7,5"_s;
    f.generalCost = u"12"_s;
    f.companyName = u"Cég Kft."_s;
    f.city = u"Pécs"_s;
    f.companyAddress = u"Fő u. 1."_s;
    return f;
}

// A database of three partners with a few distances, written through the codec.
QByteArray threePartners() {
    PartnerDatabase db;
    db.partners = {{u"Régi bázis"_s, u"Győr"_s, u""_s}, {u"Partner A"_s, u"Szeged"_s, u"Kossuth 2"_s},
                   {u"Partner B"_s, u"Eger"_s, u""_s}};
    db.distances.reset(3);
    db.distances.at(1, 2) = {120, 1};
    db.distances.at(2, 1) = {120, 1};
    db.distances.at(2, 3) = {35, 4};
    return serializeDatabase(db, 1);
}

// Cars "a" (P1) and "b" (P2), each with its own one-partner database and no prices.
bool twoCars(TestEnv& env) {
    env.prompter.answer(No); // prices
    const bool first = createCar(env.state, form(u"a"_s, u"P1"_s), {}) == 1;
    env.prompter.answer(No); // import
    env.prompter.answer(No); // prices
    return first && createCar(env.state, form(u"b"_s, u"P2"_s), {}) == 2;
}

} // namespace

class tst_carops : public QObject {
    Q_OBJECT
private slots:
    void validationOrderAndMessages() {
        CarForm f = form(u"a"_s, u"b"_s);
        QVERIFY(!validateCarForm(f));
        f.companyAddress = u"  "_s;
        f.carType.clear();
        auto p = validateCarForm(f);
        QVERIFY(p);
        QCOMPARE(p->field, CarField::CarType);
        QCOMPARE(p->message, u"A gépkocsi típusa nincs megadva."_s);
        f = form(u"a"_s, u"b"_s);
        f.city = u" "_s;
        QCOMPARE(validateCarForm(f)->message, u"A város nincs megadva."_s);
        f = form(u"a"_s, u"b"_s);
        f.consumption = u"1e300"_s; // numeric, but no single-precision number holds it
        QCOMPARE(validateCarForm(f)->field, CarField::Consumption);
    }

    void pastedLineBreaksNeverReachTheCarFile() {
        TestEnv env;
        CarForm f = form(u"Kovács\r\nJános"_s, u"P1"_s);
        f.companyAddress = u"Fő u. 1.\n2. em."_s;
        env.prompter.answer(No);
        QCOMPARE(createCar(env.state, f, {}), 1);
        QVector<CarRecord> saved;
        QVERIFY(parseCars(env.read(u"user.rvd"_s), u"user.rvd"_s, saved));
        QCOMPARE(saved[0].userName, u"Kovács János"_s);
        QCOMPARE(saved[0].companyAddress, u"Fő u. 1. 2. em."_s);
        QCOMPARE(storedDatabase(env, u"Users/P1/data.rvd"_s).partners.size(), 1);
    }

    void plateMustBeOneDirectoryName_data() {
        QTest::addColumn<QString>("plate");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << u"ABC-123"_s << true;
        QTest::newRow("inner dot") << u"AB.12"_s << true;
        QTest::newRow("slash") << u"AB/12"_s << false;
        QTest::newRow("backslash") << u"..\\x"_s << false;
        QTest::newRow("colon") << u"C:"_s << false;
        QTest::newRow("star") << u"A*"_s << false;
        QTest::newRow("control") << u"A\tB"_s << false;
        QTest::newRow("dotdot") << u".."_s << false;
        QTest::newRow("leading dot") << u".abc"_s << false;
        QTest::newRow("trailing dot") << u"abc."_s << false;
        QTest::newRow("CON") << u"con"_s << false;
        QTest::newRow("NUL.txt") << u"NUL.txt"_s << false;
        QTest::newRow("COM1") << u"COM1"_s << false;
        QTest::newRow("LPT9") << u"lpt9"_s << false;
        QTest::newRow("COM10 is fine") << u"COM10"_s << true;
        QTest::newRow("CONA is fine") << u"CONA"_s << true;
    }
    void plateMustBeOneDirectoryName() {
        QFETCH(QString, plate);
        QFETCH(bool, ok);
        QCOMPARE(plateDirectoryProblem(plate).isEmpty(), ok);
    }

    void firstCarGetsOnePartnerDatabaseWithoutImportQuestion() {
        TestEnv env;
        env.write(u"Users/bdiz.rvd"_s, "1\r\n#2024-01-01#\r\n612\r\n");
        env.prompter.answer(Yes); // the published prices
        const int index = createCar(env.state, form(u" Kovács "_s, u" ABC-123 "_s), [] { return 0; });
        QCOMPARE(index, 1);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.asked[0].text.startsWith(u"Kívánja az üzemanyagokat feltölteni az APEH\r\n"_s));
        const CarRecord& car = env.state.car(1);
        QCOMPARE(car.userName, u"Kovács"_s);
        QCOMPARE(car.dirName, u"ABC-123"_s);
        QCOMPARE(car.consumption, 7.5f);
        QVector<CarRecord> saved;
        QVERIFY(parseCars(env.read(u"user.rvd"_s), u"user.rvd"_s, saved));
        QCOMPARE(saved.size(), 1);
        const PartnerDatabase db = storedDatabase(env, u"Users/ABC-123/data.rvd"_s);
        QCOMPARE(db.partners.size(), 1);
        QCOMPARE(db.partners[0], (Partner{u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s}));
        QCOMPARE(db.distances.at(1, 1).distance, qint16(0));
        QCOMPARE(db.distances.at(1, 1).routeType, env.state.defaultRouteType);
        QCOMPARE(env.read(u"Users/ABC-123/benzin.rvd"_s), env.read(u"Users/bdiz.rvd"_s));
        QVERIFY(!QFile::exists(env.path(u"Users/ABC-123/temp.tmp"_s)));
    }

    void pricesDeclinedGiveEmptyList() {
        TestEnv env;
        env.prompter.answer(No);
        QCOMPARE(createCar(env.state, form(u"a"_s, u"P1"_s), {}), 1);
        QCOMPARE(env.read(u"Users/P1/benzin.rvd"_s), QByteArray("0\r\n"));
    }

    void secondCarImportsAndRebasesPartnerOne() {
        TestEnv env;
        env.prompter.answer(No);
        QVERIFY(createCar(env.state, form(u"első"_s, u"AAA111"_s), {}));
        env.write(u"Users/AAA111/data.rvd"_s, threePartners());
        env.write(u"Users/AAA111/benzin.rvd"_s, "1\r\n#2024-02-01#\r\n650\r\n");
        env.prompter.clear();
        env.prompter.answer(Yes); // import
        CarForm f = form(u"második"_s, u"BBB222"_s);
        f.companyName = u"Új Cég"_s;
        f.city = u"Budapest"_s;
        f.companyAddress = u""_s;
        int offered = -1;
        QCOMPARE(createCar(env.state, f, [&] {
                     offered = int(importCandidates(env.state).size());
                     return 1;
                 }),
                 2);
        QCOMPARE(offered, 1); // every car but the new one
        QCOMPARE(env.prompter.texts(), QStringList{u"Kívánja egy már meglévő gépkocsi adatbázisát importálni?"_s});
        const PartnerDatabase db = storedDatabase(env, u"Users/BBB222/data.rvd"_s);
        QCOMPARE(db.partners.size(), 3);
        QCOMPARE(db.partners[0], (Partner{u"Új Cég"_s, u"Budapest"_s, u""_s}));
        QCOMPARE(db.partners[1].name, u"Partner A"_s);
        QCOMPARE(db.distances.at(2, 3).distance, qint16(35));
        QCOMPARE(db.distances.at(2, 3).routeType, qint16(4));
        QCOMPARE(env.read(u"Users/BBB222/benzin.rvd"_s), env.read(u"Users/AAA111/benzin.rvd"_s));
        // The source car is untouched.
        QCOMPARE(env.read(u"Users/AAA111/data.rvd"_s), threePartners());
    }

    void damagedImportSourceFallsBackToOwnDatabase() {
        TestEnv env;
        env.prompter.answer(No);
        QVERIFY(createCar(env.state, form(u"első"_s, u"AAA111"_s), {}));
        env.write(u"Users/AAA111/data.rvd"_s, "3\r\n\"csak egy\"\r\n");
        env.prompter.clear();
        env.prompter.answer(Yes); // import
        env.prompter.answer(Ok);  // the failure
        env.prompter.answer(No);  // no published prices
        QCOMPARE(createCar(env.state, form(u"második"_s, u"BBB222"_s), [] { return 1; }), 2);
        QCOMPARE(storedDatabase(env, u"Users/BBB222/data.rvd"_s).partners.size(), 1);
        QCOMPARE(env.read(u"Users/BBB222/benzin.rvd"_s), QByteArray("0\r\n"));
    }

    void uniquenessIgnoresCaseAndBlanks() {
        TestEnv env;
        env.prompter.answer(No);
        QVERIFY(createCar(env.state, form(u"Kovács"_s, u"ABC123"_s), {}));
        env.prompter.clear();
        QCOMPARE(createCar(env.state, form(u"Más"_s, u" abc123"_s), {}), 0);
        QCOMPARE(env.prompter.last(), u"Ez a rendszám már foglalt."_s);
        QCOMPARE(env.prompter.asked.last().icon, MsgIcon::Exclamation);
        QCOMPARE(createCar(env.state, form(u"KOVÁCS "_s, u"XYZ"_s), {}), 0);
        QCOMPARE(env.prompter.last(), u"Ez a felhasználónév már foglalt."_s);
        QCOMPARE(env.state.carCount(), 1);
        QVERIFY(!QFileInfo::exists(env.path(u"Users/XYZ"_s)));
    }

    void unsafePlateRefusedBeforeAnythingIsWritten() {
        TestEnv env;
        QCOMPARE(createCar(env.state, form(u"a"_s, u"../kint"_s), {}), 0);
        QVERIFY(env.prompter.last().contains(u"könyvtárnév"_s));
        QCOMPARE(env.state.carCount(), 0);
        QVERIFY(!QFile::exists(env.path(u"user.rvd"_s)));
    }

    void newCarNeverSharesADirectory() {
        TestEnv env;
        env.prompter.answer(No);
        QVERIFY(createCar(env.state, form(u"a"_s, u"OLD1"_s), {}));
        // The plate changes; the directory keeps its name.
        CarForm changed = form(u"a"_s, u"NEW1"_s);
        QVERIFY(modifyCar(env.state, 1, changed, {}));
        QCOMPARE(env.state.car(1).dirName, u"OLD1"_s);
        env.prompter.answer(No); // import
        env.prompter.answer(No); // prices
        QCOMPARE(createCar(env.state, form(u"b"_s, u"old1"_s), {}), 2);
        QCOMPARE(env.state.car(2).dirName, u"old1_2"_s);
        QCOMPARE(freeDirName(env.state, u"OLD1"_s), u"OLD1_3"_s);
        // A leftover directory on disk is not taken over either.
        QDir().mkpath(env.path(u"Users/LEFT"_s));
        QCOMPARE(freeDirName(env.state, u"LEFT"_s), u"LEFT_2"_s);
    }

    void modifyChecksOtherCarsOnly() {
        TestEnv env;
        QVERIFY(twoCars(env));
        env.prompter.clear();
        QVERIFY(modifyCar(env.state, 1, form(u"a"_s, u"P1"_s), {})); // itself is no conflict
        QVERIFY(!modifyCar(env.state, 1, form(u"a"_s, u"p2"_s), {}));
        QCOMPARE(env.prompter.last(), u"Ez a rendszám már foglalt."_s);
        QCOMPARE(env.state.car(1).plateNumber, u"P1"_s);
    }

    void fuelTypeChangeOffersPublishedThenOtherCar() {
        TestEnv env;
        env.write(u"Users/b98.rvd"_s, "1\r\n#2024-03-01#\r\n700\r\n");
        QVERIFY(twoCars(env));
        QVERIFY(loginCar(env.state, 2));
        env.prompter.clear();

        CarForm f = formFromCar(env.state.car(2));
        f.fuelType = 2;
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, {}));
        QCOMPARE(env.prompter.asked.size(), 1);
        QCOMPARE(env.read(u"Users/P2/benzin.rvd"_s), env.read(u"Users/b98.rvd"_s));
        // The logged-in car sees its new prices at once.
        QCOMPARE(env.state.fuelPrices.size(), 1);
        QCOMPARE(env.state.fuelPrices[0].price, qint16(700));

        env.write(u"Users/P1/benzin.rvd"_s, "1\r\n#2024-04-01#\r\n555\r\n");
        f.fuelType = 4;
        env.prompter.clear();
        env.prompter.answer(No);
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, [] { return 1; }));
        QCOMPARE(env.prompter.asked.size(), 2);
        QVERIFY(env.prompter.asked[1].text.endsWith(u"Kívánja egy másik gépkocsi üzemanyagadatbázisát importálni?"_s));
        QCOMPARE(env.read(u"Users/P2/benzin.rvd"_s), env.read(u"Users/P1/benzin.rvd"_s));

        // Same fuel type: no question.
        env.prompter.clear();
        QVERIFY(modifyCar(env.state, 2, f, {}));
        QVERIFY(env.prompter.asked.isEmpty());
    }

    void deleteRemovesOnlyItsDirectory() {
        TestEnv env;
        for (const QString& p : {u"P1"_s, u"P2"_s, u"P3"_s}) {
            if (env.state.carCount() > 0)
                env.prompter.answer(No); // import
            env.prompter.answer(No);     // prices
            QVERIFY(createCar(env.state, form(p.toLower(), p), {}));
        }
        QVERIFY(env.prompter.scriptUsedUp());
        env.write(u"Users/P2/2024jan.rvn"_s, "x");
        QVERIFY(loginCar(env.state, 3));
        env.prompter.clear();
        env.prompter.answer(No);
        QVERIFY(!deleteCar(env.state, 2).removed);
        QCOMPARE(env.prompter.last(), u"Biztos, hogy törli a(z) p2 nevű felhasználót?"_s);
        QVERIFY(QFileInfo::exists(env.path(u"Users/P2"_s)));

        env.prompter.answer(Yes);
        const DeleteOutcome out = deleteCar(env.state, 2);
        QVERIFY(out.removed);
        QVERIFY(!out.wasLoggedIn);
        QVERIFY(!QFileInfo::exists(env.path(u"Users/P2"_s)));
        QVERIFY(QFileInfo::exists(env.path(u"Users/P1/data.rvd"_s)));
        QVERIFY(QFileInfo::exists(env.path(u"Users/P3/data.rvd"_s)));
        QVector<CarRecord> saved;
        QVERIFY(parseCars(env.read(u"user.rvd"_s), u"user.rvd"_s, saved));
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved[1].userName, u"p3"_s);
        // The logged-in car moved up one place and is still the same car.
        QCOMPARE(env.state.currentCar, 2);
        QCOMPARE(env.state.car(env.state.currentCar).userName, u"p3"_s);

        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 2).wasLoggedIn);
        QCOMPARE(env.state.currentCar, 0);
        QVERIFY(env.state.partners.isEmpty());
    }

    void deleteWithUnsafeOrSharedDirectoryDeletesNothing() {
        TestEnv env;
        env.write(u"Users/keep.txt"_s, "x");
        env.write(u"Users/SHARED/data.rvd"_s, "x");
        CarRecord a;
        a.userName = u"üres"_s;
        a.dirName = u"  "_s;
        CarRecord b;
        b.userName = u"egyik"_s;
        b.dirName = u"SHARED"_s;
        CarRecord c = b;
        c.userName = u"másik"_s;
        env.state.cars = {a, b, c};
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 1).removed);
        QVERIFY(env.prompter.last().contains(u"nem biztonságos"_s));
        QVERIFY(QFile::exists(env.path(u"Users/keep.txt"_s)));
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 1).removed);
        QVERIFY(env.prompter.last().contains(u"másik"_s));
        QVERIFY(QFile::exists(env.path(u"Users/SHARED/data.rvd"_s)));
        QCOMPARE(env.state.carCount(), 1);
    }

    void failedLoginKeepsThePreviousCar() {
        TestEnv env;
        QVERIFY(twoCars(env));
        env.write(u"Users/P1/data.rvd"_s, threePartners());
        QVERIFY(loginCar(env.state, 1));
        QCOMPARE(env.state.partnerCount(), 3);

        QFile::remove(env.path(u"Users/P2/data.rvd"_s));
        const Result r = loginCar(env.state, 2);
        QVERIFY(!r);
        QVERIFY(r.message().contains(u"data.rvd"_s));
        QCOMPARE(env.state.currentCar, 1);
        QCOMPARE(env.state.carDir, u"Users/P1/"_s);
        QCOMPARE(env.state.partnerCount(), 3);
        QCOMPARE(env.state.partner(1).name, u"Régi bázis"_s);
    }

    void missingPricesAreRepairedAtLogin() {
        TestEnv env;
        env.prompter.answer(No);
        QVERIFY(createCar(env.state, form(u"a"_s, u"P1"_s), {}));
        QFile::remove(env.path(u"Users/P1/benzin.rvd"_s));
        env.prompter.clear();
        QVERIFY(loginCar(env.state, 1));
        QVERIFY(env.prompter.last().startsWith(u"A benzinárakat tartalmazó adatbázis nem található."_s));
        QCOMPARE(env.read(u"Users/P1/benzin.rvd"_s), QByteArray("0\r\n"));
        QCOMPARE(env.state.currentCar, 1);
        QCOMPARE(env.state.errorLocation, u"frmUjuser - Form"_s);
    }

    void scratchFileReplacesInOneStep() {
        TestEnv env;
        const QString dir = env.path(u"Users/"_s);
        env.write(u"Users/x.rvd"_s, "old");
        QVERIFY(writeThroughScratch(dir, u"x.rvd"_s, "new"));
        QCOMPARE(env.read(u"Users/x.rvd"_s), QByteArray("new"));
        QVERIFY(!QFile::exists(dir + u"temp.tmp"_s));
        QVERIFY(!writeThroughScratch(env.path(u"nincs/"_s), u"x.rvd"_s, "new"));
    }
};

QTEST_GUILESS_MAIN(tst_carops)
#include "tst_carops.moc"
