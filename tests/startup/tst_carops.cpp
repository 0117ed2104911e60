#include "startup/carops.h"
#include "startup/dialogvalues.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "writefault.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

CarForm form(const QString& user, const QString& plate) {
    return CarForm{user, u"Opel Astra"_s, plate, 3, u"7,5"_s, u"12"_s, u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s};
}

// A new car answering No to the import and the published-prices questions.
int addCar(TestEnv& env, const QString& user, const QString& plate) {
    if (env.state.carCount() > 0)
        env.prompter.answer(No);
    env.prompter.answer(No);
    return createCar(env.state, form(user, plate), {});
}

} // namespace

class tst_carops : public QObject {
    Q_OBJECT
private slots:
    void validationStopsAtTheFirstProblem() {
        CarForm f = form(u"a"_s, u"b"_s);
        f.companyAddress = u"  "_s;
        QCOMPARE(validateCarForm(f)->message, u"A cég címe nincs megadva."_s);
        f.carType.clear();
        QCOMPARE(validateCarForm(f)->field, CarField::CarType);
        // Only what the car file may hold, at the ends of the ranges.
        const std::tuple<QString, QString, std::optional<CarField>> numbers[] = {
            {u"100"_s, u"1000"_s, std::nullopt},
            {u"0"_s, u"0"_s, std::nullopt},
            {u"100,01"_s, u"12"_s, CarField::Consumption},
            {u"-1"_s, u"12"_s, CarField::Consumption},
            {u"7"_s, u"1000.5"_s, CarField::GeneralCost},
        };
        for (const auto& [consumption, cost, field] : numbers) {
            f = form(u"a"_s, u"b"_s);
            f.consumption = consumption;
            f.generalCost = cost;
            const auto problem = validateCarForm(f);
            QVERIFY2((problem ? std::optional(problem->field) : std::nullopt) == field, qPrintable(consumption + u' ' + cost));
        }
    }

    // A text the car file cannot hold is refused, naming each such character once; "?" is a
    // letter like any other, so a car file holding it from an earlier version still reads.
    void textsOutsideTheCodePageAreRefused() {
        CarForm f = form(u"a"_s, u"ЖК-Ж7"_s);
        QVERIFY2(validateCarForm(f)->field == CarField::Plate &&
                     validateCarForm(f)->message.startsWith(u"Az „Ж”, „К” karakterek nem tárolhatók"_s),
                 qPrintable(validateCarForm(f)->message));
        f = form(u"a"_s, u"b"_s);
        f.companyName = u"Kft. 🚗"_s;
        QVERIFY(validateCarForm(f)->message.startsWith(u"Az „🚗” karakter nem tárolható"_s));
        f.companyName = u"Árvíztűrő tükörfúrógép Kft. – „Ő” € ?"_s;
        QVERIFY(!validateCarForm(f));
        QVector<CarRecord> cars;
        QVERIFY(parseCars("1\r\n\"a\"\r\n\"b\"\r\n\"?\?-7\"\r\n1\r\n7\r\n3\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"?\?-7\"\r\n",
                          u"user.rvd"_s, cars));
        QCOMPARE(cars.value(0).dirName, u"?\?-7"_s);
    }

    // Reserved device names and dots at the ends are refused, their look-alikes not; a Cyrillic
    // plate's folder would not be the car file's "?\?-7".
    void plateMustBeOneDirectoryName() {
        for (const auto& [plate, ok] : {std::pair{u"ABC-123"_s, true}, {u"AB.12"_s, true}, {u"ŐŰ-áé1"_s, true},
                                        {u"COM10"_s, true}, {u"CONA"_s, true}, {u"AB/12"_s, false}, {u"A\tB"_s, false},
                                        {u".abc"_s, false}, {u"abc."_s, false}, {u"con"_s, false}, {u"NUL.txt"_s, false},
                                        {u"COM1"_s, false}, {u"ЖК-7"_s, false}})
            QVERIFY2(plateDirectoryProblem(plate).isEmpty() == ok, qPrintable(plate));
    }

    void firstCarGetsOnePartnerDatabaseAndPublishedPrices() {
        TestEnv env;
        env.write(u"Users/bdiz.rvd"_s, "1\r\n#2024-01-01#\r\n612\r\n");
        env.prompter.answer(Yes); // the published prices
        // A pasted line break must not split the record in the car file.
        QCOMPARE(createCar(env.state, form(u" Kovács\r\nJános "_s, u" ABC-123 "_s), [] { return 0; }), 1);
        QCOMPARE(env.prompter.asked.size(), 1); // no import question
        const CarRecord saved = storedCars(env).value(0);
        QCOMPARE((std::tuple{saved.userName, saved.dirName, saved.consumption}), (std::tuple{u"Kovács János"_s, u"ABC-123"_s, 7.5f}));
        const PartnerDatabase db = storedDatabase(env, u"Users/ABC-123/data.rvd"_s);
        QCOMPARE(std::pair(db.partners, env.read(u"Users/ABC-123/benzin.rvd"_s)),
                 std::pair(QVector<Partner>{{u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s}}, env.read(u"Users/bdiz.rvd"_s)));
    }

    void damagedImportSourceFallsBackToOwnDatabase() {
        TestEnv env;
        QVERIFY(addCar(env, u"első"_s, u"AAA111"_s));
        env.write(u"Users/AAA111/data.rvd"_s, "3\r\n\"csak egy\"\r\n");
        env.prompter.answer(Yes); // import
        env.prompter.answer(Ok);  // the failure
        env.prompter.answer(No);  // no published prices
        QCOMPARE(createCar(env.state, form(u"második"_s, u"BBB222"_s), [] { return 1; }), 2);
        QCOMPARE(storedDatabase(env, u"Users/BBB222/data.rvd"_s).partners.size(), 1);
    }

    void refusedCarsWriteNothing() {
        TestEnv env;
        QVERIFY(addCar(env, u"Kovács"_s, u"ABC123"_s) && addCar(env, u"b"_s, u"P2"_s));
        const QByteArray carFile = env.read(u"user.rvd"_s);
        // Letter case and blanks do not make another car.
        for (const auto& [user, plate, told] : {std::tuple{u"Más"_s, u" abc123"_s, u"Ez a rendszám már foglalt."_s},
                                                {u"KOVÁCS "_s, u"XYZ"_s, u"Ez a felhasználónév már foglalt."_s},
                                                {u"c"_s, u"../kint"_s, u"könyvtárnév"_s}})
            QVERIFY2(createCar(env.state, form(user, plate), {}) == 0 && env.prompter.last().contains(told), qPrintable(plate));
        // A changed car is checked against the other cars only.
        QVERIFY(modifyCar(env.state, 2, form(u"b"_s, u"P2"_s), {}) && !modifyCar(env.state, 2, form(u"b"_s, u"abc123"_s), {}));
        QCOMPARE((std::tuple{env.state.car(2).plateNumber, env.state.carCount(), env.read(u"user.rvd"_s),
                             QFileInfo::exists(env.path(u"Users/XYZ"_s))}),
                 (std::tuple{u"P2"_s, 2, carFile, false}));
    }

    void newCarNeverSharesADirectory() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"OLD1"_s) && modifyCar(env.state, 1, form(u"a"_s, u"NEW1"_s), {}));
        QCOMPARE(addCar(env, u"b"_s, u"old1"_s), 2);
        QCOMPARE((std::tuple{env.state.car(1).dirName, env.state.car(2).dirName, freeDirName(env.state, u"OLD1"_s)}),
                 (std::tuple{u"OLD1"_s, u"old1_2"_s, u"OLD1_3"_s}));
    }

    void fuelTypeChangeOffersPublishedThenOtherCar() {
        TestEnv env;
        env.write(u"Users/b98.rvd"_s, "1\r\n#2024-03-01#\r\n700\r\n");
        QVERIFY(addCar(env, u"a"_s, u"P1"_s) && addCar(env, u"b"_s, u"P2"_s) && loginCar(env.state, 2));
        env.prompter.clear();
        CarForm f = formFromCar(env.state.car(2));
        f.fuelType = 2;
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, {}));
        // The logged-in car sees its new prices at once.
        QCOMPARE(std::pair(env.read(u"Users/P2/benzin.rvd"_s), env.state.fuelPrices.size()), std::pair(env.read(u"Users/b98.rvd"_s), qsizetype(1)));

        env.write(u"Users/P1/benzin.rvd"_s, "1\r\n#2024-04-01#\r\n555\r\n");
        f.fuelType = 4;
        env.prompter.clear();
        env.prompter.answer(No);
        env.prompter.answer(Yes);
        QVERIFY(modifyCar(env.state, 2, f, [] { return 1; }) &&
                env.prompter.last().endsWith(u"Kívánja egy másik gépkocsi üzemanyagadatbázisát importálni?"_s));
        QCOMPARE(env.read(u"Users/P2/benzin.rvd"_s), env.read(u"Users/P1/benzin.rvd"_s));
        env.prompter.clear();
        QVERIFY(modifyCar(env.state, 2, f, {}) && env.prompter.asked.isEmpty()); // same fuel type: no question
    }

    void deleteKeepsOtherDirectoriesAndTheLoggedInCar() {
        TestEnv env;
        for (const QString& p : {u"P1"_s, u"P2"_s, u"P3"_s})
            QVERIFY(addCar(env, p.toLower(), p));
        env.write(u"Users/P2/2024jan.rvn"_s, "x");
        env.write(u"Users/P2/2024FEB.RVN"_s, "x");
        env.write(u"Users/P2/benzin.rvd.hibas.2"_s, "x");
        QVERIFY(loginCar(env.state, 3));
        env.prompter.answer(No);
        QVERIFY(!deleteCar(env.state, 2).removed && QFileInfo::exists(env.path(u"Users/P2"_s)));
        QCOMPARE(std::pair(env.prompter.last(), env.prompter.asked.last().buttons),
                 std::pair(u"Biztos, hogy törli a(z) p2 nevű felhasználót?\r\n\r\nVele együtt törlődik 2 havi "
                           u"nyilvántartása, a partnerei, a távolságai és az üzemanyagárai."_s, Yes | No | DefaultNo));
        env.prompter.answer(Yes);
        QVERIFY(!deleteCar(env.state, 2).wasLoggedIn && !QFileInfo::exists(env.path(u"Users/P2"_s)));
        QCOMPARE(env.state.currentCar, 2); // moved up one place with its record
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 2).wasLoggedIn && env.state.currentCar == 0 && env.state.partners.isEmpty());
    }

    // Only what the program made goes; a file or folder of the user's keeps the directory.
    void deleteLeavesForeignFilesAndSaysWhat() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s));
        for (const char* f : {"2024jan.rvn", "temp.tmp", "evszak.rvd", "data.rvd.hibas", "jegyzet.txt", "data.rvd.hibas.x",
                              "2024jan.rvn.hibas.2", "benzin.rvd.XyZabc", "levelek.hibas", "mentes/2024jan.rvn"})
            env.write(u"Users/P1/"_s + QLatin1String(f), "x");
        env.prompter.answer(Yes);
        QVERIFY(deleteCar(env.state, 1).removed);
        QCOMPARE(QDir(env.path(u"Users/P1"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({u"data.rvd.hibas.x"_s, u"jegyzet.txt"_s, u"levelek.hibas"_s, u"mentes"_s}));
        QVERIFY(env.read(u"Users/P1/mentes/2024jan.rvn"_s) == "x" && env.prompter.last().contains(u"jegyzet.txt"_s) &&
                env.prompter.last().contains(u"mentes/"_s));
    }

    // A car list lost to damage: the car created again may take its old directory over.
    void anUnregisteredDirectoryIsOfferedForTakeOver() {
        TestEnv env;
        const QByteArray db = "1\r\n\"R\xe9gi\"\r\n\"P\xe9" "cs\"\r\n\"\"\r\n0,1\r\n";
        env.write(u"Users/ABC/data.rvd"_s, db);
        env.write(u"Users/ABC/2002jan.rvn"_s, "x");
        env.write(u"Users/ABC/2002feb.rvn"_s, "x");
        env.prompter.answer(Yes);
        QVERIFY(createCar(env.state, form(u"a"_s, u"ABC"_s), {}) == 1 && env.prompter.asked[0].text.contains(u"2 havi nyilvántartás"_s));
        QCOMPARE((std::tuple{env.state.car(1).dirName, env.read(u"Users/ABC/data.rvd"_s), env.read(u"Users/ABC/benzin.rvd"_s)}),
                 (std::tuple{u"ABC"_s, db, QByteArray("0\r\n")}));

        // Declined, or a directory without the program's files: a directory of its own.
        env.write(u"Users/XYZ/data.rvd"_s, db);
        env.write(u"Users/QQQ/jegyzet.txt"_s, "x");
        env.prompter.clear();
        env.prompter.answer(No);
        QVERIFY(addCar(env, u"b"_s, u"XYZ"_s) == 2 && addCar(env, u"c"_s, u"QQQ"_s) == 3);
        QCOMPARE((std::tuple{env.state.car(2).dirName, env.state.car(3).dirName}), (std::tuple{u"XYZ_2"_s, u"QQQ_2"_s}));
        QVERIFY(!env.prompter.texts().join(u'|').contains(u"QQQ könyvtár"_s));
    }

    // A damaged data.rvd: what was read before the damage opens, or the login is cancelled.
    void aDamagedDatabaseOpensItsReadablePart() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s));
        // Three partners; row 2 is damaged in its second cell, so rows 2 and 3 are lost.
        const QByteArray damaged = "3\r\n\"A\"\r\n\"V\"\r\n\"\"\r\n\"B\"\r\n\"V\"\r\n\"\"\r\n\"C\"\r\n\"V\"\r\n\"\"\r\n"
                                   "0,1\r\n12,2\r\n13,3\r\n21,1\r\nx,1\r\n";
        env.write(u"Users/P1/data.rvd"_s, damaged);
        env.prompter.clear();
        env.prompter.answer(Cancel);
        QVERIFY(!loginCar(env.state, 1) && env.read(u"Users/P1/data.rvd"_s) == damaged);
        QVERIFY(env.prompter.asked[0].text.contains(u"(15. sor)"_s) &&
                env.prompter.asked[0].text.contains(u"A fájl 3 partnert ír; ebből 3 partner és 1 távolságsor olvasható, "
                                                    u"0 partner és 2 távolságsor elvész."_s));

        env.prompter.clear();
        env.prompter.answer(Yes);
        QVERIFY(loginCar(env.state, 1));
        QCOMPARE(std::pair(env.read(u"Users/P1/data.rvd.hibas"_s), env.state.partnerCount()), std::pair(damaged, 3));
        const qint16 km[3][3] = {{0, 12, 13}, {12, 0, 0}, {13, 0, 0}}; // lost rows from their mirror cells
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j)
                QCOMPARE(env.state.distances.at(i, j).distance, km[i - 1][j - 1]);
        QCOMPARE(storedPartners(env.state).distances.at(3, 1).distance, qint16(13));

        // Nothing readable: the car's own base is the one partner.
        env.write(u"Users/P1/data.rvd"_s, "x\r\n");
        env.prompter.answer(Yes);
        QVERIFY(loginCar(env.state, 1));
        QCOMPARE(std::pair(env.state.partnerCount(), env.state.partner(1).name), std::pair(1, u"Cég Kft."_s));
    }

    void deleteWithUnsafeOrSharedDirectoryDeletesNothing() {
        TestEnv env;
        env.write(u"Users/keep.txt"_s, "x");
        env.write(u"Users/SHARED/data.rvd"_s, "x");
        auto car = [](const QString& user, const QString& dir) { return CarRecord{user, {}, {}, 1, 1, 1, {}, {}, {}, dir}; };
        env.state.cars = {car(u"üres"_s, u"  "_s), car(u"egyik"_s, u"SHARED"_s), car(u"másik"_s, u"SHARED"_s)};
        QVERIFY(deleteCar(env.state, 1).removed && env.prompter.last().contains(u"nem biztonságos"_s));
        QVERIFY(deleteCar(env.state, 1).removed && env.prompter.last().contains(u"másik"_s));
        QVERIFY(QFile::exists(env.path(u"Users/keep.txt"_s)) && QFile::exists(env.path(u"Users/SHARED/data.rvd"_s)) &&
                env.state.carCount() == 1);
    }

    void loginRepairsMissingPricesButRefusesAMissingDatabase() {
        TestEnv env;
        QVERIFY(addCar(env, u"a"_s, u"P1"_s) && addCar(env, u"b"_s, u"P2"_s));
        QFile::remove(env.path(u"Users/P1/benzin.rvd"_s));
        QVERIFY(loginCar(env.state, 1) && env.prompter.last().startsWith(u"A benzinárakat tartalmazó adatbázis nem található."_s));
        QCOMPARE(std::pair(env.read(u"Users/P1/benzin.rvd"_s), env.state.errorLocation), std::pair(QByteArray("0\r\n"), u"frmUjuser - Form"_s));

        QFile::remove(env.path(u"Users/P2/data.rvd"_s));
        const Result r = loginCar(env.state, 2);
        QVERIFY(!r && r.message().contains(u"data.rvd"_s));
        QCOMPARE((std::tuple{env.state.currentCar, env.state.carDir, env.state.partnerCount()}),
                 (std::tuple{1, u"Users/P1/"_s, 1}));
    }

    void setupShowsStoredTextsAsNumbers() {
        TestEnv env;
        env.settings->setText(keys::Tolerance, u"010"_s);
        env.settings->setText(keys::Tries, u"abc"_s);
        SetupValues v = readSetup(*env.settings); // nothing stored: start-up loads the cities, the box is ticked
        QCOMPARE((std::tuple{v.tolerance, v.tries, v.loadCities}), (std::tuple{u"10"_s, u"0"_s, true}));
        env.settings->setText(keys::Tolerance, u"2.5"_s);
        QCOMPARE(readSetup(*env.settings).tolerance, u"2,5"_s);
    }

    // A full disk: the dialog's save is told, naming the store, and the program goes on with
    // what the store still holds.
    void settingsThatCannotBeStoredAreTold() {
        RV_NEEDS_POSIX_FAULTS();
        TestEnv env;
        SetupValues v = readSetup(*env.settings);
        v.tolerance = u"25"_s;
        QVERIFY(writeSetup(*env.settings, v));
        v.tolerance = u"30"_s;
        const Result r = underFileSizeLimit(16, [&] {
            const Result w = writeSetup(*env.settings, v);
            return Result::failure(w.message() + u'|' + env.settings->text(keys::Tolerance));
        });
        QVERIFY2(r.message().startsWith(u"A beállítások nem menthetők (a fájl nem írható):"_s) &&
                     r.message().endsWith(QDir::toNativeSeparators(env.dir.filePath(u"settings.ini"_s)) + u"|25"_s),
                 qPrintable(r.message()));
        QCOMPARE(Settings::openFile(env.dir.filePath(u"settings.ini"_s))->text(keys::Tolerance), u"25"_s);
    }

    void multipliersAreStoredOnlyWhenEveryBoxIsFilled() {
        QCOMPARE(std::pair(multiplierBoxText(1.15f), multiplierBoxText(1.075f)), std::pair(u"115"_s, u"107,5"_s));
        TestEnv env;
        env.state.LoadTables();
        QVERIFY(LoadMultipliers(env.state));
        env.state.multipliers[0].value = 0.95f; // "Közút" has no box and keeps its value
        const QByteArray before = env.read(u"Users/szorzo.rvd"_s);
        MultiplierTexts t = multiplierTexts(env.state);
        t[0] = u"110"_s;
        t[2] = u"  "_s;
        t[6] = u"112,5"_s;
        QCOMPARE(applyMultipliers(env.state, t, 3)->box, 2);
        QCOMPARE((std::tuple{env.state.multipliers[1].value, env.state.defaultRouteType, env.read(u"Users/szorzo.rvd"_s)}),
                 (std::tuple{1.0f, qint16(1), before}));

        // Only what the file may hold: 10 to 1000 per cent.
        for (const auto& [text, refused] : {std::pair{u"9,99"_s, true}, {u"1000,1"_s, true},
                                            {u"10"_s, false}, {u"1000"_s, false}})
            QCOMPARE(bool(applyMultipliers(env.state, (t[2] = text, t), 3)), refused);
        t[2] = u"100"_s;
        QVERIFY(!applyMultipliers(env.state, t, 3));
        QCOMPARE(env.state.multipliers[1].value, 1.1f);
        const AppState stored = storedMultipliers(env.state);
        QCOMPARE((std::tuple{stored.multipliers[0].value, stored.multipliers[1].value, stored.multipliers[7].value,
                             stored.defaultRouteType}),
                 (std::tuple{0.95f, 1.1f, 1.125f, qint16(3)}));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s).split('\n').at(1), QByteArray("1.1\r"));
    }
};

QTEST_GUILESS_MAIN(tst_carops)
#include "tst_carops.moc"
