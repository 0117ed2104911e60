#include "database/distances.h"
#include "dbtestutil.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestDistances : public QObject {
    Q_OBJECT
private slots:
    void bothDirectionsAreWrittenTogether() {
        TestEnv env;
        dbtest::makePartners(env.state, 6);
        QVERIFY(setDistance(env.state, 2, 5, 12));
        QCOMPARE(env.state.distances.at(5, 2).distance, qint16(12));
        QVERIFY(setRouteType(env.state, 5, 2, 5)); // "Földút", from the other direction
        QCOMPARE(env.state.distances.at(2, 5).routeType, qint16(5));
        QCOMPARE(env.state.distances.at(5, 2).routeType, qint16(5));
        QCOMPARE(env.state.distances.at(2, 4).distance, dbtest::cellKm(2, 4));
        // The diagonal and partners that do not exist are never edited.
        QVERIFY(!setDistance(env.state, 2, 2, 9));
        QVERIFY(!setDistance(env.state, 0, 2, 9));
        QVERIFY(!setDistance(env.state, 2, 7, 9));
        QVERIFY(!setRouteType(env.state, 1, 2, 0));
        QVERIFY(!setRouteType(env.state, 1, 2, 7));
        QCOMPARE(env.state.distances.at(2, 2).distance, qint16(0));
    }

    void theGridShowsEveryPairAndWritesBothDirections() {
        TestEnv env;
        dbtest::makePartners(env.state, 3);
        env.state.distances.at(1, 3).distance = 0; // entered one way only: still missing that way
        DistanceGridModel grid(env.state);
        QSignalSpy edited(&grid, &DistanceGridModel::edited);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), u"P2"_s);
        QCOMPARE(grid.headerData(1, Qt::Vertical, Qt::ToolTipRole).toString(), u"P2 - Város2"_s);
        // (2, 1) is 201 km of route type 4 ("Egyéb város"); (1, 3) has no distance.
        QCOMPARE(grid.cellOf(2, 1).data().toString(), u"201 km\nEgyéb város"_s);
        QCOMPARE(grid.cellOf(1, 3).data().toString(), u"–\nFöldút"_s);
        QVERIFY(grid.cellOf(1, 3).data(DistanceGridModel::MissingRole).toBool());
        QVERIFY(!grid.cellOf(3, 1).data(DistanceGridModel::MissingRole).toBool());
        QVERIFY(!(grid.flags(grid.cellOf(2, 2)) & Qt::ItemIsEditable));
        QVERIFY(!grid.setData(grid.cellOf(2, 2), u"5"_s, Qt::EditRole));

        QVERIFY(grid.setData(grid.cellOf(1, 3), u" 42 "_s, Qt::EditRole));
        QVERIFY(grid.setData(grid.cellOf(3, 1), 6, DistanceGridModel::RouteTypeRole));
        for (auto [from, to] : {std::pair{1, 3}, {3, 1}}) {
            QCOMPARE(env.state.distances.at(from, to).distance, qint16(42));
            QCOMPARE(env.state.distances.at(from, to).routeType, qint16(6));
        }
        QCOMPARE(edited.size(), 2);
        QVERIFY(grid.setData(grid.cellOf(3, 1), u"42"_s, Qt::EditRole)); // the same value: no edit
        QCOMPARE(edited.size(), 2);
        for (const QVariant& bad : {QVariant(u"-1"_s), QVariant(u"32768"_s), QVariant(u"4,5"_s)})
            QVERIFY(!grid.setData(grid.cellOf(1, 2), bad, Qt::EditRole));
        QVERIFY(!grid.setData(grid.cellOf(1, 2), 7, DistanceGridModel::RouteTypeRole));
        QCOMPARE(env.state.distances.at(1, 2).distance, qint16(102));
        QCOMPARE(grid.setData(grid.cellOf(1, 2), u""_s, Qt::EditRole), true); // blank is 0: missing again
        QVERIFY(isMissingPair(env.state, 2, 1));
    }

    void theBoxTakesWholeKilometres() {
        QCOMPARE(distanceFromText(u"  "_s), std::optional<qint16>(0)); // a cleared box stores 0
        QCOMPARE(distanceFromText(u"007"_s), std::optional<qint16>(7));
        QCOMPARE(distanceFromText(u"32767"_s), std::optional<qint16>(32767));
        for (const QString& bad : {u"32768"_s, u"-1"_s, u"1.5"_s, u"1e3"_s, u"x"_s})
            QVERIFY2(!distanceFromText(bad), qPrintable(bad));
    }

    void revertRestoresTheFileButKeepsWhatWasSaved() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 4));
        setDistance(env.state, 1, 2, 11);
        QVERIFY(SaveDatabase(env.state)); // saved with cmdMentes
        setDistance(env.state, 3, 4, 999);
        setRouteType(env.state, 1, 3, 6);
        setDistance(env.state, 1, 2, 22);
        QVERIFY(revertDistances(env.state));
        QCOMPARE(env.state.distances.at(2, 1).distance, qint16(11));
        QCOMPARE(env.state.distances.at(4, 3).distance, dbtest::cellKm(4, 3));
        QCOMPARE(env.state.distances.at(1, 3).routeType, qint16((1 + 3) % 6 + 1));
    }

    void revertOfAnUnreadableFileChangesNothing() {
        TestEnv env;
        env.loginCar();
        dbtest::makePartners(env.state, 3);
        env.write(u"Users/ABC123/data.rvd"_s, "3\r\n\"a\"\r\n");
        setDistance(env.state, 1, 2, 5);
        QVERIFY(!revertDistances(env.state));
        QCOMPARE(env.state.distances.at(1, 2).distance, qint16(5));
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s), QByteArray("3\r\n\"a\"\r\n"));
    }

    void revertOnAReadOnlyDiskStillThrowsTheEditsAway() {
        TestEnv env;
        QVERIFY(dbtest::loginWithSavedPartners(env, 3));
        const QString dir = env.state.carPath(QString());
        const auto permissions = QFile::permissions(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFile probe(dir + u"probe"_s); probe.open(QIODevice::WriteOnly)) {
            QFile::setPermissions(dir, permissions);
            QSKIP("this user writes into a read-only directory (root)");
        }
        setDistance(env.state, 1, 2, 5);
        const bool reverted = bool(revertDistances(env.state));
        QFile::setPermissions(dir, permissions);
        QVERIFY(reverted);
        QCOMPARE(env.state.distances.at(1, 2).distance, dbtest::cellKm(1, 2));
    }
};

QTEST_GUILESS_MAIN(TestDistances)
#include "tst_distances.moc"
