#include "clifixture.h"
#include "model/placematch.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QString tripFile(const QString& name) { return QStringLiteral(ROVANTA_TEST_DATA "/trips/") + name; }

// April 2024 of the first car from tests/data/trips/2024-aprilis.csv: eleven trips, the
// odometer from 12525 (March's closing once its 2 -> 3 leg has the learned 52 km) to 13242. A customer in Szeged the database lacks,
// written two ways ("sgt." and "sugárút"), is one place; its two trips (339 km) and the
// shopping trip are private. Days 2 (1-2-1, 31 + 32 km), 3 (1-3-4-1, 41 + 73 + 54) and 8 (1-2-3-1,
// 31 + 52 + 43; 2 -> 3 was empty and takes the single recorded 52,4): 357 km of business,
// 13242 - 12525 - 357 = 360 km private. Alfa's three trips say 35 km (median of 35,2, 34,8
// and 35,0) against the table's 31, more than 10 %: kept unless --learn-distances.
const QString kCar = u"ABC-123"_s;

} // namespace

class TestCliTrips : public QObject {
    Q_OBJECT

private slots:
    void unmatchedPlacesWriteNothing() {
        CliFixture f;
        const auto before = f.snapshot();
        const auto r = f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s)});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains(u"Ismeretlen helyek (1):\n  Szeged, Kossuth Lajos sgt. 9. – 2 út, először 2024.04.05."_s),
                 qPrintable(r.out));
        QVERIFY(r.err.contains(u"--private-unmatched"_s));
        QCOMPARE(f.snapshot(), before);

        // A track's three stops are three places until the user names them.
        const auto track = f.run({u"trips"_s, kCar, tripFile(u"harom-megallo.gpx"_s)});
        QCOMPARE(track.code, 1);
        QVERIFY2(track.out.contains(u"Ismeretlen helyek (3):"_s), qPrintable(track.out));
        QCOMPARE(f.snapshot(), before);
    }

    // The month written from the report is byte for byte the one typed by hand.
    void monthWrittenAsTypedByHand() {
        CliFixture f;
        const auto before = f.snapshot();
        const QStringList args{u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--private-unmatched"_s};
        const auto dry = f.run(args + QStringList{u"--dry-run"_s});
        QCOMPARE(dry.code, 0);
        QCOMPARE(f.snapshot(), before);
        QVERIFY2(dry.out.contains(u"2024.04.03. szerda: Saját cég – Béta; Zrt. – Gamma Kft. – Saját cég, 168 km "
                                  u"(Szerződés; Visszaút)"_s),
                 qPrintable(dry.out));
        QVERIFY2(dry.out.contains(u"Eltérő távolság (a táblázaté marad): Saját cég – Alfa Bt.: a táblázatban 31 km, "
                                  u"a rögzített utak mediánja 35 km (3 út)"_s),
                 qPrintable(dry.out));
        // March's 2 -> 3 leg of 0 km takes the learned 52 km: its km (473) changes, and is told.
        QVERIFY2(dry.out.contains(u"Figyelem: A tanult távolságokkal a(z) 2024. március hónap km-e 473 helyett 525 km "
                                  u"(2024mar.rvn)."_s),
                 qPrintable(dry.out));
        QVERIFY2(!dry.out.contains(u"nem egyezik"_s), qPrintable(dry.out)); // follows on from March as it now reads
        QVERIFY2(dry.out.contains(u"2024-04: üzleti 357 km, magán 360 km, kezdő km-óra állás: 12525, záró: 13242"_s),
                 qPrintable(dry.out));

        const auto r = f.run(args);
        QCOMPARE(r.code, 0);
        QCOMPARE(f.read(CliFixture::car1(u"2024apr.rvn"_s)), testData(u"trips/2024apr.rvn"_s));
        QCOMPARE(f.read(CliFixture::car1(u"honapok.rvd"_s)), testData(u"trips/honapok.rvd"_s));
        QVERIFY(f.load());
        QCOMPARE(std::tuple(f.state.distances.at(2, 3).distance, f.state.distances.at(3, 2).distance,
                            f.state.distances.at(1, 2).distance),
                 std::tuple(qint16(52), qint16(53), qint16(31)));
        QVector<KnownPlace> places;
        QVERIFY(readPlaces(f.state.programDir, f.state.carPath(QString()), places));
        QCOMPARE(places.size(), 1);
        QVERIFY(places[0].isPrivate && places[0].text == u"szeged kossuth lajos sugarut 9"_s);

        // Again: the place is known now, the month is there and is merged only when asked.
        const auto again = f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--learn-distances"_s});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains(u"--merge"_s), qPrintable(again.err));
        QVERIFY(!again.out.contains(u"Ismeretlen"_s));
        const auto merged =
            f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--learn-distances"_s, u"--merge"_s});
        QCOMPARE(merged.code, 0);
        QVERIFY(f.load(u"2024apr.rvn"_s));
        QCOMPARE(f.state.distances.at(2, 1).distance, 35);
        QCOMPARE(f.state.month.monthKm, 357 + 4 + 3 + 4); // 31 and 32 -> 35 on day 2, 31 -> 35 on day 8
    }

    // The demo's April: the app's report knows every partner but a new customer, listed once for
    // its two trips; the shop is a private trip's and is not asked about. The tracker's day stops at
    // the seat, in Cegléd and in Nagykőrös: three places to name.
    void demoExports() {
        CliFixture f;
        const QString demo = f.dir.filePath(u"bemutato"_s);
        QCOMPARE(f.run({u"demo"_s, demo}, false).code, 0);
        const QStringList base{u"--data-dir"_s, demo, u"trips"_s, u"RVN-482"_s};
        const auto report = f.run(base + QStringList{demo + u"/Minta-utak/utjelentes.csv"_s}, false);
        QCOMPARE(report.code, 1);
        QVERIFY2(report.out.contains(u"Ismeretlen helyek (1):\n  Kecskemét, Szent István krt. 2. – 2 út"_s), qPrintable(report.out));
        const auto written = f.run(base + QStringList{demo + u"/Minta-utak/utjelentes.csv"_s, u"--private-unmatched"_s}, false);
        QCOMPARE(written.code, 0);
        QVERIFY2(!written.out.contains(u"Eltérő távolság"_s) && !written.out.contains(u"Megjegyzés"_s), qPrintable(written.out));
        // Days 2, 3, 7, 9 and 10; the 8th has only the shop.
        static const QRegularExpression day(u"^\\d{4}\\.04\\.\\d\\d\\. "_s, QRegularExpression::MultilineOption);
        QCOMPARE(written.out.count(day), 5);
        const auto track = f.run(base + QStringList{demo + u"/Minta-utak/nyomvonal.gpx"_s, u"--dry-run"_s}, false);
        QCOMPARE(track.code, 1);
        QVERIFY2(track.out.contains(u"Ismeretlen helyek (3):"_s), qPrintable(track.out));
    }

    void refusals() {
        CliFixture f;
        const auto before = f.snapshot();
        QCOMPARE(f.run({u"trips"_s, kCar}).code, 2);
        QCOMPARE(f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--month"_s, u"2024-13"_s}).code, 1);
        const auto otherMonth = f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--month"_s, u"2024-05"_s});
        QCOMPARE(otherMonth.code, 1);
        QVERIFY2(otherMonth.err.contains(u"nincs út 2024. május"_s), qPrintable(otherMonth.err));
        const auto unknownMap = f.run({u"trips"_s, kCar, tripFile(u"2024-aprilis.csv"_s), u"--map"_s, u"Nincs ilyen"_s});
        QCOMPARE(unknownMap.code, 1);
        QCOMPARE(f.run({u"trips"_s, u"Nincs-ilyen-autó"_s, tripFile(u"2024-aprilis.csv"_s)}).code, 1);
        QCOMPARE(f.run({u"trips"_s, kCar, tripFile(u"nincs-ilyen.csv"_s)}).code, 1);
        QCOMPARE(f.snapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestCliTrips)
#include "tst_cli_trips.moc"
