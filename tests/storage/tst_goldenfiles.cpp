// The data files against bytes written by hand (tests/data/golden), in both directions: a reader
// fault and a writer fault cannot agree with each other here. Then the loads and saves around them.

#include "model/statefiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/win1250.h"
#include "storedfiles.h"

#include <QFile>
#include <QTest>

#include <cstring>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
QByteArray golden(const char* name) { return testData(u"golden/"_s + QLatin1StringView(name)); }

const QByteArray kTwoPartnerFile = "2\r\n"
                                   "\"C\xe9g Kft.\"\r\n\"Gy\xf5r\"\r\n\"F\xf5 \xfat 1.\"\r\n"
                                   "\"Vev\xf5, Bt.\"\r\n\"P\xe1pa\"\r\n\"\"\r\n"
                                   "0,2\r\n25,1\r\n25,3\r\n0,2\r\n";

} // namespace

class TestGoldenFiles : public QObject {
    Q_OBJECT
private slots:
    void carFile() {
        QVector<CarRecord> cars;
        QVERIFY(parseCars(golden("user.rvd"), u"user.rvd"_s, cars).ok());
        // The company is written before the city; the second car runs on keverék, the last fuel type.
        QCOMPARE((std::tuple{cars.size(), cars[0].userName, cars[0].companyName, cars[0].city, cars[0].consumption}),
                 (std::tuple{qsizetype(2), u"Kovács Péter"_s, u"Rovanta Kft."_s, u"Győr"_s, 7.5f}));
        QCOMPARE((std::tuple{cars[1].userName, cars[1].fuelType, cars[1].consumption, cars[1].generalCost, cars[1].companyAddress,
                             cars[1].dirName}),
                 (std::tuple{u"Szőke Űrsula"_s, 4, 6.25f, 15.0f, QString(), u"KEV-444"_s}));
        QCOMPARE(serializeCars(cars), golden("user.rvd"));
    }

    void partnerFile() {
        PartnerDatabase db;
        QVERIFY(parseDatabase(golden("data.rvd"), u"data.rvd"_s, 2, db).ok());
        QCOMPARE(db.partners.size(), 2);
        QCOMPARE(db.partners[1], (Partner{u"Őrség, Kft."_s, u"Budapest"_s, QString()}));
        // The file need not be symmetric.
        QCOMPARE((std::tuple{db.distances.at(1, 2).distance, db.distances.at(1, 2).routeType, db.distances.at(2, 1).distance,
                             db.distances.at(2, 1).routeType}),
                 (std::tuple<qint16, qint16, qint16, qint16>{125, 3, 126, 6}));
        QCOMPARE(serializeDatabase(db, 2), golden("data.rvd"));

        // Route types outside 1..6 get the default on reading; 0 too, on writing.
        for (const QByteArray cell : {"125,7", "125,0", "125,-1"}) {
            QByteArray bytes = golden("data.rvd");
            bytes.replace("125,3", cell);
            PartnerDatabase d;
            QVERIFY(parseDatabase(bytes, u"data.rvd"_s, 2, d).ok());
            QCOMPARE(d.distances.at(1, 2).routeType, 2);
        }
    }

    // Cells as the writer puts them are read in one sweep; any other cell by the field reader,
    // the lines counted the same either way for the messages.
    void cellsOfEveryForm() {
        QByteArray bytes = "3\r\n\"A\"\r\n\"\"\r\n\"\"\r\n\"B\"\r\n\"\"\r\n\"\"\r\n\"C\"\r\n\"\"\r\n\"\"\r\n" // lines 1-10
                           "0,2\r\n 7 ,1\r\n9,9\r\n"                                                   // 11-13
                           "7,1\n0,0\r\n+5,3\r\n"                                                       // 14-16
                           "9,2\r\n5,3\r\n0,2\r\n";                                                     // 17-19
        PartnerDatabase db;
        QVERIFY(parseDatabase(bytes, u"d"_s, 4, db).ok());
        QList<std::pair<int, int>> cells;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j)
                cells << std::pair(int(db.distances.at(i, j).distance), int(db.distances.at(i, j).routeType));
        QCOMPARE(cells, (QList<std::pair<int, int>>{{0, 2}, {7, 1}, {9, 4}, {7, 1}, {0, 4}, {5, 3}, {9, 2}, {5, 3}, {0, 2}}));
        QCOMPARE(db.warnings, QStringList{u"d (13. sor): ismeretlen úttípus (9), helyette 4"_s});
        const Result damaged = parseDatabase(bytes.replace("\r\n5,3\r\n", "\r\n40000,3\r\n"), u"d"_s, 4, db);
        QVERIFY2(damaged.message().contains(u"d (18. sor)"_s), qPrintable(damaged.message()));
    }

    // A large file goes the fast way in blocks: every other form met anywhere in it (at a block's
    // edge, in the last bytes, without a final line end) reads as the field reader reads it.
    void cellsOfEveryFormInALargeFile() {
        constexpr int n = 40;
        QByteArray head = QByteArray::number(n) + "\r\n";
        for (int i = 0; i < n; ++i)
            head += "\"P" + QByteArray::number(i) + "\"\r\n\"\"\r\n\"\"\r\n";
        // Cell k is "km,t" CR LF with km = k % 1000 and t = k % 6 + 1, but for these.
        const QMap<int, std::tuple<QByteArray, int, int>> odd = {
            {0, {"32767,6\r\n", 32767, 6}},  {1, {"007,2\r\n", 7, 2}},
            {10, {"12,0\r\n", 12, 4}},       {11, {"12,9\r\n", 12, 4}},  {63, {"4,1\n", 4, 1}},
            {64, {" 8 ,3\r\n", 8, 3}},       {100, {"+9,5\r\n", 9, 5}}, {101, {"1,-0\r\n", 1, 4}},
            {777, {"-0,2\r\n", 0, 2}},       {778, {"3,4\r", 3, 4}},     {1598, {"16,1\r\n", 16, 1}},
            {1599, {"99999,1", 0, 0}}};
        auto file = [&](const QByteArray& last) {
            QByteArray bytes = head;
            for (int k = 0; k < n * n; ++k) {
                if (k == n * n - 1)
                    bytes += last;
                else if (odd.contains(k))
                    bytes += std::get<0>(odd[k]);
                else
                    bytes += QByteArray::number(k % 1000) + ',' + QByteArray::number(k % 6 + 1) + "\r\n";
            }
            return bytes;
        };
        PartnerDatabase db;
        QVERIFY(parseDatabase(file("2,6"), u"d"_s, 4, db).ok()); // the last line without its end
        for (int k = 0; k < n * n; ++k) {
            const DistanceCell c = db.distances.at(k / n + 1, k % n + 1);
            const bool special = odd.contains(k) && k != n * n - 1;
            const int km = special ? std::get<1>(odd[k]) : k == n * n - 1 ? 2 : k % 1000;
            const int type = special ? std::get<2>(odd[k]) : k == n * n - 1 ? 6 : k % 6 + 1;
            QVERIFY2(c.distance == km && c.routeType == type, qPrintable(u"cell %1: %2,%3"_s.arg(k).arg(c.distance).arg(c.routeType)));
        }
        const int firstCellLine = 1 + 3 * n + 1;
        QCOMPARE(db.warnings, QStringList{u"d (%1. sor): ismeretlen úttípus (9), helyette 4"_s.arg(firstCellLine + 11)});
        // Damage deep in the file and in its last line is told at its own line.
        QByteArray deep = file("2,6\r\n");
        deep.replace("\r\n234,5\r\n", "\r\n40000,5\r\n");
        QVERIFY(deep.contains("40000"));
        const Result far = parseDatabase(deep, u"d"_s, 4, db);
        QVERIFY2(far.message().contains(u"d (%1. sor)"_s.arg(firstCellLine + 1234)), qPrintable(far.message()));
        const Result last = parseDatabase(file(std::get<0>(odd[1599])), u"d"_s, 4, db);
        QVERIFY2(last.message().contains(u"d (%1. sor)"_s.arg(firstCellLine + 1599)), qPrintable(last.message()));
    }

    // Read piece by piece, a file as the writer puts it gives what the whole-file reader gives,
    // whatever the piece size; any other form is declined (out untouched) for that reader.
    void partnerFileInPieces() {
        PartnerDatabase db;
        db.partners = {Partner{u"Győri Kft."_s, u"Győr"_s, u"Fő út 1."_s}, Partner{u"B"_s, {}, {}}};
        for (int i = 3; i <= 30; ++i)
            db.partners.append(Partner{u"Partner %1"_s.arg(i), u"Pápa"_s, {}});
        db.distances.reset(30);
        for (int i = 1; i <= 30; ++i)
            for (int j = 1; j <= 30; ++j)
                db.distances.at(i, j) = DistanceCell{qint16(i == j ? 0 : (i * 331 + j * 7) % 32768), qint16((i + j) % 6 + 1)};
        db.distances.at(2, 3).routeType = 0; // written as the default, and so set once written
        db.distances.at(3, 2).distance = 32767;
        QByteArray expected = "30\r\n\"Gy\xf5ri Kft.\"\r\n\"Gy\xf5r\"\r\n\"F\xf5 \xfat 1.\"\r\n\"B\"\r\n\"\"\r\n\"\"\r\n";
        for (int i = 3; i <= 30; ++i)
            expected += "\"Partner " + QByteArray::number(i) + "\"\r\n\"P\xe1pa\"\r\n\"\"\r\n";
        for (int i = 1; i <= 30; ++i)
            for (int j = 1; j <= 30; ++j)
                expected += QByteArray::number(i == 3 && j == 2 ? 32767 : i == j ? 0 : (i * 331 + j * 7) % 32768) + ',' +
                            QByteArray::number(i == 2 && j == 3 ? 1 : (i + j) % 6 + 1) + "\r\n";
        QCOMPARE(serializeDatabase(db.partners, db.distances, 1), expected);
        QCOMPARE(db.distances.at(2, 3).routeType, 0);
        const QByteArray written = serializeDatabase(db, 1);
        QCOMPARE(written, expected);
        QCOMPARE(db.distances.at(2, 3).routeType, 1);
        auto pieces = [](const QByteArray& bytes, qsizetype piece, PartnerDatabase& out) {
            qsizetype at = 0;
            return readWrittenPartnerFile(
                [&](char* to, qint64 n) {
                    // Never more than 100 bytes at a time: a reader may hand over less than asked.
                    const qsizetype got = std::min<qsizetype>({n, 100, bytes.size() - at});
                    std::memcpy(to, bytes.constData() + at, size_t(got));
                    at += got;
                    return qint64(got);
                },
                out, piece);
        };
        for (const QByteArray& bytes : {written, written + "\r\n \r\n\x1a"}) {
            PartnerDatabase whole;
            QVERIFY(parseDatabase(bytes, u"d"_s, 1, whole).ok());
            for (qsizetype piece : {1000, 1001, 1024, 4096, 1 << 20}) {
                PartnerDatabase got;
                QVERIFY2(pieces(bytes, piece, got), qPrintable(QString::number(piece)));
                QCOMPARE(got.partners, whole.partners);
                for (int i = 1; i <= 30; ++i)
                    for (int j = 1; j <= 30; ++j)
                        QVERIFY(got.distances.at(i, j).distance == whole.distances.at(i, j).distance &&
                                got.distances.at(i, j).routeType == whole.distances.at(i, j).routeType);
            }
        }
        // The partners must fit in the first piece; a form the writer does not use anywhere, a
        // cell too many or too few, or anything after the cells is left to the whole-file reader.
        QByteArray lf = written;
        lf.replace(lf.lastIndexOf("\r\n", lf.size() - 2000), 2, "\n");
        QByteArray zero = written;
        zero.replace(zero.lastIndexOf(",1\r\n"), 4, ",0\r\n");
        QByteArray lastCut = written.left(written.size() - 2);
        for (const auto& [bytes, piece] : {std::pair{written, qsizetype(100)}, {lf, qsizetype(1000)}, {zero, qsizetype(1000)},
                                            {written + "1,1\r\n", qsizetype(1000)}, {written.left(written.size() - 5), qsizetype(1000)},
                                            {lastCut, qsizetype(1000)}, {written + "x", qsizetype(1000)}, {QByteArray(), qsizetype(1000)}}) {
            PartnerDatabase got;
            got.partners = {Partner{u"marad"_s, {}, {}}};
            QVERIFY2(!pieces(bytes, piece, got), qPrintable(QString::fromLatin1(bytes.right(12).toPercentEncoding())));
            QCOMPARE(got.partners.size(), 1);
        }
        // The stamp of bytes taken in any pieces is the stamp of the whole.
        Fingerprint f;
        for (qsizetype at = 0, step = 1; at < written.size(); at += step, step = step % 97 + 13)
            f.add(written.constData() + at, std::min(step, written.size() - at));
        QCOMPARE(f.result(), stampOfBytes(written).hash);
    }

    // Both ways of finding the line feeds agree, on every byte value at every place (a byte
    // with the high bit over a line feed, 0x8a, included).
    void lineFeedsFoundTheSameEitherWay() {
        QByteArray bytes(256 + 64, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7) % 256);
        for (int shift = 0; shift < 64; ++shift) {
            for (int at = 0; at + 64 <= bytes.size(); at += 64) {
                const char* block = bytes.constData() + at;
                quint64 expected = 0;
                for (int k = 0; k < 64; ++k)
                    expected |= quint64(block[k] == '\n') << k;
                QCOMPARE(pairlines::lineFeeds64Portable(block), expected);
                QCOMPARE(pairlines::lineFeeds64(block), expected);
            }
            bytes = bytes.mid(1) + bytes.left(1);
        }
    }

    void priceFile() {
        QVector<FuelPrice> prices;
        QVERIFY(parseFuelPrices(golden("benzin.rvd"), u"benzin.rvd"_s, prices).ok());
        QCOMPARE((std::tuple{prices.size(), prices[1].month, prices[1].price}),
                 (std::tuple{qsizetype(2), QDate(2024, 3, 15), qint16(620)}));
        QCOMPARE(serializeFuelPrices({{QDate(2024, 1, 1), 600}, {QDate(2024, 3, 15), 620}}), golden("benzin.rvd"));
        QCOMPARE(serializeFuelPrices({}), QByteArray("0\r\n"));
    }

    // The code page has ő and ű where Latin-1 has õ and û: those must not pass through.
    void latinLettersAreNotTakenForHungarian() {
        QCOMPARE(win1250::encode(u"õû ÕÛ"_s), QByteArray("?? ??"));
        QCOMPARE(win1250::decode(QByteArray("\xf5\xfb")), u"őű"_s);
    }

    void twoPartnerFileIsElevenExactLinesAndReadsBack() {
        TestEnv env;
        env.loginCar();
        env.state.defaultRouteType = 2;
        env.state.partners = {Partner{u" Cég Kft. "_s, u"Győr"_s, u"Fő út 1."_s}, Partner{u"Vevő, Bt."_s, u"Pápa"_s, {}}};
        env.state.distances.reset(2);
        env.state.distances.at(1, 2) = {25, 1};
        env.state.distances.at(2, 1) = {25, 3};
        QVERIFY(SaveDatabase(env.state));
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s), kTwoPartnerFile);
        QCOMPARE(env.state.distances.at(1, 1).routeType, qint16(2)); // route type 0 became the default in memory too
        env.state.partners.resize(5); // an earlier car's larger database is replaced whole
        env.state.distances.reset(5);
        QVERIFY(LoadDatabase(env.state, true));
        QCOMPARE((std::tuple{env.state.partnerCount(), env.state.distances.size(), PartnerLabel(env.state, 2),
                             env.state.distances.at(2, 1).routeType}),
                 (std::tuple{2, 2, u"Vevő, Bt. - Pápa"_s, qint16(3)}));
        // Read piece by piece, the file is still known as unchanged: the next save asks nothing.
        const QString path = env.state.carPath(u"data.rvd"_s);
        QCOMPARE(env.state.stamps.value(path), stampOf(path));
    }

    void withoutResizeTheStoredPartnersFillTheFront() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/data.rvd"_s, kTwoPartnerFile);
        env.state.partners.resize(3);
        env.state.partner(3) = Partner{u"Új"_s, u"Eger"_s, {}};
        env.state.distances.reset(3);
        QVERIFY(LoadDatabase(env.state, false));
        QCOMPARE((std::tuple{env.state.partnerCount(), env.state.partner(3).name, env.state.distances.at(1, 2).distance}),
                 (std::tuple{3, u"Új"_s, qint16(25)}));
        env.state.partners.resize(1); // no room for the file's two partners: refused
        env.state.distances.reset(1);
        QVERIFY(!LoadDatabase(env.state, false) && env.state.partnerCount() == 1);
    }

    void saveAsksWhenTheFolderIsMissing() {
        TestEnv env;
        env.loginCar(u"NINCS"_s);
        QDir(env.state.carPath(QString())).removeRecursively();
        env.state.partners = {Partner{u"a"_s, u"b"_s, {}}};
        env.state.distances.reset(1);
        env.prompter.answer(Retry);
        env.prompter.answer(Ignore);
        QVERIFY(!SaveDatabase(env.state));
        QCOMPARE(env.prompter.texts(), QStringList(2, u"Az elérési út nem található."_s));
        QCOMPARE(env.prompter.asked[0].buttons, MsgButtons(Abort | Retry | Ignore));
        env.prompter.answer(Abort);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, SaveDatabase(env.state));
    }

    void carsAndMultipliersThroughTheFiles() {
        TestEnv env;
        env.state.cars = {CarRecord{u"  Kovács Péter "_s, u"Opel"_s, u"ABC-123"_s, 3, 7.5f, 1.1f, u"Győr"_s, u"Cég"_s, {}, u"ABC"_s}};
        QVERIFY(SaveCars(env.state));
        env.state.cars.clear();
        QVERIFY(LoadCars(env.state) && env.state.car(1).userName == u"Kovács Péter"_s); // trimmed on saving
        QVERIFY(LoadMultipliers(env.state)); // missing: written with every multiplier 1
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s), QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));
        env.state.multipliers[1].value = 110 / 100.0f;
        env.state.defaultRouteType = 3;
        QVERIFY(SaveMultipliers(env.state));
        const AppState other = storedMultipliers(env.state);
        QCOMPARE((std::tuple{other.multipliers[1].value, other.defaultRouteType}), (std::tuple{1.1f, qint16(3)}));
    }

    void theShippedCityListIsCompleteAndInHungarianOrder() {
        QFile f(QStringLiteral(ROVANTA_BIN_DIR "/cities.rvd"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList cities;
        QVERIFY(parseCities(f.readAll(), f.fileName(), cities));
        QCOMPARE(std::pair(cities.size(), cities.first()), std::pair(qsizetype(3136), u"Aba"_s));
        // Accented initials sort with their base letters, "Ö" after "O", "Zs" after "Z".
        for (const auto& [before, after] : {std::pair{u"Ábrahámhegy"_s, u"Acsa"_s}, {u"Ózd"_s, u"Öcs"_s}, {u"Zubogy"_s, u"Zsámbék"_s}})
            QVERIFY2(cities.indexOf(before) < cities.indexOf(after), qPrintable(before));
    }
};

QTEST_GUILESS_MAIN(TestGoldenFiles)
#include "tst_goldenfiles.moc"
