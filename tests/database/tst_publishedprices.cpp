#include "database/priceedit.h"
#include "database/publishedprices.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "testenv.h"
#include "writefault.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// Published files as a user of an older data directory might have them.
const QByteArray kB95 = "2\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n591\r\n";
const QByteArray kBdiz = "1\r\n#2025-11-01#\r\n596\r\n";
const QByteArray kEmpty = "0\r\n";
// 2025-11: ESZ-95 differs (595), gázolaj the same, keverék new; 2025-12 new for all three.
const QByteArray kTable = "# újabb hónapok\n"
                          "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n"
                          "2025\t11\t595\t596\t643\t331\t810\thttps://nav.gov.hu\n"
                          "2025\t12\t580\t590\t630\t330\t800\thttps://nav.gov.hu\n";
// b95, b98, bdiz and bkev before, and after the table's new months (ESZ-95's November kept).
const QList<QByteArray> kOldSet{kB95, kEmpty, kBdiz, kEmpty};
const QList<QByteArray> kNewSet{"3\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n591\r\n#2025-12-01#\r\n580\r\n", kEmpty,
                                "2\r\n#2025-11-01#\r\n596\r\n#2025-12-01#\r\n590\r\n",
                                "2\r\n#2025-11-01#\r\n643\r\n#2025-12-01#\r\n630\r\n"};

struct Env : TestEnv {
    QString table = dir.filePath(u"uj.tsv"_s);
    Env(const QByteArray& tableBytes = kTable) {
        write(u"Users/b95.rvd"_s, kB95);
        write(u"Users/b98.rvd"_s, kEmpty);
        write(u"Users/bdiz.rvd"_s, kBdiz);
        write(u"Users/bkev.rvd"_s, kEmpty);
        QFile f(table);
        f.open(QIODevice::WriteOnly);
        f.write(tableBytes);
    }
    QList<QByteArray> published() const {
        return {read(u"Users/b95.rvd"_s), read(u"Users/b98.rvd"_s), read(u"Users/bdiz.rvd"_s),
                read(u"Users/bkev.rvd"_s)};
    }
};

} // namespace

class TestPublishedPrices : public QObject {
    Q_OBJECT
private slots:
    // The question about the differing month: No adds only the new months, Yes replaces too (also
    // when the table only corrects a month), Cancel writes nothing.
    void importMergesAfterTheQuestion_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<QByteArray>>("files"); // b95, b98, bdiz, bkev after
        QTest::addColumn<QString>("told");
        QList<QByteArray> replaced = kNewSet;
        replaced[0].replace("591", "595");
        const QString told = u"Az üzemanyagárak frissítve: %1 új ár került a közzétett árak közé, %2 ár cserélődött."_s;
        QTest::newRow("no") << kTable << int(No) << kNewSet << told.arg(4).arg(0);
        QTest::newRow("yes") << kTable << int(Yes) << replaced << told.arg(4).arg(1);
        QTest::newRow("cancel") << kTable << int(Cancel) << kOldSet << QString();
        QTest::newRow("yes, a corrected month alone")
            << QByteArray(kTable.left(kTable.indexOf("2025\t11")) + "2025\t11\t595\t596\t\t\t\tx\n") << int(Yes)
            << QList<QByteArray>{QByteArray(kB95).replace("591", "595"), kEmpty, kBdiz, kEmpty} << told.arg(0).arg(1);
    }
    void importMergesAfterTheQuestion() {
        QFETCH(QByteArray, table);
        QFETCH(int, answer);
        QFETCH(QList<QByteArray>, files);
        QFETCH(QString, told);
        Env env(table);
        env.prompter.answer(MsgButton(answer));
        QCOMPARE(importPublishedPrices(env.state, env.table), answer != Cancel);
        QVERIFY(env.prompter.asked.first().text.contains(u"ezekben a hónapokban:\r\n2025. november\r\n"_s));
        QCOMPARE(env.published(), files);
        QCOMPARE(told.isEmpty() ? told : env.prompter.last(), told);
    }

    // Every refusal leaves every published file as it was.
    void refusalsWriteNothing() {
        const QByteArray table = "year;month;esz95;gazolaj;keverek;lpg;cng;source_url\n2025;12;580;590;630;330;800;x\n";
        // The table's own faults are the reader's (tst_navprices); month 13 stands for them here.
        for (const auto& [more, b95, message] : {std::tuple{QByteArray("2026;13;1;1;1;1;1;x\n"), kB95, u"3. sora hibás: a hónap"_s},
                                                 {QByteArray(), QByteArray("2\r\nx\r\n"), u"b95.rvd"_s}}) {
            Env env(table + more);
            env.write(u"Users/b95.rvd"_s, b95);
            env.loginCar();
            env.write(u"Users/ABC123/benzin.rvd"_s, kEmpty);
            const auto before = env.published();
            QVERIFY(!importPublishedPrices(env.state, env.table));
            QVERIFY2(env.prompter.asked.size() == 1 && env.prompter.last().contains(message), qPrintable(env.prompter.last()));
            QCOMPARE(std::pair(env.published(), env.read(u"Users/ABC123/benzin.rvd"_s)), std::pair(before, kEmpty));
        }
    }

    // The logged-in car may take the new months; what the user typed on other days stays.
    void newMonthsIntoTheCarsPrices() {
        Env env;
        env.loginCar(); // ESZ-95
        env.state.fuelPrices = {{QDate(2025, 11, 1), 500}, {QDate(2025, 11, 20), 510}};
        env.write(u"Users/ABC123/benzin.rvd"_s, serializeFuelPrices(env.state.fuelPrices));
        env.prompter.answer(Yes); // replace the differing month
        env.prompter.answer(Yes); // into the car's prices
        QVERIFY(importPublishedPrices(env.state, env.table) &&
                env.prompter.last().contains(u"Átveszi a(z) 2025. november, 2025. december hónap árát a(z) Teszt"_s));
        const QByteArray car = "3\r\n#2025-11-01#\r\n595\r\n#2025-11-20#\r\n510\r\n#2025-12-01#\r\n580\r\n";
        QCOMPARE(std::pair(env.read(u"Users/ABC123/benzin.rvd"_s), serializeFuelPrices(env.state.fuelPrices)), std::pair(car, car));

        // Declined, or nothing new for the car: the car's prices stay.
        Env no;
        no.loginCar();
        no.write(u"Users/ABC123/benzin.rvd"_s, kEmpty);
        no.prompter.answer(No);
        no.prompter.answer(No);
        QVERIFY(importPublishedPrices(no.state, no.table) && no.read(u"Users/ABC123/benzin.rvd"_s) == kEmpty &&
                no.state.fuelPrices.isEmpty());
    }

    void oneEntryPerDayInDateOrder() {
        QVector<FuelPrice> prices{{QDate(2002, 3, 1), 250}, {QDate(2002, 4, 1), 260}};
        // The last replaces; 0 is a price like any other.
        QVERIFY(storePrice(prices, QDate(2002, 3, 15), 255) && storePrice(prices, QDate(2001, 12, 31), 240) &&
                storePrice(prices, QDate(2002, 3, 1), 0));
        QCOMPARE(serializeFuelPrices(prices), QByteArray("4\r\n#2001-12-31#\r\n240\r\n#2002-03-01#\r\n0\r\n"
                                                         "#2002-03-15#\r\n255\r\n#2002-04-01#\r\n260\r\n"));
        // Only the exact day.
        QCOMPARE(std::pair(priceOn(prices, QDate(2002, 3, 1)), priceOn(prices, QDate(2002, 3, 2))), std::pair(std::optional<qint16>(0), std::optional<qint16>()));
        QVERIFY(removePrice(prices, QDate(2002, 3, 1)) && !removePrice(prices, QDate(2002, 3, 1)));
    }

    void fractionsRoundHalfToEven() {
        for (const auto& [text, price] : {std::pair{u"263.5"_s, 264}, {u"262.5"_s, 262}, {u"262,51"_s, 263}, {u"32767.4"_s, 32767}})
            QCOMPARE(priceFromText(text), std::optional<qint16>(price));
        QCOMPARE(priceFromText(QString()), std::nullopt);
        for (const QString& bad : {u"32767.5"_s, u"-1"_s, u"1e2"_s, u"+5"_s, u"ár"_s})
            QVERIFY2(!priceFromText(bad) && !isPriceText(bad), qPrintable(bad));
        QVERIFY(isPriceText(u"263."_s) && isYearText(u"2002"_s)); // on the way to 263.5
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
        QVERIFY(!resetToPublishedPrices(env.state) && env.read(u"Users/ABC123/benzin.rvd"_s) == own);

        const QByteArray published = "2\r\n#2002-01-01#\r\n210\r\n#2002-02-01#\r\n215\r\n";
        env.write(u"Users/bdiz.rvd"_s, published);
        QVERIFY(resetToPublishedPrices(env.state));
        QCOMPARE(std::pair(env.read(u"Users/ABC123/benzin.rvd"_s), env.state.fuelPrices.size()), std::pair(published, qsizetype(2)));
    }

    // A kill after any write of an import: the next start finds the whole new set. The journal
    // itself not written: the whole old set, and nothing to finish.
    void importIsAllOrNothingAcrossAKill() {
        for (int killAfter = 0; killAfter <= 3; ++killAfter) {
            Env env;
            PublishedImport plan;
            QVERIFY(planPublishedImport(env.state, env.table, plan));
            ImportHooks hooks;
            hooks.stop = [&](int written) { return written == killAfter; };
            QVERIFY(!applyPublishedImport(env.state, plan, false, nullptr, nullptr, hooks) && QFile::exists(importJournalPath(env.state)));
            if (killAfter == 1) // the moment a kill used to leave a mixed set
                QCOMPARE(env.published().mid(2), kOldSet.mid(2));
            QVERIFY(recoverPublishedImport(env.state) && env.published() == kNewSet && !QFile::exists(importJournalPath(env.state)));
        }
        Env env;
        PublishedImport plan;
        QVERIFY(planPublishedImport(env.state, env.table, plan));
        ImportHooks noJournal;
        noJournal.write = [](const QString& dir, const QString& path, const QByteArray& data) {
            return path.endsWith(u".naplo"_s) ? Result::failure(u"betelt a lemez"_s) : saveWholeFile(dir, path, data);
        };
        const Result r = applyPublishedImport(env.state, plan, false, nullptr, nullptr, noJournal);
        QVERIFY(!r && r.message().contains(u"minden fájl maradt a régi"_s) && r.message().contains(u"betelt a lemez"_s));
        QVERIFY(recoverPublishedImport(env.state) && env.published() == kOldSet);
    }

    // The second file meets a full disk (no file may grow past 8 bytes): the first gets its old
    // bytes back and the data directory is as it was, byte for byte. When that restore fails too,
    // the message says so (not "every file stayed"), and the journal lets the next start finish.
    void aFailedWriteRestoresEveryFile() {
        RV_NEEDS_POSIX_FAULTS();
        for (const bool restoreFails : {false, true}) {
            Env env;
            const auto before = filesUnder(env.state.programDir);
            PublishedImport plan;
            QVERIFY(planPublishedImport(env.state, env.table, plan));
            QStringList writes;
            ImportHooks hooks;
            hooks.write = [&](const QString& dir, const QString& path, const QByteArray& data) {
                writes << QFileInfo(path).fileName();
                const bool full = writes.last() == u"bdiz.rvd"_s || (restoreFails && writes.size() > 2);
                return full ? underFileSizeLimit(8, [&] { return saveWholeFile(dir, path, data); })
                            : saveWholeFile(dir, path, data);
            };
            const Result r = applyPublishedImport(env.state, plan, false, nullptr, nullptr, hooks);
            QVERIFY(!r && r.message().contains(u"bdiz.rvd"_s));
            QCOMPARE(writes, (QStringList{u"nav-import.naplo"_s, u"b95.rvd"_s, u"bdiz.rvd"_s, u"b95.rvd"_s}));
            QCOMPARE(std::pair(r.message().contains(u"minden fájl maradt a régi"_s), r.message().contains(u"visszaállítása sem sikerült"_s)),
                     std::pair(!restoreFails, restoreFails));
            if (!restoreFails) {
                QCOMPARE(filesUnder(env.state.programDir), before);
                continue;
            }
            QVERIFY(QFile::exists(importJournalPath(env.state)) && recoverPublishedImport(env.state));
            QCOMPARE(env.read(u"Users/bdiz.rvd"_s), kNewSet[2]);
        }
    }

    // A journal that does not read changed nothing: kept aside and told, the files stay.
    void damagedJournalIsSetAside() {
        Env env;
        env.write(u"Users/nav-import.naplo"_s, "ROVANTA NAV-IMPORT 1\n1\nb95.rvd - 99\n0\r\nVEGE\n");
        const Result r = recoverPublishedImport(env.state);
        QVERIFY(!r && r.message().contains(u"naplója sérült"_s) && !QFile::exists(importJournalPath(env.state)));
        QCOMPARE(env.read(u"Users/b95.rvd"_s), kB95);
    }

    // A car gets the published months it lacks; a month it has keeps the price typed for it.
    void syncAddsOnlyMissingMonths() {
        Env env;
        env.loginCar(); // ESZ-95: published October 593, November 591
        env.write(u"Users/ABC123/benzin.rvd"_s, "1\r\n#2025-10-15#\r\n600\r\n");
        int added = -1;
        QVERIFY(syncCarPrices(env.state, env.state.car(1), &added));
        const QByteArray synced = "2\r\n#2025-10-15#\r\n600\r\n#2025-11-01#\r\n591\r\n";
        QCOMPARE(std::pair(added, env.read(u"Users/ABC123/benzin.rvd"_s)), std::pair(1, synced));
        QVERIFY(syncCarPrices(env.state, env.state.car(1), &added) && added == 0 && env.read(u"Users/ABC123/benzin.rvd"_s) == synced);
    }
};

QTEST_GUILESS_MAIN(TestPublishedPrices)
#include "tst_publishedprices.moc"
