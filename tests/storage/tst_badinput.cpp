// Damaged files for every reader: each gives an error naming the file and the line (or loads,
// where the format allows it), leaves the state as it was and changes nothing on disk. A damaged
// price or multiplier file is kept aside and replaced by a usable one. The good files are under
// tests/data/badinput.
#include "model/logbookfile.h"
#include "model/statefiles.h"
#include "storage/records.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

enum Reader { Cars, Database, Prices, Multipliers, Cities, Logbook };

// A good file of each reader, and where its count (or, for the multipliers, its last number)
// stands: the damage below rewrites that number.
struct Good {
    QString path; // under tests/data/badinput and the data directory
    QByteArray before, after; // the text around the number, found from the start
    QByteArray data() const { return testData(u"badinput/"_s + path); }
};
const Good kGood[] = {{u"user.rvd"_s, "", "\r\n\"Kov"},          {u"Users/CAR/data.rvd"_s, "", "\r\n\"C\xe9g"},
                      {u"Users/CAR/benzin.rvd"_s, "", "\r\n#"}, {u"Users/szorzo.rvd"_s, "1.03\r\n", "\r\n"},
                      {u"cities.rvd"_s, "\"\r\n", "\r\n\"Aba"}, {u"Users/CAR/2002jan.rvn"_s, "\r\n2,", "\r\n\"C\xe9g"}};

// The good file's text from replaced by to: loads (line 0) or is refused at line.
struct Range {
    Reader reader;
    QByteArray from, to;
    int line;
};

QByteArray withNumber(const Good& g, const QByteArray& number) {
    QByteArray d = g.data();
    const qsizetype at = d.indexOf(g.before);
    const qsizetype from = at + g.before.size();
    const qsizetype to = d.indexOf(g.after, from);
    return d.replace(from, to - from, number);
}

QByteArray damage(Reader reader, const QString& kind) {
    const Good& g = kGood[reader];
    const QByteArray data = g.data();
    if (kind == u"empty"_s)
        return {};
    if (kind == u"count larger than content"_s)
        return reader == Multipliers ? data.left(data.size() - 3) : withNumber(g, "9");
    if (kind == u"negative count"_s)
        return withNumber(g, "-2");
    if (kind == u"letters for numbers"_s)
        return withNumber(g, "kett\xf5");
    if (kind == u"16-bit value out of range"_s)
        return withNumber(g, "70000");
    if (kind == u"unclosed quote"_s)
        return QByteArray(data).remove(data.lastIndexOf('"'), 1);
    if (kind == u"1 MB line"_s)
        return QByteArray(1 << 20, '7') + data;
    if (kind == u"record after the counted ones"_s)
        return data + "\r\n\r\n\"t\xf6" "bblet\"\r\n";
    return data;
}

// Loads through the program's own operation.
Result load(TestEnv& env, Reader reader, const QByteArray& data, StoredLogbook& log) {
    env.write(kGood[reader].path, data);
    switch (reader) {
    case Cars: return LoadCars(env.state);
    case Database: return LoadDatabase(env.state, true);
    case Prices: return LoadFuelPrices(env.state);
    case Multipliers: return LoadMultipliers(env.state);
    case Cities: return LoadCities(env.state);
    case Logbook: return readLogbookFile(env.path(kGood[reader].path), log);
    }
    return Result::success();
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
        const QString relative = kGood[reader].path;
        StoredLogbook log;
        log.year = 1999;
        const Result r = load(env, reader, data, log);
        QVERIFY2(bool(r) == shouldLoad, qPrintable(r.message()));
        if (shouldLoad)
            return;
        QVERIFY2(r.message().contains(QFileInfo(relative).fileName()), qPrintable(r.message()));
        if (!data.isEmpty() && reader != Prices)
            QVERIFY2(r.message().contains(u". sor)"_s), qPrintable(r.message()));
        QCOMPARE((std::tuple{env.state.cars.size(), env.state.car(1).userName, env.state.partners.size(),
                             env.state.partner(1).name, env.state.cities, log.year}),
                 (std::tuple{qsizetype(1), u"régi"_s, qsizetype(1), u"régi"_s, QStringList{u"régi"_s}, 1999}));
        // Never 0 in memory: a damaged multiplier file gives the defaults.
        QCOMPARE(std::pair(env.state.fuelPrices.size(), env.state.multipliers[1].value),
                 std::pair(qsizetype(reader == Prices ? 0 : 1), reader == Multipliers ? 1.0f : 9.0f));
        if (reader == Prices || reader == Multipliers) {
            // Kept aside before a usable file takes its place; the message names the copy.
            QCOMPARE(env.read(relative + u".hibas"_s), data);
            QVERIFY2(r.message().contains(u".hibas"_s) || reader == Prices, qPrintable(r.message()));
            QCOMPARE(env.read(relative), reader == Prices ? QByteArray("0\r\n") : QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));
        } else {
            QCOMPARE(env.read(relative), data);
        }
    }

private slots:
    void damagedFiles_data() {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("loads");
        for (Reader reader : {Cars, Database, Prices, Multipliers, Cities, Logbook}) {
            const QByteArray good = kGood[reader].data();
            const QByteArray name = QFileInfo(kGood[reader].path).fileName().toLatin1();
            const bool hasTexts = reader != Prices && reader != Multipliers;
            for (const QString& kind : {u"empty"_s, u"count larger than content"_s, u"negative count"_s,
                                        u"letters for numbers"_s, u"unclosed quote"_s, u"16-bit value out of range"_s,
                                        u"1 MB line"_s, u"record after the counted ones"_s}) {
                if (kind == u"unclosed quote"_s && !hasTexts)
                    continue;
                QTest::addRow("%s: %s", name.constData(), qPrintable(kind)) << int(reader) << damage(reader, kind) << false;
            }
            // What the format allows: LF-only line ends, and the bytes the code page
            // leaves undefined inside a text.
            QTest::addRow("%s: LF only", name.constData()) << int(reader) << QByteArray(good).replace("\r\n", "\n") << true;
            if (hasTexts) {
                QByteArray odd = good;
                odd.insert(odd.indexOf('"', odd.indexOf('\n')) + 1, "\x81\x98");
                QTest::addRow("%s: undefined code page bytes", name.constData()) << int(reader) << odd << true;
            }
            QTest::addRow("%s: good", name.constData()) << int(reader) << good << true;
        }
    }
    void damagedFiles() {
        QFETCH(int, reader);
        QFETCH(QByteArray, data);
        QFETCH(bool, loads);
        check(Reader(reader), data, loads);
    }

    // Values at and just past the ends of their ranges; a fault is told at its own line.
    void valuesOutOfRange_data() {
        QTest::addColumn<Range>("c");
        const auto row = [](const char* name, Reader reader, const char* from, const char* to, int line) {
            QTest::newRow(name) << Range{reader, from, to, line};
        };
        row("consumption 100", Cars, "\n7.5\r", "\n100\r", 0);
        row("consumption 100.01", Cars, "\n7.5\r", "\n100.01\r", 6);
        row("consumption negative", Cars, "\n7.5\r", "\n-0.5\r", 6);
        row("general cost 1000", Cars, "\n10\r", "\n1000\r", 0);
        row("general cost 1000.5", Cars, "\n10\r", "\n1000.5\r", 7);
        row("fuel type 5", Cars, "\n1\r\n7.5", "\n5\r\n7.5", 5);
        row("directory name", Cars, "\"\"\r\n\"ABC", "\"\"\r\n\"..", 11);
        row("distance 32767", Database, "\n25,1\r\n25", "\n32767,1\r\n25", 0);
        row("distance negative", Database, "\n25,1\r\n25", "\n-1,1\r\n25", 9);
        row("partner count 0", Database, "2\r\n\"C", "0\r\n\"C", 1);
        row("price 0", Prices, "\n250\r", "\n0\r", 0);
        row("price negative", Prices, "\n250\r", "\n-1\r", 3);
        row("multiplier 0.1", Multipliers, "\n1.1\r", "\n0.1\r", 0);
        row("multiplier 10", Multipliers, "\n1.1\r", "\n10\r", 0);
        row("multiplier 0.09", Multipliers, "\n1.1\r", "\n0.09\r", 2);
        row("multiplier 10.01", Multipliers, "\n1.1\r", "\n10.01\r", 2);
        // Found where the shifted values meet the default route type.
        row("multiplier decimal comma", Multipliers, "\n1.1\r", "\n1,1\r", 8);
        row("default route type 7", Multipliers, "\n2\r", "\n7\r", 9);
        row("trailing record after blank lines", Prices, "\n260\r\n", "\n260\r\n\r\n\n\"x\"\r\n", 8);
        row("logbook stop count above the width", Logbook, "2,3\r\n\"C", "2,4\r\n\"C", 6);
        row("logbook trailing record", Logbook, "31,0\r\n\"\"\r\n", "31,0\r\n\"\"\r\n\"x\"\r\n", 75);
    }
    void valuesOutOfRange() {
        QFETCH(Range, c);
        const auto& [reader, from, to, line] = c;
        QByteArray data = kGood[reader].data();
        QVERIFY(data.contains(from));
        data.replace(data.indexOf(from), from.size(), to);
        TestEnv env;
        env.loginCar(u"CAR"_s);
        StoredLogbook log;
        const Result r = load(env, reader, data, log);
        if (line == 0)
            QVERIFY2(r, qPrintable(r.message()));
        else
            QVERIFY2(!r && r.message().contains(u"(%1. sor)"_s.arg(line)), qPrintable(r.message()));
    }

    // A field one character past the limit is refused where it starts, and quoted short.
    void hugeFieldIsRefusedAndQuotedShort() {
        QByteArray over = kGood[Logbook].data();
        over.replace("\"\"\r\n2,3", "\"" + QByteArray(kMaxFieldChars + 1, 'y') + "\"\r\n2,3"); // the comment of day 1
        StoredLogbook log;
        const Result tooLong = parseLogbook(over, u"2002jan.rvn"_s, log);
        QVERIFY2(tooLong.message().contains(u"(5. sor)"_s), qPrintable(tooLong.message()));
        QVERIFY2(tooLong.message().size() < 300, qPrintable(tooLong.message()));
        QByteArray exact = kGood[Logbook].data();
        exact.replace("\"\"\r\n2,3", "\"" + QByteArray(kMaxFieldChars, 'z') + "\"\r\n2,3");
        QVERIFY(parseLogbook(exact, u"2002jan.rvn"_s, log));
        QCOMPARE(log.comments[0].size(), kMaxFieldChars);
        // What the reader refuses is never written: a longer text is cut.
        log.comments[0] += u"többlet"_s;
        QVERIFY(parseLogbook(serializeLogbook(log), u"x"_s, log));
        // A letters-for-numbers message quotes the start of the field only.
        QVector<FuelPrice> prices;
        const Result r = parseFuelPrices(kGood[Prices].data().replace("250", QByteArray(4000, 'a')), u"b"_s, prices);
        QVERIFY(!r);
        QVERIFY2(r.message().size() < 300, qPrintable(r.message()));
    }

    // Rescue copies are numbered and never overwritten; the same damage met again reuses its copy.
    void rescueCopiesAreNumbered() {
        TestEnv env;
        env.loginCar(u"CAR"_s);
        const QString prices = u"Users/CAR/benzin.rvd"_s;
        for (const QByteArray& damaged : {QByteArray("x1"), QByteArray("x2"), QByteArray("x2")}) {
            env.write(prices, damaged);
            QVERIFY(!LoadFuelPrices(env.state));
        }
        QCOMPARE(std::pair(env.read(prices + u".hibas"_s), env.read(prices + u".hibas.2"_s)), std::pair(QByteArray("x1"), QByteArray("x2")));
        QVERIFY(!QFile::exists(env.path(prices + u".hibas.3"_s)));
        // A copy that cannot be made leaves the damaged file where it is.
        env.write(u"user.rvd"_s, "1\r\n");
        QDir().mkpath(env.path(u"user.rvd.hibas"_s));
        QVERIFY(LoadCars(env.state).message().contains(u"user.rvd.hibas.2"_s));
        QCOMPARE(std::pair(env.read(u"user.rvd.hibas.2"_s), env.read(u"user.rvd"_s)), std::pair(QByteArray("1\r\n"), QByteArray("1\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
