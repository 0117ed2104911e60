#include "model/learneddistances.h"
#include "model/placematch.h"
#include "model/tripgpx.h"
#include "model/triprecords.h"
#include "months/tripimport.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// The fields of a trip a test pins, in one comparable line.
QString describe(const RecordedTrip& t) {
    const QString odometer = t.startOdometer || t.endOdometer
                                 ? u"%1-%2"_s.arg(t.startOdometer.value_or(-1)).arg(t.endOdometer.value_or(-1))
                                 : u"-"_s;
    return u"%1 %2-%3 | %4 | %5 | %6 | %7 | %8 | %9"_s.arg(t.date.toString(u"yyyy.MM.dd"_s), t.start.toString(u"HH:mm"_s),
                                                             t.end.toString(u"HH:mm"_s), t.from, t.to)
        .arg(t.km, 0, 'f', 1)
        .arg(odometer)
        .arg(t.kind == TripKind::Business ? u"üzleti"_s : u"magán"_s)
        .arg(t.purpose);
}

QStringList describeAll(const QVector<RecordedTrip>& trips) {
    QStringList out;
    for (const RecordedTrip& t : trips)
        out << describe(t);
    return out;
}

TripReport readReport(const QString& file, CsvLayout* layoutOut = nullptr) {
    const QByteArray data = testData(u"trips/"_s + file);
    const CsvLayout layout = detectCsvLayout(data);
    if (layoutOut)
        *layoutOut = layout;
    TripReport report;
    const Result r = parseTripReport(data, layout, report);
    if (!r)
        qWarning("%s", qPrintable(r.message()));
    return report;
}

Partner P(const QString& name, const QString& city, const QString& address) { return Partner{name, city, address}; }

} // namespace

class TestTripImport : public QObject {
    Q_OBJECT

private slots:
    // UTF-8 with its byte order mark, semicolons, "2026.11.03." dates, decimal commas (one quoted),
    // Hungarian headings, odometer readings, a blank row.
    void reportWithHungarianHeadings() {
        CsvLayout layout;
        const TripReport report = readReport(u"utf8-bom-pontosvesszo.csv"_s, &layout);
        QCOMPARE(layout.separator, QChar(u';'));
        QCOMPARE(std::tuple(layout.encoding, layout.decimal, layout.header),
                 std::tuple(TextEncoding::Utf8, DecimalMark::Comma, true));
        QCOMPARE(report.problems, QStringList());
        QCOMPARE(describeAll(report.trips),
                 QStringList({u"2026.11.03 08:00-08:40 | 1138 Budapest, Váci út 12. | Győr, Fő u. 5/B | 121.4 | 45200-45321 | "
                              u"üzleti | Szerződés aláírása"_s,
                              u"2026.11.03 14:10-15:55 | Győr, Fő utca 5/b | Budapest XIII. ker. Váci út 12-14. | 120.6 | "
                              u"45321-45442 | üzleti | "_s,
                              u"2026.11.04 18:00-18:20 | Budapest, Váci út 12. | Budapest, Petőfi Sándor u. 3. | 10.2 | "
                              u"45442-45452 | magán | Bevásárlás"_s}));
        QCOMPARE(report.trips[2].line, 5); // the blank row counts as a line
    }

    // UTF-8 without a mark, commas between fields (so decimal points), ISO dates, a date with its
    // time and no start column, quotes holding commas and doubled quotes, and a day that does not
    // exist, told by its line and left out.
    void reportWithCommasAndIsoDates() {
        CsvLayout layout;
        const TripReport report = readReport(u"utf8-vesszo-iso.csv"_s, &layout);
        QCOMPARE(std::tuple(layout.separator, layout.decimal), std::tuple(QChar(u','), DecimalMark::Point));
        QCOMPARE(describeAll(report.trips),
                 QStringList({u"2026.11.05 07:30-08:10 | Budapest, Váci út 12. | Kecskemét, Rákóczi út 1. | 86.4 | - | "
                              u"üzleti | Audit, \"első\" rész"_s,
                              u"2026.11.05 16:00-17:05 | Kecskemét, Rákóczi út 1. | Budapest, Váci út 12. | 87.6 | - | "
                              u"üzleti | "_s}));
        QCOMPARE(report.problems, QStringList{u"4. sor: a dátum („2026-11-31”) nem olvasható"_s});
    }

    // Windows-1250 bytes, tabs, no heading row: the columns are told by their values; dates with
    // spaces and the day-first form; "1 012,5" with a thousands space.
    void reportInWindows1250WithoutHeadings() {
        CsvLayout layout;
        const TripReport report = readReport(u"win1250-tab-fejlec-nelkul.csv"_s, &layout);
        QCOMPARE(std::tuple(layout.separator, layout.encoding, layout.header),
                 std::tuple(QChar(u'\t'), TextEncoding::Windows1250, false));
        QCOMPARE(report.problems, QStringList());
        QCOMPARE(describeAll(report.trips),
                 QStringList({u"2026.11.06 09:00-09:45 | Székesfehérvár, Ősz u. 2. | Budapest, Váci út 12. | 65.0 | - | üzleti | "_s,
                              u"2026.11.06 07:50-08:40 | Budapest, Váci út 12. | Székesfehérvár, Ősz u. 2. | 64.5 | - | üzleti | "_s,
                              u"2026.11.06 18:00-18:30 | Budapest, Váci út 12. | Budaörs, Szabadság út 1. | 1012.5 | - | magán | "_s}));
    }

    // The pieces a report's cells are read with, where a wrong guess costs kilometres.
    void cellsAndPresets() {
        QCOMPARE(parseTripNumber(u"12,4 km"_s, DecimalMark::Comma).value_or(-1), 12.4);
        QCOMPARE(parseTripNumber(u"1.234,5"_s, DecimalMark::Comma).value_or(-1), 1234.5);
        QCOMPARE(parseTripNumber(u"1,234.5"_s, DecimalMark::Point).value_or(-1), 1234.5);
        QVERIFY(!parseTripNumber(u"12.4"_s, DecimalMark::Comma)); // not 124
        QVERIFY(!parseTripNumber(u"-3"_s, DecimalMark::Comma));
        QCOMPARE(parseTripDate(u"2026.11.03."_s).value_or(QDate()), QDate(2026, 11, 3));
        QCOMPARE(parseTripDate(u"2026/11/03"_s).value_or(QDate()), QDate(2026, 11, 3));
        QVERIFY(!parseTripDate(u"2026.02.29."_s));
        QVERIFY(parseTripKind(u"MAGÁN"_s) == TripKind::Private);
        QVERIFY(!parseTripKind(u"vegyes"_s));

        // A preset keeps the layout as one line of text and gives it back whole.
        CsvLayout layout;
        layout.separator = u'\t';
        layout.encoding = TextEncoding::Windows1250;
        layout.decimal = DecimalMark::Point;
        layout.header = false;
        layout.column(TripField::Date) = 2;
        layout.column(TripField::Km) = 0;
        QCOMPARE(layoutToText(layout), u"sep=tab|enc=win1250|dec=.|header=0|dátum=3|km=1"_s);
        QVERIFY(layoutFromText(layoutToText(layout)) == layout);
        QVERIFY(!layoutFromText(u"sep=;|ismeretlen=2"_s));

        // Without the places or the distance the report is refused before a row is read.
        TripReport report;
        const Result r = parseTripReport("a;b\n", layoutFromText(u"dátum=1|km=2"_s).value(), report);
        QVERIFY(!r);
        QVERIFY2(r.message().contains(u"„honnan”, „hova”"_s), qPrintable(r.message()));
    }

    // A track of one morning: stands 30 min at A, waits 2 min at a light, stands 38 min at B with
    // the tracker silent, stands exactly 5 min at the company at the end. Three stops, three
    // trips; each km is the sum of the legs along the meridian (0,02° of latitude is 2,2239 km).
    void trackSplitAtStops() {
        QVector<TrackPoint> points;
        QVERIFY(parseGpx(testData(u"trips/harom-megallo.gpx"_s), points));
        QCOMPARE(points.size(), 14);
        const QTimeZone cet(3600);
        const QVector<RecordedTrip> trips = tripsFromTrack(points, StopRule{}, cet);
        QCOMPARE(trips.size(), 3);
        const double expectedKm[] = {2.2239, 2.2239, 4.4478};
        const char* times[] = {"08:00-08:10", "08:40-08:52", "09:30-09:50"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(trips[i].date, QDate(2026, 11, 3));
            QVERIFY2(std::abs(trips[i].km - expectedKm[i]) < 0.0005, qPrintable(QString::number(trips[i].km)));
            QCOMPARE(trips[i].start.toString(u"HH:mm"_s) + u'-' + trips[i].end.toString(u"HH:mm"_s),
                     QString::fromLatin1(times[i]));
        }
        QCOMPARE(trips[1].fromPoint, (GeoPoint{47.52, 19.05})); // where it left A, after the drift
        QCOMPARE(trips[2].toPoint, (GeoPoint{47.50, 19.05}));

        // Stops counted from 35 minutes: A's half hour is passed through, its 11 m drift there and back
        // counted (0,04° + 2 x 0,0001°).
        const QVector<RecordedTrip> longStops = tripsFromTrack(points, StopRule{35}, cet);
        QCOMPARE(longStops.size(), 2);
        QVERIFY2(std::abs(longStops[0].km - 4.4700) < 0.0005, qPrintable(QString::number(longStops[0].km)));
    }

    // Along a parallel the longitude shrinks with the latitude's cosine: 0,1° at 47,5° is
    // 111,195 km x cos 47,5° / 10 = 7,512 km; Budapest to Szeged 161,76 km as the crow flies.
    void greatCircle() {
        QVERIFY(std::abs(haversineMetres({47.5, 19.0}, {47.5, 19.1}) - 7512.2) < 0.5);
        QVERIFY(std::abs(haversineMetres({47.4979, 19.0402}, {46.2530, 20.1414}) - 161762.1) < 1);
    }

    void damagedTracks() {
        QVector<TrackPoint> points{TrackPoint{}};
        const Result noTime = parseGpx("<gpx>\n<trk><trkseg>\n<trkpt lat=\"47.5\" lon=\"19\"></trkpt></trkseg></trk></gpx>", points);
        QVERIFY(!noTime);
        QVERIFY2(noTime.message().contains(u"3. sora"_s), qPrintable(noTime.message()));
        QCOMPARE(points.size(), 1); // untouched
        QVERIFY(!parseGpx("<gpx><trk><trkseg><trkpt lat=\"147.5\" lon=\"19\"><time>2026-11-03T07:00:00Z</time></trkpt>", points));
        QVERIFY(!parseGpx("<kml></kml>", points));
    }

    // Hungarian addresses as trackers and people write them against the partners' own.
    void addressesMatchPartners() {
        const Partner kovacs = P(u"Kovács és Társa Kft."_s, u"Győr"_s, u"Fő utca 5/B"_s);
        QVERIFY(addressMatches(kovacs, u"Győr, Fő u. 5/b"_s));
        QVERIFY(addressMatches(kovacs, u"9021 GYŐR, FŐ U. 5."_s)); // no letter given
        QVERIFY(!addressMatches(kovacs, u"Győr, Fő u. 5/C"_s));
        QVERIFY(!addressMatches(kovacs, u"Győr, Fő út 5/B"_s)); // út is another street than utca
        QVERIFY(!addressMatches(kovacs, u"Győr, Fő u. 7"_s));
        QVERIFY(!addressMatches(kovacs, u"Gyöngyös, Fő u. 5/B"_s));

        const Partner alfa = P(u"Alfa Zrt."_s, u"Budapest"_s, u"XIII. ker. Váci út 12-14."_s);
        QVERIFY(addressMatches(alfa, u"1138 Budapest, Váci út 12."_s));
        QVERIFY(addressMatches(alfa, u"Budapest XIII., Váci út 14"_s));
        QVERIFY(addressMatches(alfa, u"Budapest, Váci út 13. 2. em. 4."_s)); // floor and door after it
        QVERIFY(!addressMatches(alfa, u"Váci út 16, 1138 Budapest"_s));
        QVERIFY(!addressMatches(alfa, u"Budapest, Váci utca 12"_s));

        const Partner beta = P(u"Béta Bt."_s, u"Szeged"_s, u"Tisza Lajos krt. 20."_s);
        QVERIFY(addressMatches(beta, u"Szeged, Tisza Lajos körút 20"_s));
        QVERIFY(addressMatches(beta, u"SZEGED TISZA LAJOS KORUT 20"_s));

        const Partner raktar = P(u"Raktár"_s, u"Dunakeszi"_s, u""_s);
        QVERIFY(addressMatches(raktar, u"2120 Dunakeszi"_s));
        QVERIFY(!addressMatches(raktar, u"Dunakeszi, Fő út 1"_s));

        QVERIFY(nameMatches(kovacs, u"KOVÁCS ÉS TÁRSA KFT"_s));
        QVERIFY(nameMatches(kovacs, u"Kovács és Társa Kft. - Győr, Fő utca 5/B"_s));
        QVERIFY(!nameMatches(kovacs, u"Kovács"_s));
    }

    // What the user said before wins; a position within 300 m is the nearest partner's; two
    // partners at one address leave the place to the user.
    void placesRememberedAndAmbiguous() {
        const QVector<Partner> partners = {P(u"Cég"_s, u"Budapest"_s, u"Váci út 12."_s),
                                           P(u"Alfa"_s, u"Győr"_s, u"Fő utca 5."_s),
                                           P(u"Béta"_s, u"Győr"_s, u"Fő utca 5."_s)};
        const QVector<KnownPlace> known = {
            KnownPlace{false, partners[1], GeoPoint{47.52, 19.05}, {}},
            KnownPlace{false, partners[0], GeoPoint{47.5226, 19.05}, {}}, // 289 m off the point below
            KnownPlace{true, {}, std::nullopt, placeKey(u"Otthon, Petőfi u. 3."_s)},
        };
        PlaceMatch m = matchPlace(partners, known, {}, GeoPoint{47.5200, 19.05});
        QCOMPARE(m.partner, 2);
        m = matchPlace(partners, known, {}, GeoPoint{47.5252, 19.05}); // 289 m from the company's, 578 m from Alfa's
        QCOMPARE(m.partner, 1);
        m = matchPlace(partners, known, {}, GeoPoint{47.5254, 19.05}); // 311 m
        QVERIFY(!m.matched());
        m = matchPlace(partners, known, u"otthon,  PETŐFI u 3"_s, std::nullopt);
        QVERIFY(m.isPrivate);
        m = matchPlace(partners, known, u"Győr, Fő u. 5."_s, std::nullopt);
        QVERIFY(!m.matched() && m.ambiguous);
        m = matchPlace(partners, known, u"Béta"_s, std::nullopt); // the name tells them apart
        QCOMPARE(m.partner, 3);
        // A remembered partner the database no longer holds is no match: the next nearest is.
        const QVector<Partner> renamed = {partners[0], P(u"Alfa Kft."_s, u"Győr"_s, u"Fő utca 5."_s)};
        QCOMPARE(matchPlace(renamed, known, {}, GeoPoint{47.52, 19.05}).partner, 1);
        QVERIFY(!matchPlace(renamed, known, {}, GeoPoint{47.5174, 19.05}).matched()); // 289 m from Alfa's, 578 m from the company's
    }

    void placesFile() {
        const QVector<KnownPlace> places = {
            KnownPlace{false, P(u"Ősz Kft."_s, u"Győr"_s, u"Fő u. 5."_s), GeoPoint{47.687654, 17.634567}, {}},
            KnownPlace{true, {}, std::nullopt, u"otthon petofi utca 3"_s},
        };
        const QByteArray bytes = serializePlaces(places);
        QCOMPARE(bytes, QByteArray("\"RVP\",1\r\n2\r\n0,1,47687654,17634567,\"\",\"\xD5sz Kft.\",\"Gy\xF5r\",\"F\xF5 u. 5.\"\r\n"
                                   "1,0,0,0,\"otthon petofi utca 3\",\"\",\"\",\"\"\r\n"));
        QVector<KnownPlace> back;
        QVERIFY(parsePlaces(bytes, u"helyek.rvd"_s, back));
        QCOMPARE(back, places);
        const Result bad = parsePlaces("\"RVP\",1\r\n1\r\n2,0,0,0,\"\",\"\",\"\",\"\"\r\n", u"helyek.rvd"_s, back);
        QVERIFY(!bad);
        QCOMPARE(back, places); // untouched
    }

    // The median of each pair's trips against the table: 120,6 among 119, 120,6 and 121,4 is 21 %
    // above the table's 100 (asked); an empty cell is filled (86,4 -> 86); 55 against 50 is exactly
    // 10 % (kept), 55,5 -> 56 is more (asked); an even count takes the middle two's mean (10, 11,
    // 14, 20: 12,5 -> 13).
    void distancesLearned() {
        DistanceMatrix table;
        table.reset(4);
        table.at(1, 2) = table.at(2, 1) = DistanceCell{100, 1};
        table.at(2, 3) = table.at(3, 2) = DistanceCell{50, 2};
        table.at(3, 4) = table.at(4, 3) = DistanceCell{50, 2};
        const QVector<RecordedLeg> legs = {{1, 2, 121.4}, {2, 1, 120.6}, {1, 2, 119}, {1, 3, 86.4}, {3, 2, 54.9},
                                           {3, 4, 55.5},  {1, 4, 10},    {4, 1, 14},  {1, 4, 11}, {4, 1, 20}, {2, 2, 5}};
        const QVector<LearnedDistance> learned = learnDistances(table, legs);
        using V = LearnedDistance::Verdict;
        QStringList got;
        for (const LearnedDistance& d : learned)
            got << u"%1-%2 %3 trips: %4 / table %5 %6"_s.arg(d.a).arg(d.b).arg(d.trips).arg(d.recorded).arg(d.table).arg(
                       d.verdict == V::Fill ? u"fill"_s : d.verdict == V::Differs ? u"differs"_s : u"agrees"_s);
        QCOMPARE(got, QStringList({u"1-2 3 trips: 121 / table 100 differs"_s, u"1-3 1 trips: 86 / table 0 fill"_s,
                                   u"1-4 4 trips: 13 / table 0 fill"_s, u"2-3 1 trips: 55 / table 50 agrees"_s,
                                   u"3-4 1 trips: 56 / table 50 differs"_s}));

        DistanceMatrix kept = table;
        QCOMPARE(applyLearnedDistances(kept, learned, false, 3), 4);
        QCOMPARE(std::tuple(kept.at(1, 2).distance, kept.at(3, 1).distance, kept.at(3, 1).routeType, kept.at(4, 3).distance),
                 std::tuple(qint16(100), qint16(86), qint16(3), qint16(50)));
        DistanceMatrix taken = table;
        QCOMPARE(applyLearnedDistances(taken, learned, true, 3), 8);
        QCOMPARE(std::tuple(taken.at(2, 1).distance, taken.at(2, 1).routeType, taken.at(3, 4).distance),
                 std::tuple(qint16(121), qint16(1), qint16(56)));
        QCOMPARE(medianKm({12.5}), 13);
        QCOMPARE(medianKm({}), 0);
    }

    // Partners A, B, C with 10 (A-B), 20 (B-C) and 25 km (A-C). Day 1: A->B, then C->A: the car
    // got from B to C unrecorded, so C is added and told. Day 2: A->A without a stop cannot be a
    // leg, then A->C. Day 3 a private 7,6 km. No odometer: the start chains on, 8 km private.
    void monthFromTrips() {
        AppState s;
        s.partners = {P(u"A"_s, u"Győr"_s, {}), P(u"B"_s, u"Pápa"_s, {}), P(u"C"_s, u"Tata"_s, {})};
        s.distances.reset(3);
        for (auto [i, j, km] : {std::tuple(1, 2, 10), std::tuple(2, 3, 20), std::tuple(1, 3, 25)})
            s.distances.at(i, j) = s.distances.at(j, i) = DistanceCell{qint16(km), 1};
        TripPlan plan;
        plan.year = 2026;
        plan.month = 11;
        auto trip = [&](int day, const char* at, int from, int to, double km, TripKind kind, const QString& purpose = {}) {
            PlacedTrip t;
            t.trip.date = QDate(2026, 11, day);
            t.trip.start = QTime::fromString(QString::fromLatin1(at), u"H:mm"_s);
            t.trip.km = km;
            t.trip.kind = kind;
            t.trip.purpose = purpose;
            t.from.partner = from;
            t.to.partner = to;
            plan.trips << t;
        };
        trip(1, "8:00", 1, 2, 10.4, TripKind::Business, u"Mérés"_s);
        trip(1, "13:00", 3, 1, 24.8, TripKind::Business, u"Mérés"_s);
        trip(2, "8:00", 1, 1, 12.0, TripKind::Business);
        trip(2, "9:00", 1, 3, 25.0, TripKind::Business);
        trip(3, "18:00", 3, 1, 7.6, TripKind::Private);
        const ImportedMonth m = buildImportedMonth(s, plan, 1000);
        auto stops = [&](const MonthLog& log, int day) {
            QList<int> out;
            for (int c = 1; c <= log.stops.stopCount(day); ++c)
                out << log.stops.at(day, c);
            return out;
        };
        QCOMPARE(stops(m.log, 1), QList<int>({1, 2, 3, 1}));
        QCOMPARE(stops(m.log, 2), QList<int>({1, 3}));
        QCOMPARE(stops(m.log, 3), QList<int>());
        QCOMPARE(std::tuple(m.log.monthKm, m.log.startOdometer, m.log.privateKm, m.log.closingReading),
                 std::tuple(qint32(10 + 20 + 25 + 25), qint32(1000), qint32(8), qint32(0)));
        QCOMPARE(m.log.comments[0], u"Mérés"_s);
        QCOMPARE(m.notes.size(), 2);
        QVERIFY2(m.notes[0].contains(u"innen indul: C, de az előző itt ért véget: B"_s), qPrintable(m.notes[0]));
        QVERIFY2(m.notes[1].startsWith(u"2026.11.02. 8:00: a(z) 12.0 km-es út oda ért vissza"_s), qPrintable(m.notes[1]));
        QCOMPARE(m.dayLines.first(), u"2026.11.01. vasárnap: A – B – C – A, 55 km (Mérés)"_s);

        // Into a month that has day 1 and day 5: day 1 is the import's, day 5 stays, 5 + 8 km private.
        MonthLog existing;
        existing.year = 2026;
        existing.month = 11;
        existing.startOdometer = 990;
        existing.stopWidth = 3;
        existing.stops.reset(3);
        existing.stops.at(1, 1) = 1, existing.stops.at(1, 2) = 3, existing.stops.at(1, 3) = 1;
        existing.stops.at(5, 1) = 1, existing.stops.at(5, 2) = 2, existing.stops.at(5, 3) = 1;
        existing.privateKm = 5;
        const MonthLog merged = mergeImportedMonth(existing, m);
        QCOMPARE(stops(merged, 1), QList<int>({1, 2, 3, 1}));
        QCOMPARE(stops(merged, 2), QList<int>({1, 3}));
        QCOMPARE(stops(merged, 5), QList<int>({1, 2, 1}));
        QCOMPARE(std::tuple(merged.startOdometer, merged.privateKm, merged.stopWidth), std::tuple(qint32(990), qint32(13), 4));
    }
};

QTEST_GUILESS_MAIN(TestTripImport)
#include "tst_tripimport.moc"
