// Several computers on one data folder: each "computer" is a state of its own in this process or
// a rovanta-cli process with a HOME of its own. What they leave is checked in the files.

#include "clifixture.h"
#include "database/partners.h"
#include "database/publishedprices.h"
#include "startup/carops.h"
#include "storage/locks.h"

#include <QProcessEnvironment>
#include <QSysInfo>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

CarForm form(const QString& user, const QString& plate) {
    return CarForm{user, u"Skoda Fabia"_s, plate, 1, u"6,5"_s, u"10"_s, u"Cég Kft."_s, u"Eger"_s, u"Fő u. 2."_s};
}

// The car list as it is on disk: the plates in order.
QStringList platesOnDisk(const CliFixture& f) {
    QVector<CarRecord> cars;
    if (!parseCars(f.read(u"user.rvd"_s), u"user.rvd"_s, cars))
        return {u"damaged"_s};
    QStringList plates;
    for (const CarRecord& c : cars)
        plates << c.plateNumber;
    return plates;
}

int monthFiles(const CliFixture& f) {
    return int(QDir(f.path(u"Users/ABC-123"_s)).entryList({u"*.rvn"_s}, QDir::Files).size());
}

struct Shared : CliFixture {
    // Another computer: its own state and answers on the same folder.
    struct Computer {
        ScriptedPrompter prompter;
        AppState state;
    };
    std::vector<std::unique_ptr<Computer>> others;
    std::vector<std::unique_ptr<QTemporaryDir>> homes;

    Shared() { load(); }

    AppState& computer() {
        others.push_back(std::make_unique<Computer>());
        AppState& s = others.back()->state;
        s.programDir = state.programDir;
        s.prompter = &others.back()->prompter;
        s.settings = settings.get();
        s.random = &random;
        s.terminate = [](int) {};
        LoadCars(s);
        LoadMultipliers(s);
        return s;
    }
    std::pair<AppState&, AppState&> twoComputers() { return {state, computer()}; } // this one and another
    ScriptedPrompter& prompterOf(AppState& s) { return *static_cast<ScriptedPrompter*>(s.prompter); }

    // rovanta-cli as a process with a HOME of its own, started and not waited for.
    std::unique_ptr<QProcess> start(const QStringList& args) {
        homes.push_back(std::make_unique<QTemporaryDir>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, homes.back()->path());
        env.insert(u"XDG_CONFIG_HOME"_s, homes.back()->filePath(u"config"_s));
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(ROVANTA_BIN_DIR "/rovanta-cli"), QStringList{u"--data-dir"_s, data} + args);
        return p;
    }
    static Run finish(QProcess& p) {
        p.waitForFinished(60000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    Run process(const QStringList& args) { return finish(*start(args)); }
};

const QString kHost = QSysInfo::machineHostName();

} // namespace

class SharedFolderTest : public QObject {
    Q_OBJECT
private slots:
    void twoLoginsToOneCarAndTwoPartnerEdits() {
        Shared f;
        auto [a, b] = f.twoComputers();
        QVERIFY(loginCar(a, 1) && !a.readOnly());

        f.prompterOf(b).answer(No);
        const Result declined = loginCar(b, 1);
        QVERIFY(!declined && declined.message().isEmpty() && b.currentCar == 0);
        const QString asked = f.prompterOf(b).last();
        QVERIFY2(asked.startsWith(u"A(z) Kovács Péter gépkocsit most %1/"_s.arg(kHost)) &&
                     asked.contains(u" szerkeszti %1 óta."_s.arg(QTime::currentTime().toString(u"HH:mm"_s))),
                 qPrintable(asked));

        f.prompterOf(b).answer(Yes);
        QVERIFY(loginCar(b, 1) && b.readOnly() && b.readOnlyBy.startsWith(kHost + u'/'));
        QVERIFY(addPartner(a, Partner{u"Delta Kft."_s, u"Eger"_s, {}}));
        const Result refused = addPartner(b, Partner{u"Epszilon Bt."_s, u"Vác"_s, {}});
        QVERIFY(!refused && refused.message().contains(u"Csak olvasható: "_s + b.readOnlyBy));
        const QByteArray onDisk = f.read(CliFixture::car1(u"data.rvd"_s));
        QVERIFY(onDisk.startsWith("5\r\n") && onDisk.contains("Delta Kft.") && !onDisk.contains("Epszilon"));

        // The first computer leaves: the car is free for the second, without a question.
        logout(a);
        const qsizetype askedBefore = f.prompterOf(b).asked.size();
        QVERIFY(loginCar(b, 1) && !b.readOnly() && f.prompterOf(b).asked.size() == askedBefore);
        QVERIFY(addPartner(b, Partner{u"Epszilon Bt."_s, u"Vác"_s, {}}));
        QVERIFY(f.read(CliFixture::car1(u"data.rvd"_s)).startsWith("6\r\n"));
    }

    void loginMeetsDeletion() {
        Shared f;
        auto [a, b] = f.twoComputers();
        QVERIFY(loginCar(a, 1));
        f.prompterOf(b).answer(Yes); // "Biztos, hogy törli"
        QVERIFY(!deleteCar(b, 1).removed);
        QVERIFY2(f.prompterOf(b).last().contains(u"szerkeszti"_s) && f.prompterOf(b).last().endsWith(u"nem törölhető."_s),
                 qPrintable(f.prompterOf(b).last()));
        QCOMPARE(platesOnDisk(f), (QStringList{u"ABC-123"_s, u"XYZ-789"_s, u"QQQ-111"_s}));
        QVERIFY(QFileInfo::exists(f.path(CliFixture::car1(u"data.rvd"_s))));

        logout(a);
        f.prompterOf(b).answer(Yes);
        QVERIFY(deleteCar(b, 1).removed);
        QCOMPARE(platesOnDisk(f), (QStringList{u"XYZ-789"_s, u"QQQ-111"_s}));
        QVERIFY(!QFileInfo::exists(f.path(u"Users/ABC-123"_s)));
        // The first computer still lists the car: its login finds it gone and keeps no lock.
        const Result gone = loginCar(a, 1);
        QVERIFY(!gone && gone.message().contains(u"közben egy másik gépről törölték"_s) && a.currentCar == 0);
        QVERIFY(!QFileInfo::exists(carLockPath(f.data, u"ABC-123"_s)));
    }

    void twoCarsAddedAtOnceAndOneRecordChangedTwice() {
        Shared f;
        auto [a, b] = f.twoComputers();
        for (AppState* s : {&a, &b})
            for (int i = 0; i < 2; ++i) // no import from another car, no published prices
                f.prompterOf(*s).answer(No);
        QCOMPARE(createCar(a, form(u"Új Anna"_s, u"NEW-1"_s), {}), 4);
        QCOMPARE(createCar(b, form(u"Új Béla"_s, u"NEW-2"_s), {}), 5);
        QCOMPARE(platesOnDisk(f), (QStringList{u"ABC-123"_s, u"XYZ-789"_s, u"QQQ-111"_s, u"NEW-1"_s, u"NEW-2"_s}));
        QVERIFY(QFileInfo::exists(f.path(u"Users/NEW-1/data.rvd"_s)) && QFileInfo::exists(f.path(u"Users/NEW-2/data.rvd"_s)));

        // The first computer does not know NEW-2 yet: the list on disk refuses it the plate.
        QCOMPARE(a.carCount(), 4);
        QCOMPARE(createCar(a, form(u"Harmadik"_s, u"NEW-2"_s), {}), 0);
        QCOMPARE(f.prompterOf(a).last(), u"Ez a rendszám már foglalt."_s);
        QCOMPARE(platesOnDisk(f).size(), 5);

        // Both change NEW-1; the second to save is asked and answers No: the first change stays.
        CarForm first = form(u"Új Anna"_s, u"NEW-1"_s);
        first.consumption = u"8"_s;
        QVERIFY(modifyCar(b, 4, first, {}));
        CarForm second = form(u"Új Anna"_s, u"NEW-1"_s);
        second.consumption = u"9"_s;
        f.prompterOf(a).answer(No);
        QVERIFY(!modifyCar(a, 4, second, {}));
        QVERIFY(f.prompterOf(a).last().contains(u"Új Anna gépkocsi adatait közben egy másik gépről megváltoztatták"_s));
        QVERIFY(f.read(u"user.rvd"_s).contains("\"NEW-1\"\r\n1\r\n8\r\n10\r\n"));
    }

    void staleLockOfAnotherComputer() {
        Shared f;
        const QDateTime twoHoursAgo = QDateTime::currentDateTime().addSecs(-7200);
        f.write(u"rovanta-car-ABC-123.lock"_s, "4242\nrovanta\nregi-gep\n");
        f.write(u"rovanta-car-ABC-123.lock.info"_s, lockNote({u"regi-gep"_s, u"kati"_s, twoHoursAgo, twoHoursAgo, true}));

        // The command line never takes it.
        const CliFixture::Run cli = f.run({u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"300"_s});
        QVERIFY2(cli.code == 1 && cli.err.contains(u"elavultnak látszik: regi-gep/kati szerkeszti"_s), qPrintable(cli.err));

        AppState& a = f.state;
        f.prompter.answer(No); // take over?
        f.prompter.answer(No); // read only?
        QVERIFY(!loginCar(a, 1));
        const auto& [text, buttons, icon] = f.prompter.asked[0];
        QVERIFY2(text.contains(u"regi-gep/kati szerkeszti"_s) && text.contains(u"Átveszi a zárolást?"_s) && (buttons & DefaultNo),
                 qPrintable(text));
        QCOMPARE(f.read(u"rovanta-car-ABC-123.lock"_s), QByteArray("4242\nrovanta\nregi-gep\n"));

        f.prompter.answer(Yes);
        QVERIFY(loginCar(a, 1) && !a.readOnly() && f.read(u"rovanta-car-ABC-123.lock.info"_s).startsWith((kHost + u'\n').toUtf8()));
        QCOMPARE(readLockHolder(carLockPath(f.data, u"ABC-123"_s)).host, kHost);

        // A lock renewed a minute ago is not offered: only reading is.
        const QDateTime aMinuteAgo = QDateTime::currentDateTime().addSecs(-60);
        f.write(u"rovanta-car-XYZ-789.lock"_s, "4243\nrovanta\nmasik-gep\n");
        f.write(u"rovanta-car-XYZ-789.lock.info"_s, lockNote({u"masik-gep"_s, u"jozsi"_s, twoHoursAgo, aMinuteAgo, true}));
        f.prompter.clear();
        f.prompter.answer(No);
        QVERIFY(!loginCar(a, 2));
        QVERIFY(f.prompter.asked.size() == 1 && f.prompter.last().contains(u"Megnyitja csak olvasásra?"_s) &&
                f.prompter.last().contains(u"masik-gep/jozsi szerkeszti"_s));
        QCOMPARE(a.currentCar, 1); // the earlier login stands

        // A silent lock of this very computer is not offered: the lock itself tells whether its
        // holder still runs, whatever the note's age.
        AppState& here = f.computer();
        f.write(u"rovanta-car-ABC-123.lock.info"_s, lockNote({kHost, u"kati"_s, twoHoursAgo, twoHoursAgo, false}));
        f.prompterOf(here).answer(No);
        QVERIFY(!loginCar(here, 1));
        QVERIFY2(f.prompterOf(here).asked.size() == 1 && f.prompterOf(here).last().contains(u"Megnyitja csak olvasásra?"_s),
                 qPrintable(f.prompterOf(here).last()));
    }

    void commandLineWaitsForTheCarAndMonthSaveMeetsGenerate() {
        Shared f;
        QVERIFY(loginCar(f.state, 1));
        const int before = monthFiles(f);
        const QByteArray march = f.read(CliFixture::car1(u"2024mar.rvn"_s));
        QVERIFY(!march.isEmpty());
        const Shared::Run refused = f.process({u"generate"_s, u"ABC-123"_s, u"2024-03"_s, u"--km"_s, u"300"_s, u"--force"_s});
        QVERIFY2(refused.code == 1 && refused.err.contains(u"Kovács Péter autó most zárolva van: %1/"_s.arg(kHost)),
                 qPrintable(refused.err));
        QCOMPARE(std::pair(f.read(CliFixture::car1(u"2024mar.rvn"_s)), monthFiles(f)), std::pair(march, before));

        // Reading needs no lock.
        QCOMPARE(f.process({u"months"_s, u"ABC-123"_s}).code, 0);

        // Three writers at once once the car is free: each month is written or clearly refused.
        logout(f.state);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (const QString& month : {u"2024-06"_s, u"2024-07"_s, u"2024-08"_s})
            writers.push_back(f.start({u"generate"_s, u"ABC-123"_s, month, u"--km"_s, u"300"_s, u"--seed"_s, u"7"_s, u"--elfogad"_s}));
        int written = 0;
        for (auto& w : writers) {
            const Shared::Run r = Shared::finish(*w);
            QVERIFY2(r.code == 0 || r.err.contains(u"zárolva van"_s), qPrintable(r.err));
            written += r.code == 0;
        }
        QVERIFY(written >= 1);
        QCOMPARE(monthFiles(f), before + written);
    }

    void aFileChangedElsewhereIsNotOverwrittenUnasked() {
        Shared f;
        auto [a, b] = f.twoComputers();
        QVERIFY(loginCar(a, 1));
        // Another program changes the partner file while the car is open here.
        QByteArray other = f.read(CliFixture::car1(u"data.rvd"_s));
        other.replace("Alfa Bt.", "Alfa Kft.");
        f.write(CliFixture::car1(u"data.rvd"_s), other);
        f.prompter.answer(No);
        QVERIFY(!addPartner(a, Partner{u"Delta Kft."_s, u"Eger"_s, {}}));
        QVERIFY2(f.prompter.last().startsWith(u"A(z) %1 fájlt azóta"_s.arg(QDir::toNativeSeparators(f.path(CliFixture::car1(u"data.rvd"_s))))),
                 qPrintable(f.prompter.last()));
        QCOMPARE(f.read(CliFixture::car1(u"data.rvd"_s)), other);

        // Two computers change the multipliers: the second is asked with the file named.
        b.multipliers[1].value = 1.5f;
        QVERIFY(SaveMultipliers(b));
        const QByteArray first = f.read(u"Users/szorzo.rvd"_s);
        a.multipliers[2].value = 1.75f;
        f.prompter.answer(No);
        QVERIFY(!SaveMultipliers(a) && f.prompter.last().contains(QDir::toNativeSeparators(f.path(u"Users/szorzo.rvd"_s))));
        QCOMPARE(f.read(u"Users/szorzo.rvd"_s), first);
        f.prompter.answer(Yes);
        QVERIFY(SaveMultipliers(a) && f.read(u"Users/szorzo.rvd"_s).startsWith("1\r\n1.1\r\n1.75\r\n"));

        // The program's own writes are no change of another: saving again asks nothing.
        QVERIFY(takeIntoCarPrices(a, {FuelPrice{QDate(2024, 5, 1), 640}}));
        const qsizetype asked = f.prompter.asked.size();
        QVERIFY(SaveFuelPrices(a) && SaveMultipliers(a) && f.prompter.asked.size() == asked);
    }

    void twoPriceImportsAtOnce() {
        Shared f;
        const QByteArray head = "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n";
        f.write(u"jan.tsv"_s, head + "2031\t1\t701\t711\t721\t\t\thttps://example.org/1\n");
        f.write(u"feb.tsv"_s, head + "2031\t2\t702\t712\t722\t\t\thttps://example.org/2\n");

        // While another computer writes the folder, an import is refused and changes nothing.
        {
            DataLock folder(f.data, folderLockPath(f.data));
            QCOMPARE(folder.tryTake(), DataLock::State::Taken);
            const Shared::Run r = f.process({u"prices"_s, u"import"_s, f.path(u"jan.tsv"_s)});
            QVERIFY2(r.code == 1 && r.err.contains(u"Az adatkönyvtár most zárolva van"_s), qPrintable(r.err));
            QVERIFY(!QFileInfo::exists(f.path(u"Users/b95.rvd"_s)));
        }

        auto jan = f.start({u"prices"_s, u"import"_s, f.path(u"jan.tsv"_s)});
        auto feb = f.start({u"prices"_s, u"import"_s, f.path(u"feb.tsv"_s)});
        QCOMPARE(std::pair(Shared::finish(*jan).code, Shared::finish(*feb).code), std::pair(0, 0));
        QCOMPARE(f.read(u"Users/b95.rvd"_s), QByteArray("2\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n"));
    }
};

QTEST_GUILESS_MAIN(SharedFolderTest)
#include "tst_clishared.moc"
