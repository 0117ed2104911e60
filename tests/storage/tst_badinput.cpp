// Damaged files for every reader: each gives an error naming the file and the line (or loads,
// where the format allows it), leaves the state as it was and changes nothing on disk.
#include "editor/logbookfile.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QByteArray kDatabase = "2\r\n\"C\xe9g\"\r\n\"Gy\xf5r\"\r\n\"\"\r\n\"Bolt\"\r\n\"P\xe1pa\"\r\n\"\"\r\n0,1\r\n25,1\r\n25,1\r\n0,1\r\n";
const QByteArray kPrices = "2\r\n#2002-03-01#\r\n250\r\n#2002-03-15#\r\n260\r\n";
const QByteArray kCars = "1\r\n\"Kov\xe1" "cs\"\r\n\"Opel\"\r\n\"ABC\"\r\n1\r\n7.5\r\n10\r\n\"C\xe9g\"\r\n\"Gy\xf5r\"\r\n\"\"\r\n\"ABC\"\r\n";
const QByteArray kMultipliers = "1\r\n1.1\r\n1.2\r\n1\r\n1.5\r\n1.3\r\n1.05\r\n1.03\r\n2\r\n";
const QByteArray kCities = "\"Telep\xfcl\xe9sek\"\r\n2\r\n\"Aba\"\r\n\"\xd5rs\xe9g\"\r\n";

QByteArray logbookText() {
    QByteArray t = "\"RVN\",\"2.2\"\r\n2002,1,1000\r\n25,3\r\n";
    for (int d = 1; d <= 31; ++d) {
        if (d == 2)
            t += "2,3\r\n\"C\xe9g\"\r\n\"Gy\xf5r\"\r\n\"\"\r\n\"Bolt\"\r\n\"P\xe1pa\"\r\n\"\"\r\n\"C\xe9g\"\r\n\"Gy\xf5r\"\r\n\"\"\r\n\"\"\r\n";
        else
            t += QByteArray::number(d) + ",0\r\n\"\"\r\n";
    }
    return t;
}

enum Reader { Cars, Database, Prices, Multipliers, Cities, Logbook };

// A good file of each reader, and where its count (or, for the multipliers, its last number)
// stands: the damage below rewrites that number.
struct Good {
    QByteArray data;
    QByteArray before, after; // the text around the number, found from the start
    QByteArray countOnly;     // the file cut right after its count
};
Good good(Reader reader) {
    switch (reader) {
    case Cars: return {kCars, "", "\r\n\"Kov", "5\r\n"};
    case Database: return {kDatabase, "", "\r\n\"C\xe9g", "5\r\n"};
    case Prices: return {kPrices, "", "\r\n#", "5\r\n"};
    case Multipliers: return {kMultipliers, "1.03\r\n", "\r\n", "5\r\n"};
    case Cities: return {kCities, "\"\r\n", "\r\n\"Aba", "\"x\"\r\n5\r\n"};
    case Logbook: return {logbookText(), "\r\n2,", "\r\n\"C\xe9g", "\"RVN\",\"2.2\"\r\n"};
    }
    return {};
}

QByteArray withNumber(const Good& g, const QByteArray& number) {
    QByteArray d = g.data;
    const qsizetype at = d.indexOf(g.before);
    const qsizetype from = at + g.before.size();
    const qsizetype to = d.indexOf(g.after, from);
    return d.replace(from, to - from, number);
}

QByteArray damage(Reader reader, const QString& kind) {
    const Good g = good(reader);
    if (kind == u"empty"_s)
        return {};
    if (kind == u"count only"_s)
        return g.countOnly;
    if (kind == u"count larger than content"_s)
        return reader == Multipliers ? g.data.left(g.data.size() - 3) : withNumber(g, "9");
    if (kind == u"negative count"_s)
        return withNumber(g, "-2");
    if (kind == u"letters for numbers"_s)
        return withNumber(g, "kett\xf5");
    if (kind == u"16-bit value out of range"_s)
        return withNumber(g, "70000");
    if (kind == u"unclosed quote"_s)
        return QByteArray(g.data).remove(g.data.lastIndexOf('"'), 1);
    if (kind == u"1 MB line"_s)
        return QByteArray(1 << 20, '7') + g.data;
    return g.data;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    // Loads through the program's own operation, checks state and disk.
    void check(Reader reader, const QByteArray& data, bool shouldLoad) {
        TestEnv env;
        env.loginCar(u"CAR"_s);
        // What the state held before: one recognisable value per store.
        env.state.cars = {CarRecord{u"régi"_s, {}, {}, 1, 1, 1, {}, {}, {}, u"CAR"_s}};
        env.state.partners = {Partner{u"régi"_s, {}, {}}};
        env.state.distances.reset(1);
        env.state.fuelPrices = {FuelPrice{QDate(2001, 1, 1), 111}};
        env.state.multipliers[1].value = 9.0f;
        env.state.cities = {u"régi"_s};
        QString relative;
        Result r = Result::success();
        StoredLogbook log;
        log.year = 1999;
        switch (reader) {
        case Cars:
            relative = u"user.rvd"_s;
            env.write(relative, data);
            r = LoadCars(env.state);
            break;
        case Database:
            relative = u"Users/CAR/data.rvd"_s;
            env.write(relative, data);
            r = LoadDatabase(env.state, true);
            break;
        case Prices:
            relative = u"Users/CAR/benzin.rvd"_s;
            env.write(relative, data);
            r = LoadFuelPrices(env.state);
            break;
        case Multipliers:
            relative = u"Users/szorzo.rvd"_s;
            env.write(relative, data);
            r = LoadMultipliers(env.state);
            break;
        case Cities:
            relative = u"cities.rvd"_s;
            env.write(relative, data);
            r = LoadCities(env.state);
            break;
        case Logbook:
            relative = u"Users/CAR/2002jan.rvn"_s;
            env.write(relative, data);
            r = readLogbookFile(env.path(relative), log);
            break;
        }
        if (shouldLoad) {
            QVERIFY2(r, qPrintable(r.message()));
            return;
        }
        QVERIFY(!r);
        QVERIFY2(r.message().contains(QFileInfo(relative).fileName()), qPrintable(r.message()));
        if (!data.isEmpty() && reader != Prices)
            QVERIFY2(r.message().contains(u". sor)"_s), qPrintable(r.message()));
        QCOMPARE(env.state.carCount(), 1);
        QCOMPARE(env.state.car(1).userName, u"régi"_s);
        QCOMPARE(env.state.partnerCount(), 1);
        QCOMPARE(env.state.partner(1).name, u"régi"_s);
        QCOMPARE(env.state.multipliers[1].value, 9.0f);
        QCOMPARE(env.state.cities, QStringList{u"régi"_s});
        QCOMPARE(log.year, 1999);
        if (reader == Prices) {
            // The damaged price list is kept aside before an empty one takes its place.
            QCOMPARE(env.read(relative + u".hibas"_s), data);
            QVERIFY(env.state.fuelPrices.isEmpty());
        } else {
            QCOMPARE(env.read(relative), data);
            QCOMPARE(env.state.fuelPrices.size(), 1);
        }
    }

private slots:
    void damagedFiles_data() {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("loads");
        const char* names[] = {"user.rvd", "data.rvd", "benzin.rvd", "szorzo.rvd", "cities.rvd", "logbook"};
        for (Reader reader : {Cars, Database, Prices, Multipliers, Cities, Logbook}) {
            const QByteArray good = ::good(reader).data;
            const char* name = names[reader];
            const bool hasTexts = reader != Prices && reader != Multipliers;
            for (const QString& kind : {u"empty"_s, u"count only"_s, u"count larger than content"_s, u"negative count"_s,
                                        u"letters for numbers"_s, u"unclosed quote"_s, u"16-bit value out of range"_s,
                                        u"1 MB line"_s}) {
                if (kind == u"unclosed quote"_s && !hasTexts)
                    continue;
                // The heading of the city list is read and dropped, whatever it holds.
                const bool loads = reader == Cities && kind == u"1 MB line"_s;
                QTest::addRow("%s: %s", name, qPrintable(kind)) << int(reader) << damage(reader, kind) << loads;
            }
            // What the format allows: LF-only and mixed line ends, and the bytes the code page
            // leaves undefined inside a text.
            QTest::addRow("%s: LF only", name) << int(reader) << QByteArray(good).replace("\r\n", "\n") << true;
            QByteArray mixed = good;
            mixed.replace(mixed.indexOf("\r\n"), 2, "\n");
            QTest::addRow("%s: mixed line ends", name) << int(reader) << mixed << true;
            if (hasTexts) {
                QByteArray odd = good;
                odd.insert(odd.indexOf('"', odd.indexOf('\n')) + 1, "\x81\x98");
                QTest::addRow("%s: undefined code page bytes", name) << int(reader) << odd << true;
            }
            QTest::addRow("%s: good", name) << int(reader) << good << true;
        }
    }
    void damagedFiles() {
        QFETCH(int, reader);
        QFETCH(QByteArray, data);
        QFETCH(bool, loads);
        check(Reader(reader), data, loads);
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
