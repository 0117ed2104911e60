#include "startup/conversion.h"
#include "startup/carops.h"
#include "storage/locks.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "writefault.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
void copyFixture(TestEnv& env) {
    env.copyData(u"older12"_s);
    env.settings->setText(keys::Version, u"1.2"_s);
}
// The data directory's files but the settings and the error log.
QMap<QString, QByteArray> dataFiles(const TestEnv& env) {
    auto all = filesUnder(env.dir.path());
    all.remove(u"settings.ini"_s);
    all.remove(u"error.log"_s);
    return all;
}
} // namespace

class tst_conversion : public QObject {
    Q_OBJECT
private slots:
    void convertsCarsDatabasesAndVersion() {
        TestEnv env;
        copyFixture(env);
        const QByteArray olderList = env.read(u"users.rvd"_s);
        QVector<bool> busy;
        env.write(u"Users/XYZ-999/benzin.rvd"_s, "1\r\n#2002-01-01#\r\n250\r\n"); // entered since: kept
        QCOMPARE(convertOlderLayout(env.state, [&](bool b) { busy.append(b); }), ConversionOutcome::Converted);
        QCOMPARE(std::pair(busy, env.prompter.asked.value(0).buttons), std::pair(QVector<bool>{true, false}, Ok | Cancel));
        QCOMPARE(env.prompter.last(),
                 u"A konvertálás sikeresen befejeződött.\r\n\r\nAz átalakított gépkocsiknál még meg kell adni a "
                 u"fogyasztást és az általános költséget (a főablak Módosítás gombjával), valamint az üzemanyagárakat "
                 u"(Adatbázis ablak, Benzinárak lap):\r\n  ABC-123 (Kovács)\r\n  XYZ-999 (Nagy)\r\n\r\n"
                 u"Bővebben: Súgó, „Régebbi adatok átalakítása”."_s);

        const QVector<CarRecord> cars = storedCars(env);
        QCOMPARE((std::tuple{cars.size(), cars[0].generalCost, cars[0].city, cars[0].dirName}),
                 (std::tuple{qsizetype(2), 3.0f, u"Pécs"_s, u"ABC-123"_s}));
        // The fixture's cells are 25 km, true from 1 to 2 and false from 2 to 1; the names are trimmed.
        const PartnerDatabase db = storedDatabase(env, u"Users/ABC-123/data.rvd"_s);
        QCOMPARE((std::tuple{db.partners.size(), db.partners.value(0).name, db.distances.at(1, 2).distance,
                             db.distances.at(1, 2).routeType, db.distances.at(2, 1).routeType}),
                 (std::tuple{qsizetype(2), u"Kovács Bt."_s, qint16(25), qint16(1), qint16(2)}));
        QVERIFY(env.read(u"Users/ABC-123/benzin.rvd"_s) == "0\r\n" && !QFile::exists(env.path(u"Users/ABC-123/temp.tmp"_s)));
        // A car without a database gets its base as the one partner.
        QCOMPARE(std::pair(storedDatabase(env, u"Users/XYZ-999/data.rvd"_s).partners.size(), env.read(u"Users/XYZ-999/benzin.rvd"_s)),
                 std::pair(qsizetype(1), QByteArray("1\r\n#2002-01-01#\r\n250\r\n")));
        for (const QString& f : {u"b95.rvd"_s, u"b98.rvd"_s, u"bdiz.rvd"_s, u"bkev.rvd"_s})
            QCOMPARE(env.read(u"Users/"_s + f), QByteArray("0\r\n"));
        // The older list is left in place.
        QCOMPARE(std::pair(env.settings->text(keys::Version), env.read(u"users.rvd"_s)), std::pair(u"2.2"_s, olderList));
    }

    // Cancelled, or a damaged database found before anything is written: nothing changes.
    void cancelOrADamagedDatabaseChangesNothing() {
        TestEnv cancelled;
        copyFixture(cancelled);
        cancelled.prompter.answer(Cancel);
        QCOMPARE(convertOlderLayout(cancelled.state), ConversionOutcome::Declined);
        QVERIFY(!QFile::exists(cancelled.path(u"user.rvd"_s)) && !QFile::exists(cancelled.path(u"Users/b95.rvd"_s)) &&
                cancelled.settings->text(keys::Version) == u"1.2"_s);
        TestEnv env;
        copyFixture(env);
        env.write(u"Users/ABC-123/data.rvd"_s, "2\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n");
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Failed);
        QVERIFY(env.prompter.asked.last().icon == MsgIcon::Critical &&
                env.prompter.last().contains(u"következő indításkor újra felajánlja"_s));
        QVERIFY(env.read(u"error.log"_s).contains("data.rvd") && !QFile::exists(env.path(u"user.rvd"_s)) &&
                env.settings->text(keys::Version) == u"1.2"_s);
    }

    // Stopped halfway (the second car's folder cannot be made), the conversion is offered again
    // and ends as a single run does; once the car file is there, no car is converted twice.
    void aHalfDoneConversionIsOfferedAgainAndFinishes() {
        TestEnv single;
        copyFixture(single);
        QCOMPARE(convertOlderLayout(single.state), ConversionOutcome::Converted);
        TestEnv env;
        copyFixture(env);
        env.write(u"Users/XYZ-999"_s, "a könyvtár helyén");
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Failed);
        QVERIFY(hasUnconvertedData(env.state) && QFile::exists(env.path(u"Users/ABC-123/benzin.rvd"_s)) &&
                QFile::remove(env.path(u"Users/XYZ-999"_s)));
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QCOMPARE(dataFiles(env), dataFiles(single));

        CarRecord changed = storedCars(env).value(0);
        changed.consumption = 6.5f;
        env.write(u"user.rvd"_s, serializeCars({changed}));
        env.settings->setText(keys::Version, u"1.2"_s); // as when the version could not be stored
        QVERIFY(convertOlderLayout(env.state) == ConversionOutcome::Converted && env.read(u"user.rvd"_s) == serializeCars({changed}));
    }

    // Another program writes the shared folder: the conversion waits for it; when the folder stays
    // held, it refuses with the holder named and writes nothing.
    void waitsForTheFolderAndWritesNothingWhileItIsHeld() {
        TestEnv env;
        copyFixture(env);
        const QString sleep = QFileInfo(QStandardPaths::findExecutable(u"sleep"_s)).canonicalFilePath();
        if (sleep.isEmpty())
            QSKIP("no sleep program");
        const QDateTime now = QDateTime::currentDateTime();
        QProcess holder; // on this computer, for two seconds
        holder.start(sleep, {u"2"_s});
        QVERIFY(holder.waitForStarted());
        env.write(u"rovanta-folder.lock"_s, QByteArray::number(holder.processId()) + '\n' + sleep.toUtf8() + '\n' +
                                                localHostName().toUtf8() + '\n');
        env.write(u"rovanta-folder.lock.info"_s, lockNote({localHostName(), u"kati"_s, now, now, false}));
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QVERIFY2(waited.elapsed() >= 1500, "taken before its holder ended"); // a lower bound: the holder's life
        QVERIFY(QFile::exists(env.path(u"user.rvd"_s)) && !QFile::exists(folderLockPath(env.state.programDir)));

        TestEnv held;
        copyFixture(held);
        const QByteArray lock = "4242\nrovanta\nmasik-gep\n";
        held.write(u"rovanta-folder.lock"_s, lock);
        held.write(u"rovanta-folder.lock.info"_s, lockNote({u"masik-gep"_s, u"kati"_s, now, now, true}));
        const auto before = dataFiles(held); // the refusal is logged
        QCOMPARE(convertOlderLayout(held.state), ConversionOutcome::Failed);
        QVERIFY2(held.prompter.last().startsWith(u"Az adatbázisok konvertálása nem sikerült:\r\nAz adatkönyvtár most "
                                                 u"nem írható: az adatkönyvtárat egy másik gépről írják (masik-gep/kati "
                                                 u"szerkeszti %1 óta)."_s.arg(now.toString(u"HH:mm"_s))),
                 qPrintable(held.prompter.last()));
        QCOMPARE(std::pair(dataFiles(held), held.settings->text(keys::Version)), std::pair(before, u"1.2"_s));
    }

    void withoutAnOlderListThePresentCarFileStays() {
        TestEnv env;
        env.settings->setText(keys::Version, u"1.2"_s);
        CarRecord car = carWithTexts(u"Kovács"_s, u"Opel"_s, u"ABC-123"_s, u"Bt."_s, u"Pécs"_s, {});
        car.dirName = u"ABC-123"_s;
        const QByteArray present = serializeCars({car});
        env.write(u"user.rvd"_s, present);
        QCOMPARE(convertOlderLayout(env.state), ConversionOutcome::Converted);
        QCOMPARE(std::pair(env.read(u"user.rvd"_s), env.settings->text(keys::Version)), std::pair(present, u"2.2"_s));
    }

    // "4": already converted by an interrupted earlier run, kept.
    void cellFlags() {
        for (const auto& [flag, routeType] : {std::pair{"#TRUE#", "1"}, {"#FALSE#", "2"}, {"-1", "1"}, {"0", "2"}, {"4", "4"}}) {
            QByteArray out;
            QVERIFY(convertOlderDatabase("1\r\n\"a\"\r\n\"b\"\r\n\"\"\r\n25," + QByteArray(flag) + "\r\n", u"x"_s, out));
            QCOMPARE(out, "1\r\n\"a\"\r\n\"b\"\r\n\"\"\r\n25," + QByteArray(routeType) + "\r\n");
        }
    }

    void unsafeOlderDirectoryNameRefused() {
        QVector<OlderCar> cars;
        QVERIFY(!parseOlderCars("1\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\"\r\n\"..\\\\x\"\r\n", u"u"_s, cars));
    }
};

QTEST_GUILESS_MAIN(tst_conversion)
#include "tst_conversion.moc"
