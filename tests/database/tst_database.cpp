#include "database/dataimport.h"
#include "database/distances.h"
#include "database/partners.h"
#include "database/priceedit.h"
#include "database/publishedprices.h"
#include "dbtestutil.h"
#include "editorfixture.h"
#include "logbookfixtures.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storedfiles.h"
#include "writefault.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// Recovery as every caller runs it: under the folder's lock.
rv::Result recoverHoldingTheFolder(rv::AppState& s) {
    rv::DataLock folder(s.programDir, rv::folderLockPath(s.programDir));
    if (folder.tryTake() != rv::DataLock::State::Taken)
        return rv::Result::failure(QStringLiteral("no folder lock"));
    const rv::HeldFolder held(s, folder);
    return rv::recoverPublishedImport(s);
}

// Sets both cells between the other car's partners i and j.
void setOtherCells(TestEnv& env, const QVector<std::tuple<int, int, DistanceCell>>& cells) {
    PartnerDatabase db;
    QVERIFY(parseDatabase(env.read(u"Users/XYZ789/data.rvd"_s), u"x"_s, 1, db));
    for (const auto& [i, j, cell] : cells)
        db.distances.at(i, j) = cell;
    env.write(u"Users/XYZ789/data.rvd"_s, serializeDatabase(db, 1));
}

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

// The partner database, its distances, what is taken over from another car, and the fuel prices.
class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void inputIsCheckedForBlanksAndDuplicates() {
        TestEnv env;
        dbtest::makePartners(env.state, 3); // P2 in Város2 has no address
        const AppState& s = env.state;
        // A modified partner (the last two) may keep its own texts but not take another's; a name the
        // data file cannot hold would come back as "Espa?a Kft.", another partner.
        const Partner spanish{u"España Kft."_s, u"Győr"_s, {}};
        using enum PartnerInputError;
        const std::tuple<Partner, int, PartnerInputError> cases[] = {
            {{u"  "_s, u"X"_s, {}}, 0, NoName}, {{u"Új"_s, u" "_s, {}}, 0, NoCity},
            {{u" P2 "_s, u"Város2 "_s, u"  "_s}, 0, Duplicate}, {{u"P2"_s, u"Város2"_s, u"Más utca 9."_s}, 0, None},
            {{u"P2"_s, u"Város3"_s, {}}, 0, None}, {spanish, 0, Unstorable}, {s.partner(2), 2, None}, {s.partner(1), 2, Duplicate}};
        for (const auto& [partner, index, error] : cases)
            QCOMPARE(checkPartnerInput(s, partner, index), error);
        QVERIFY(partnerInputMessage(PartnerInputError::Unstorable, spanish).startsWith(u"Az „ñ” karakter nem tárolható"_s));
    }

    void newPartnerHasZeroDistancesWithTheDefaultRouteType() {
        TestEnv env;
        env.state.defaultRouteType = 3;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        env.state.distances.at(2, 3) = {77, 5}; // edited on the distance page, not saved: it stays
        // A pasted line break is stored as a space, so the file still reads.
        const Partner p = trimmedPartner(u"Kovács\r\nés Társa "_s, u"Pécs"_s, u"Fő u. 1.\n"_s);
        QVERIFY(p == (Partner{u"Kovács és Társa"_s, u"Pécs"_s, u"Fő u. 1."_s}) && addPartner(env.state, p));
        using Cell = std::pair<qint16, qint16>;
        for (const auto& [i, j] : {std::pair{5, 1}, {5, 5}, {2, 5}})
            QCOMPARE(dbtest::cell(env.state, i, j), Cell(0, 3));
        QCOMPARE(dbtest::cell(env.state, 2, 3), Cell(77, 5));
        const AppState back = storedPartners(env.state);
        QCOMPARE(std::pair(back.partner(5), back.distances.at(3, 4).distance), std::pair(p, dbtest::cellKm(3, 4)));
    }

    void deletingRemovesTheRowAndTheColumn() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 5));
        QVERIFY(!deletePartner(env.state, 1) && !deletePartner(env.state, 6)); // the own base stays
        QVERIFY(deletePartner(env.state, 3));
        const int old[] = {0, 1, 2, 4, 5};
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(env.state.partner(i).name, u"P%1"_s.arg(old[i]));
            for (int j = 1; j <= 4; ++j)
                QCOMPARE(env.state.distances.at(i, j).distance, dbtest::cellKm(old[i], old[j]));
        }
        QCOMPARE(storedPartners(env.state).distances.at(4, 3).distance, dbtest::cellKm(5, 4));
    }

    // 5 between two visits of the base, in the middle (higher ones renumbered), alone, absent,
    // repeated, and 9 on the 31st.
    void deletingPartner5Of9CorrectsTheOpenMonth() {
        MonthLog m;
        const std::tuple<int, QVector<int>, QVector<int>> days[] = {
            {1, {1, 5, 1}, {1, 1}}, {2, {1, 6, 5, 9, 1}, {1, 5, 8, 1}}, {3, {5}, {}},
            {4, {1, 4, 3, 1}, {1, 4, 3, 1}}, {5, {5, 5, 7, 5, 8}, {6, 7}}, {31, {9}, {8}}};
        for (const auto& [day, before, after] : days)
            setDay(m, day, before);
        QVERIFY(removePartnerFromStops(m, 5) && m.modified);
        for (const auto& [day, before, after] : days)
            QCOMPARE(stopsOfDay(m, day), after);
        m.modified = false;
        QVERIFY(!removePartnerFromStops(m, 9) && !m.modified); // no stop of partner 9 is left
    }

    // A save that fails leaves memory as the disk holds it, for every change of the database and
    // the imports; unsaved distance edits from before stay.
    void failedSaveLeavesMemoryAsItWas_data() {
        QTest::addColumn<int>("op");
        const char* names[] = {"add", "modify", "delete", "delete all", "import partners", "import prices"};
        for (int op = 0; op < 6; ++op)
            QTest::newRow(names[op]) << op;
    }
    void failedSaveLeavesMemoryAsItWas() {
        QFETCH(int, op);
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 3));
        env.state.distances.at(2, 3) = {77, 0}; // an edit not saved, with no route type yet
        env.state.fuelPrices = {{QDate(2002, 1, 1), 230}};
        dbtest::addOtherCar(env, {Partner{u"Idegen"_s, u"Eger"_s, {}}}, "1\r\n#2002-02-01#\r\n240\r\n");
        const AppState before = env.state;
        // Neither file can be replaced: a directory stands in each one's place.
        for (const QString& f : {u"data.rvd"_s, u"benzin.rvd"_s}) {
            QFile::remove(env.path(u"Users/ABC123/"_s + f));
            QDir().mkpath(env.path(u"Users/ABC123/"_s + f));
        }
        Result r = Result::success();
        switch (op) {
        case 0: r = addPartner(env.state, Partner{u"Új"_s, u"Eger"_s, {}}); break;
        case 1: r = modifyPartner(env.state, 2, Partner{u"Más"_s, u"Eger"_s, {}}); break;
        case 2: r = deletePartner(env.state, 2); break;
        case 3: r = deleteAllPartners(env.state); break;
        case 4: importPartners(env.state, 2, {}); break;
        case 5: importFuelPrices(env.state, 2); break;
        }
        QVERIFY(op < 4 ? !r : env.prompter.last().startsWith(u"A mentés nem sikerült."_s));
        QCOMPARE((std::tuple{env.state.partners, env.state.fuelPrices.size(), env.state.distances.size()}),
                 (std::tuple{before.partners, qsizetype(1), 3}));
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j)
                QCOMPARE(dbtest::cell(env.state, i, j), dbtest::cell(before, i, j));
    }

    void deleteAllKeepsTheOwnBase() {
        TestEnv env;
        env.loginCar();
        env.state.defaultRouteType = 2;
        dbtest::makePartners(env.state, 4);
        const QString before = partnerCountText(env.state);
        QVERIFY(deleteAllPartners(env.state));
        QCOMPARE(std::pair(before, partnerCountText(env.state)), std::pair(u"3 partner az adatbázisban"_s, u"0 partner az adatbázisban"_s));
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s),
                 QByteArray("1\r\n\"P1\"\r\n\"V\xe1ros" "1\"\r\n\"Utca 1.\"\r\n0,2\r\n"));
    }

    void bothDirectionsAreWrittenTogether() {
        TestEnv env;
        dbtest::makePartners(env.state, 6);
        QVERIFY(setDistance(env.state, 2, 5, 12));
        QVERIFY(setRouteType(env.state, 5, 2, 5)); // "Földút", from the other direction
        using Cell = std::pair<qint16, qint16>;
        QCOMPARE((std::tuple{dbtest::cell(env.state, 2, 5), dbtest::cell(env.state, 5, 2), dbtest::cell(env.state, 2, 4)}),
                 (std::tuple{Cell(12, 5), Cell(12, 5), Cell(dbtest::cellKm(2, 4), 1)}));
        // The diagonal, partners that do not exist and route types outside 1..6 are never written.
        for (const auto& [i, j] : {std::pair{2, 2}, {0, 2}, {2, 7}})
            QVERIFY(!setDistance(env.state, i, j, 9));
        QVERIFY(!setRouteType(env.state, 1, 2, 0) && !setRouteType(env.state, 1, 2, 7) && env.state.distances.at(2, 2).distance == 0);
    }

    void theGridShowsEveryPairAndWritesBothDirections() {
        TestEnv env;
        dbtest::makePartners(env.state, 3);
        env.state.distances.at(1, 3).distance = 0; // entered one way only: still missing that way
        DistanceGridModel grid(env.state);
        QSignalSpy edited(&grid, &DistanceGridModel::edited);
        QCOMPARE((std::tuple{grid.rowCount(), grid.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                             grid.headerData(1, Qt::Vertical, Qt::ToolTipRole).toString()}),
                 (std::tuple{3, u"P2"_s, u"P2 - Város2"_s}));
        // A long name in the heads: broken between words, a word longer than a line where the
        // line ends, and what does not fit in the lines given cut with "…".
        QCOMPARE((std::tuple{headingLines(u"Kovács és  Társa Kft."_s, 14, 3), headingLines(u"Építőanyag-kereskedelmi Bt."_s, 14, 3),
                             headingLines(u"Alfa Béta Gamma Delta Epszilon"_s, 10, 2), headingLines(u"Kovács és Társa"_s, 9, 3)}),
                 (std::tuple{u"Kovács és\nTársa Kft."_s, u"Építőanyag-ker\neskedelmi Bt."_s, u"Alfa Béta\nGamma…"_s,
                             u"Kovács és\nTársa"_s})); // a line as long as the width is full, not over
        // (2, 1) is 201 km of route type 4 ("Egyéb város"); (1, 3) has no distance.
        QCOMPARE(std::pair(grid.cellOf(2, 1).data().toString(), grid.cellOf(1, 3).data().toString()),
                 std::pair(u"201 km\nEgyéb város"_s, u"–\nFöldút"_s));
        QVERIFY(grid.cellOf(1, 3).data(DistanceGridModel::MissingRole).toBool() &&
                !grid.cellOf(3, 1).data(DistanceGridModel::MissingRole).toBool());
        QVERIFY(!(grid.flags(grid.cellOf(2, 2)) & Qt::ItemIsEditable) && !grid.setData(grid.cellOf(2, 2), u"5"_s, Qt::EditRole));

        QVERIFY(grid.setData(grid.cellOf(1, 3), u" 42 "_s, Qt::EditRole) && grid.setData(grid.cellOf(3, 1), 6, DistanceGridModel::RouteTypeRole));
        QCOMPARE((std::tuple{dbtest::cell(env.state, 1, 3), dbtest::cell(env.state, 3, 1), edited.size()}),
                 (std::tuple{std::pair<qint16, qint16>(42, 6), std::pair<qint16, qint16>(42, 6), qsizetype(2)}));
        QVERIFY(grid.setData(grid.cellOf(3, 1), u"42"_s, Qt::EditRole) && edited.size() == 2); // the same value: no edit
        QVERIFY(!grid.setData(grid.cellOf(1, 2), u"32768"_s, Qt::EditRole)); // the box's own check
        QVERIFY(!grid.setData(grid.cellOf(1, 2), 7, DistanceGridModel::RouteTypeRole) && env.state.distances.at(1, 2).distance == 102);
        QVERIFY(grid.setData(grid.cellOf(1, 2), u""_s, Qt::EditRole) && grid.cellOf(2, 1).data(DistanceGridModel::MissingRole).toBool()); // blank is 0: missing
    }

    void theBoxTakesWholeKilometres() {
        // A cleared box stores 0.
        for (const auto& [text, km] : {std::pair{u"  "_s, 0}, {u"007"_s, 7}, {u"32767"_s, 32767}})
            QCOMPARE(distanceFromText(text), std::optional<qint16>(km));
        for (const QString& bad : {u"32768"_s, u"-1"_s, u"1.5"_s, u"1e3"_s, u"x"_s})
            QVERIFY2(!distanceFromText(bad), qPrintable(bad));
    }

    // Revert reads the file back, also from a read-only disk; a file that does not read changes nothing.
    void revertRestoresTheFileButKeepsWhatWasSaved() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        setDistance(env.state, 1, 2, 11);
        QVERIFY(SaveDatabase(env.state)); // saved with cmdMentes
        setDistance(env.state, 3, 4, 999);
        setRouteType(env.state, 1, 3, 6);
        setDistance(env.state, 1, 2, 22);
        QVERIFY(revertDistances(env.state));
        QCOMPARE((std::tuple{env.state.distances.at(2, 1).distance, env.state.distances.at(4, 3).distance,
                             env.state.distances.at(1, 3).routeType}),
                 (std::tuple{qint16(11), dbtest::cellKm(4, 3), qint16((1 + 3) % 6 + 1)}));

        const QString dir = env.state.carPath(QString());
        const auto permissions = QFile::permissions(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        setDistance(env.state, 1, 2, 5);
        const bool reverted = bool(revertDistances(env.state));
        QFile::setPermissions(dir, permissions);
        QVERIFY(reverted && env.state.distances.at(1, 2).distance == 11);

        env.write(u"Users/ABC123/data.rvd"_s, "3\r\n\"a\"\r\n");
        setDistance(env.state, 1, 2, 5);
        QVERIFY(!revertDistances(env.state) && env.state.distances.at(1, 2).distance == 5);
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s), QByteArray("3\r\n\"a\"\r\n"));
    }

    // ---- taken over from another car

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
        // The two LPG kinds burn one gas: nothing to ask.
        TestEnv env;
        env.loginCar();
        dbtest::addOtherCar(env, {}, "1\r\n#2002-02-01#\r\n380\r\n");
        env.state.car(1).fuelType = 5;
        env.state.car(2).fuelType = 6;
        QVERIFY(importFuelPrices(env.state, 2));
        QVERIFY2(!env.prompter.texts().join(u'|').contains(u"Kívánja mégis"_s), qPrintable(env.prompter.texts().join(u'|')));
    }

    // ---- fuel prices

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
        QTest::newRow("no") << kTable << int(No) << kNewSet << told.arg(8).arg(0);
        QTest::newRow("yes") << kTable << int(Yes) << replaced << told.arg(8).arg(1);
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

    // A NAV car takes the months it lacks at once and may take a replaced month; what the user
    // typed on other days stays. An own-price car is never asked about NAV's prices.
    void newMonthsIntoTheCarsPrices() {
        Env env;
        env.loginCar(); // ESZ-95
        env.write(u"Users/ABC123/gepkocsi.rvd"_s, "\"RVA\",3\r\n1,0\r\n1\r\n");
        env.state.fuelPrices = {{QDate(2025, 11, 1), 500}, {QDate(2025, 11, 20), 510}};
        env.write(u"Users/ABC123/benzin.rvd"_s, serializeFuelPrices(env.state.fuelPrices));
        env.prompter.answer(Yes); // replace the differing month
        env.prompter.answer(Yes); // into the car's prices
        QVERIFY(importPublishedPrices(env.state, env.table) &&
                env.prompter.last().contains(u"Átveszi a(z) 2025. november, 2025. december hónap árát a(z) Teszt"_s));
        // October carried in as the car lacked it, December too; November replaced on the 1st only.
        const QByteArray car = "4\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n595\r\n#2025-11-20#\r\n510\r\n"
                               "#2025-12-01#\r\n580\r\n";
        QCOMPARE(std::pair(env.read(u"Users/ABC123/benzin.rvd"_s), serializeFuelPrices(env.state.fuelPrices)), std::pair(car, car));

        Env own;
        own.loginCar();
        own.write(u"Users/ABC123/gepkocsi.rvd"_s, "\"RVA\",3\r\n1,0\r\n2\r\n");
        own.write(u"Users/ABC123/benzin.rvd"_s, kEmpty);
        own.prompter.answer(No); // keep the differing month
        QVERIFY(importPublishedPrices(own.state, own.table) && own.read(u"Users/ABC123/benzin.rvd"_s) == kEmpty &&
                own.state.fuelPrices.isEmpty() && !own.prompter.last().contains(u"Átveszi"_s));
    }

    // Gas cars on NAV prices take the months of their own gas's list, the logged-in CNG car and
    // another on LPG alike.
    void gasCarsTakeTheirGasList() {
        Env env;
        env.write(u"Users/blpg.rvd"_s, "1\r\n#2025-10-01#\r\n330\r\n");
        env.write(u"Users/bcng.rvd"_s, "1\r\n#2025-10-01#\r\n790\r\n");
        env.loginCar(u"CNG1"_s);
        env.loginCar(u"LPG1"_s);
        env.state.car(1).fuelType = 7;
        env.state.car(2).fuelType = 5;
        env.write(u"Users/CNG1/gepkocsi.rvd"_s, "\"RVA\",4\r\n2,2500\r\n1\r\n7\r\n");
        env.write(u"Users/LPG1/gepkocsi.rvd"_s, "\"RVA\",4\r\n2,1400\r\n1\r\n5\r\n");
        for (const QString& car : {u"CNG1"_s, u"LPG1"_s})
            env.write(u"Users/"_s + car + u"/benzin.rvd"_s, kEmpty);
        env.state.currentCar = 1;
        env.state.carDir = carDirOf(env.state.car(1));
        env.prompter.answer(Yes);
        QVERIFY(importPublishedPrices(env.state, env.table));
        QCOMPARE((std::pair(env.read(u"Users/CNG1/benzin.rvd"_s), env.read(u"Users/LPG1/benzin.rvd"_s))),
                 (std::pair(QByteArray("3\r\n#2025-10-01#\r\n790\r\n#2025-11-01#\r\n810\r\n#2025-12-01#\r\n800\r\n"),
                            QByteArray("3\r\n#2025-10-01#\r\n330\r\n#2025-11-01#\r\n331\r\n#2025-12-01#\r\n330\r\n"))));
        QCOMPARE(env.state.fuelPrices.size(), 3);
    }

    void pricesOneADayInDateOrderAsTyped() {
        QVector<FuelPrice> prices{{QDate(2002, 3, 1), 250}, {QDate(2002, 4, 1), 260}};
        // The last replaces; 0 is a price like any other.
        QVERIFY(storePrice(prices, QDate(2002, 3, 15), 255) && storePrice(prices, QDate(2001, 12, 31), 240) &&
                storePrice(prices, QDate(2002, 3, 1), 0));
        QCOMPARE(serializeFuelPrices(prices), QByteArray("4\r\n#2001-12-31#\r\n240\r\n#2002-03-01#\r\n0\r\n"
                                                         "#2002-03-15#\r\n255\r\n#2002-04-01#\r\n260\r\n"));
        // Only the exact day.
        QCOMPARE(std::pair(priceOn(prices, QDate(2002, 3, 1)), priceOn(prices, QDate(2002, 3, 2))), std::pair(std::optional<qint16>(0), std::optional<qint16>()));
        QVERIFY(removePrice(prices, QDate(2002, 3, 1)) && !removePrice(prices, QDate(2002, 3, 1)));
        // Typed prices: fractions round half to even.
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
            QVERIFY(recoverHoldingTheFolder(env.state) && env.published() == kNewSet && !QFile::exists(importJournalPath(env.state)));
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
        QVERIFY(recoverHoldingTheFolder(env.state) && env.published() == kOldSet);

        // Every byte of a journal is accounted for: a whole one is finished where a file still holds
        // its old bytes (here b95.rvd was made since, so it stays); one that promises more than it
        // holds, or holds a byte more, changed nothing: kept aside and told, the files stay.
        const QByteArray whole = "ROVANTA NAV-IMPORT 1\n1\nb95.rvd - 3\n0\r\nVEGE\n";
        for (const QByteArray& journal : {whole, QByteArray(whole).replace(" 3\n", " 99\n"), QByteArray(whole).insert(whole.size() - 5, 'x')}) {
            Env damaged;
            damaged.write(u"Users/nav-import.naplo"_s, journal);
            const Result told = recoverHoldingTheFolder(damaged.state);
            QVERIFY2(bool(told) == (journal == whole) && (told || told.message().contains(u"naplója sérült"_s)), journal.constData());
            QVERIFY(!QFile::exists(importJournalPath(damaged.state)));
            QCOMPARE(damaged.read(u"Users/b95.rvd"_s), kB95);
        }
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
            // What each file holds, read back: never "every file stayed old" over a new one.
            QVERIFY2(r.message().contains(u"b95.rvd: az új árak\r\nbdiz.rvd: a régi árak\r\nbkev.rvd: a régi árak"_s),
                     qPrintable(r.message()));
            QVERIFY(QFile::exists(importJournalPath(env.state)) && recoverHoldingTheFolder(env.state));
            QCOMPARE(env.read(u"Users/bdiz.rvd"_s), kNewSet[2]);
        }
    }

    // A car gets the published months it lacks; a month it has keeps the price typed for it.
    void syncAddsOnlyMissingMonths() {
        Env env;
        env.loginCar(); // ESZ-95: published October 593, November 591
        env.write(u"Users/ABC123/benzin.rvd"_s, "1\r\n#2025-10-15#\r\n600\r\n");
        int added = -1;
        QVERIFY(syncCarPrices(env.state, env.state.carGate(), env.state.car(1), &added));
        const QByteArray synced = "2\r\n#2025-10-15#\r\n600\r\n#2025-11-01#\r\n591\r\n";
        QCOMPARE(std::pair(added, env.read(u"Users/ABC123/benzin.rvd"_s)), std::pair(1, synced));
        QVERIFY(syncCarPrices(env.state, env.state.carGate(), env.state.car(1), &added) && added == 0 && env.read(u"Users/ABC123/benzin.rvd"_s) == synced);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
