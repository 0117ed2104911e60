#include "model/logbookfile.h"
#include "editor/partnerchange.h"
#include "model/monthfacts.h"

#include "logbookfixtures.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// January 2002 with partner 2 on day 1, over the fixtures' partners.
MonthLog oneStopMonth(AppState& s) {
    s.partners = fixtureDatabase();
    s.distances.reset(7);
    MonthLog m;
    m.year = 2002;
    m.month = 1;
    m.stopWidth = 1;
    m.stops.at(1, 1) = 2;
    m.comments[4] = u"Tárgyalás, szerződés aláírása"_s;
    m.modified = true;
    return m;
}

// A logged-in car with that month open.
struct OpenMonth : TestEnv {
    OpenMonth() {
        loginCar();
        state.month = oneStopMonth(state);
    }
};

// A current-layout file of one stop on day 1, with the lines given replaced.
QByteArray smallFile(const QByteArray& line2 = "2002,3,0", const QByteArray& line3 = "10,1",
                     const QByteArray& day1 = "1,1") {
    QByteArray b = "\"RVN\",\"2.2\"\r\n" + line2 + "\r\n" + line3 + "\r\n" + day1 + "\r\n";
    b += "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"\"\r\n";
    for (int d = 2; d <= 31; ++d)
        b += QByteArray::number(d) + ",0\r\n\"\"\r\n";
    return b;
}

} // namespace

class TestLogbookFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2.2") << u"current.rvn"_s << u"current.rvn"_s;
        QTest::newRow("2.0 saved as 2.2") << u"current20.rvn"_s << u"current.rvn"_s;
        QTest::newRow("1.2 saved in the current layout") << u"older12.rvn"_s << u"older12-saved.rvn"_s;
        QTest::newRow("leap February, 31 blocks") << u"february.rvn"_s << u"february.rvn"_s;
    }
    void roundTrip() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        StoredLogbook log;
        const Result r = parseLogbook(logbookFixture(input), input, log);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(serializeLogbook(log), logbookFixture(expected));
    }

    void loadedValues() {
        StoredLogbook log;
        QVERIFY(parseLogbook(logbookFixture(u"current.rvn"_s), u"current.rvn"_s, log).ok());
        QCOMPARE(std::tuple(log.olderLayout, log.startOdometer, log.comments[4]),
                 std::tuple(false, 45678, u"Tárgyalás, szerződés aláírása"_s));
        QCOMPARE(log.stops[4], (QVector<Partner>{kBase, kGyor, kBase})); // 1 -> 7 -> 1 kept
        QCOMPARE(log.stops[5], QVector<Partner>{kFire}); // a comma inside an address
        QVERIFY(parseLogbook(logbookFixture(u"older12.rvn"_s), u"older12.rvn"_s, log).ok());
        QCOMPARE(std::pair(log.olderLayout, log.startOdometer), std::pair(true, 0));
        QCOMPARE(log.stops[4], (QVector<Partner>{kBase, kGyor, kBase})); // padding trimmed
    }

    void versions() {
        QVERIFY(isOlderLayoutVersion(u"1.2"_s) && !isOlderLayoutVersion(u"1.25"_s) && !isOlderLayoutVersion(u"1.0"_s));
        for (const QString& v : {u"0"_s, u"1.2"_s, u"2.0"_s, u"2.1"_s, u"2.2"_s})
            QVERIFY2(isReadableLogbookVersion(v), qPrintable(v));
        QVERIFY(!isReadableLogbookVersion(u"1.0"_s) && !isReadableLogbookVersion(u"2.3"_s));
    }

    void monthWithoutStops() {
        TestEnv env;
        env.loginCar();
        MonthLog m;
        m.year = 2026;
        m.month = 2;
        m.stopWidth = 1; // every stop deleted again: 31 empty blocks
        const QByteArray bytes = serializeLogbook(env.state, m);
        QVERIFY(bytes.endsWith("30,0\r\n\"\"\r\n31,0\r\n\"\"\r\n"));
        QCOMPARE(std::pair(bytes.count("\r\n"), bytes.count('\n')), std::pair(qsizetype(3 + 31 * 2), qsizetype(3 + 31 * 2)));

        env.state.month = m;
        env.state.month.stopWidth = 0; // never had a stop
        env.state.month.modified = true;
        QVERIFY(!SaveLogbook(env.state));
        QCOMPARE(env.prompter.last(), u"Nincs mit elmenteni."_s);
        QVERIFY(!QFile::exists(env.state.carPath(u"2026feb.rvn"_s)) && env.state.month.modified);
    }

    void unsafeTextsStillReadBack() {
        TestEnv env;
        MonthLog m = oneStopMonth(env.state);
        m.comments[0] = u"Egy \"idézet\"\r\nkét sorban"_s;
        StoredLogbook back;
        QVERIFY(parseLogbook(serializeLogbook(env.state, m), u"x.rvn"_s, back).ok());
        QCOMPARE(back.comments[0], u"Egy idézet két sorban"_s);
        QCOMPARE(back.comments[4], m.comments[4]);
    }

    void saveWritesTheMonthAndAFailedOneKeepsIt() {
        OpenMonth env;
        QVERIFY(SaveLogbook(env.state));
        QVERIFY(!env.state.month.modified);
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbookFixture(u"onestop-saved.rvn"_s));

        env.state.month.modified = true;
        env.state.carDir = u"Users/NINCS/"_s; // the directory is gone
        QVERIFY(!SaveLogbook(env.state));
        QVERIFY(env.state.month.modified);
        QCOMPARE(env.prompter.asked.last().icon, MsgIcon::Critical);
    }

    // Another program (a second copy, the command line) rewrote or created the month's file.
    void aFileChangedOnDiskIsAskedAbout() {
        OpenMonth env;
        env.state.month.onDisk = stampOf(env.state.carPath(u"2002jan.rvn"_s)); // a new month: no file yet
        const QByteArray other = logbookBytes(2002, 1, 999);
        env.write(u"Users/ABC123/2002jan.rvn"_s, other);
        env.prompter.answer(No);
        bool keptOther = false;
        QVERIFY(!SaveLogbook(env.state, &keptOther));
        QVERIFY(keptOther && env.state.month.modified);
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), other);
        QVERIFY(env.prompter.last().contains(QDir::toNativeSeparators(env.state.carPath(u"2002jan.rvn"_s))));
        QCOMPARE(env.prompter.asked.last().buttons, Yes | No | DefaultNo);

        env.prompter.answer(Yes);
        QVERIFY(SaveLogbook(env.state));
        QVERIFY(env.read(u"Users/ABC123/2002jan.rvn"_s).startsWith("\"RVN\",\"2.2\"\r\n2002,1,0\r\n0,1\r\n1,1\r\n"));
        const qsizetype asked = env.prompter.asked.size();
        QVERIFY(SaveLogbook(env.state) && env.prompter.asked.size() == asked); // its own last save is no change

        // Rewritten to the same length: the content tells.
        const QByteArray sameSize = env.read(u"Users/ABC123/2002jan.rvn"_s).replace("Budapest", "Budapesz");
        env.write(u"Users/ABC123/2002jan.rvn"_s, sameSize);
        env.prompter.answer(No);
        QVERIFY(!SaveLogbook(env.state));
        QCOMPARE(std::pair(env.prompter.asked.size(), env.read(u"Users/ABC123/2002jan.rvn"_s)), std::pair(asked + 1, sameSize));
    }

    // A month is known by its header: a file named for January that holds March is no January.
    void aNewMonthNeverOverwritesAnotherMonth() {
        OpenMonth env;
        const QByteArray march = logbookBytes(2002, 3, 10);
        env.write(u"Users/ABC123/2002JAN.rvn"_s, march);
        QVERIFY(SaveLogbook(env.state));
        QVERIFY(env.read(u"Users/ABC123/2002jan_2.rvn"_s).startsWith("\"RVN\",\"2.2\"\r\n2002,1,0\r\n"));
        QCOMPARE(std::pair(env.read(u"Users/ABC123/2002JAN.rvn"_s), env.state.month.fileName), std::pair(march, u"2002jan_2.rvn"_s));
    }

    // The program's own writes never read as another program's change: a partner change carried
    // into the open month, and a month saved while its season file could not be.
    void ownWritesNeverAskAboutAChange() {
        OpenMonth env;
        QVERIFY(SaveLogbook(env.state));
        const Partner renamed{u"Tűzoltóság"_s, kFire.city, kFire.address};
        env.state.partner(2) = renamed;
        QCOMPARE(carryPartnerChange(env.state, {u"2002jan.rvn"_s}, kFire, renamed).changes, 1);
        env.state.month.modified = true;
        QVERIFY(SaveLogbook(env.state));
        QVERIFY(env.prompter.asked.isEmpty());

        const QString season = env.path(u"Users/ABC123/honapok.rvd"_s);
        QVERIFY(QDir().mkpath(season)); // a folder in its place: the season cannot be written
        env.state.month.season = SeasonBox::Winter;
        env.state.month.comments[1] = u"Tankolás"_s; // the month's own bytes change with it
        QVERIFY(!SaveLogbook(env.state));
        QVERIFY(QDir(season).removeRecursively());
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.prompter.asked.size(), 1); // the failure, and no question after it
        QCOMPARE(env.read(u"Users/ABC123/honapok.rvd"_s), QByteArray("\"RVH\",1\r\n1\r\n2002,1,2,0,0\r\n"));
    }

    // The box is kept beside the month file, whose bytes do not change with it.
    void seasonKeptPerMonth() {
        OpenMonth env;
        const QString carDir = env.state.carPath(QString());
        const QString file = u"Users/ABC123/evszak.rvd"_s;
        const QString facts = u"Users/ABC123/honapok.rvd"_s; // where the box goes now
        QVERIFY(SaveLogbook(env.state));
        QVERIFY(!QFile::exists(env.path(facts)) && !QFile::exists(env.path(file))); // nothing ticked, nothing written
        const QByteArray monthBytes = env.read(u"Users/ABC123/2002jan.rvn"_s);

        env.state.month.season = SeasonBox::Winter;
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.read(facts), QByteArray("\"RVH\",1\r\n1\r\n2002,1,2,0,0\r\n"));
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), monthBytes);
        env.state.month.season = SeasonBox::None;
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.read(facts), QByteArray("\"RVH\",1\r\n0\r\n"));

        // The older file that held the boxes alone is read, strictly, while no honapok.rvd exists.
        // A damaged one is told with its file and line and kept aside; every line that is a whole
        // record by itself counts.
        QVERIFY(QFile::remove(env.path(facts)));
        struct Damage {
            QByteArray bytes;
            QString where;
            QVector<MonthFacts> readable;
        };
        const MonthFacts jan{2002, 1, SeasonBox::Winter}, mar{2002, 3, SeasonBox::AirConditioning};
        const QString name = u"evszak.rvd (%1. sor)"_s;
        for (const Damage& d : {Damage{"1\r\n2002,1,2\r\n2002,3,1\r\n", name.arg(3), {jan, mar}}, // a count too low
                                Damage{"3\r\n2002,1,2\r\n2002,3,1\r\n", name.arg(4), {jan, mar}}, // a count too high: the end comes early
                                Damage{"2\r\n2002,13,1\r\n2002,3,1\r\n", name.arg(2), {mar}},
                                Damage{"2\r\n2002,1,3\r\n2002,3,1\r\n", name.arg(2), {mar}}, // boxes are 1 and 2
                                Damage{"2\r\n2002,1,2\r\n2002,1,1\r\n", name.arg(3), {jan}}, // a month twice
                                Damage{"x", name.arg(1), {}}}) {
            env.write(file, d.bytes);
            const MonthFactsFile read = readMonthFacts(env.state.carGate(), carDir);
            QCOMPARE(read.months, d.readable);
            QVERIFY2(read.problem.message().contains(d.where), qPrintable(read.problem.message()));
            QVERIFY(read.problem.message().contains(u"evszak.rvd.hibas"_s));
            QCOMPARE(env.read(file + u".hibas"_s), d.bytes);
            QFile::remove(env.path(file + u".hibas"_s));
        }
    }

    void damagedFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::newRow("stop width 0") << smallFile("2002,3,0", "10,0") << 3;
        QTest::newRow("negative stop width") << smallFile("2002,3,0", "10,-4") << 3;
        QTest::newRow("more stops than the width") << smallFile("2002,3,0", "10,1", "1,2") << 4;
        QTest::newRow("negative count") << smallFile("2002,3,0", "10,1", "1,-1") << 4;
        QTest::newRow("letters for a number") << smallFile("2002,márc,0") << 2;
        QTest::newRow("month 13") << smallFile("2002,13,0") << 2;
        QTest::newRow("missing lines") << smallFile().left(smallFile().size() - 20) << 65;
        QTest::newRow("count promises more than the file")
            << QByteArray("\"RVN\",\"2.2\"\r\n2002,3,0\r\n10,32000\r\n1,32000\r\n\"A\"\r\n") << 4;
        QTest::newRow("empty file") << QByteArray() << 1;
    }
    void damagedFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        StoredLogbook log;
        log.year = 1999;
        const Result r = parseLogbook(bytes, u"/adat/2002mar.rvn"_s, log);
        QVERIFY(!r.ok());
        QVERIFY2(r.message().contains(u"/adat/2002mar.rvn (%1. sor)"_s.arg(line)), qPrintable(r.message()));
        QCOMPARE(log.year, 1999); // nothing half-filled
    }

    void headers() {
        LogbookHeader h;
        QVERIFY(parseLogbookHeader(logbookFixture(u"older12.rvn"_s), u"a"_s, h).ok());
        // The month's km is the first value of line 3, with no odometer on line 2. (Other files and
        // damaged headers: tst_monthlist.)
        QCOMPARE(std::tuple(h.isLogbook(), h.olderLayout, h.year, h.monthKm), std::tuple(true, true, 2002, 321));
    }
};

QTEST_GUILESS_MAIN(TestLogbookFile)
#include "tst_logbookfile.moc"
