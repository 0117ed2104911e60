#include "model/chain.h"
#include "model/monthfacts.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// Three months as a chain sees them, with their facts.
struct ThreeMonths : MonthHistory {
    QVector<Start> starts() const override { return {{2024, 1, 10000}, {2024, 2, 11500}, {2024, 3, 12500}}; }
    std::optional<qint64> legKm(int, int month) const override { return month == 1 ? 1000 : month == 2 ? 800 : 600; }
    MonthFacts facts(int year, int month) const override {
        if (month == 1)
            return MonthFacts{year, month, SeasonBox::None, 0, 11500}; // read off the odometer
        if (month == 2)
            return MonthFacts{year, month, SeasonBox::None, 200, 0}; // typed
        return MonthFacts{year, month};
    }
};

class TestMonthFacts : public QObject {
    Q_OBJECT
    static constexpr SeasonBox None = SeasonBox::None;

private slots:
    // 10 000 at the start, 1 200 km of legs, 11 500 at the end: 300 km private. 10 900 at the
    // end lies 300 km below 11 200: a fault naming the three figures, no private km.
    void privateKmFromTheClosingReading() {
        const MonthOdometer real = monthOdometer(10000, 1200, MonthFacts{2024, 3, None, 0, 11500});
        QCOMPARE(std::tuple(real.privateKm, real.closing, real.realClosing, real.fault), std::tuple(qint64(300), qint64(11500), true, QString()));
        const MonthOdometer typed = monthOdometer(10000, 1200, MonthFacts{2024, 3, None, 300, 0});
        QCOMPARE(std::pair(typed.closing, typed.realClosing), std::pair(qint64(11500), false));
        QCOMPARE(monthOdometer(10000, 1200, MonthFacts{}).closing, 11200); // no facts: no private km

        const MonthOdometer low = monthOdometer(10000, 1200, MonthFacts{2024, 3, None, 0, 10900});
        QCOMPARE(low.privateKm, 0);
        for (const QString& figure : {u"10\u00A0900 km"_s, u"10\u00A0000 km"_s, u"1\u00A0200 km"_s})
            QVERIFY2(low.fault.contains(figure), qPrintable(low.fault));
        QVERIFY(monthOdometer(10000, 1200, MonthFacts{2024, 3, None, 0, 11200}).fault.isEmpty()); // none private
        const MonthOdometer noStart = monthOdometer(0, 1200, MonthFacts{2024, 3, None, 0, 500});
        QVERIFY(noStart.fault.isEmpty() && noStart.privateKm == 0); // nothing to take it from
    }

    // January 10 000 + 1 000 km, read 11 500 at its end (500 private); February from 11 500 with
    // 800 km and 200 private typed: 12 500; March from 12 500 with 600 km and nothing: 13 100.
    void chainFollowsTheRealOdometer() {
        const ThreeMonths h;
        const auto jan = previousReading(h, 2024, 2);
        QVERIFY(jan);
        QCOMPARE(std::pair(jan->privateKm, jan->closing()), std::pair(qint64(500), qint64(11500)));
        QCOMPARE(chainFault(11500, jan), QString()); // the real reading chains, no fault
        QVERIFY(!chainFault(11000, jan).isEmpty());   // start + business alone no longer does
        QCOMPARE(chainFault(11501, jan), u"A havi kezdő km-óra állás (11\u00A0501 km) nem egyezik az előző hónap "
                                         u"(2024. január) záró állásával (11\u00A0500 km)."_s); // above is a break too
        const auto feb = previousReading(h, 2024, 3);
        QCOMPARE(std::pair(feb->closing(), chainedStart(feb)), std::pair(qint64(12500), qint32(12500)));
        QCOMPARE(closingReadingText(*feb), u"12500 km"_s);
        QCOMPARE(previousReading(h, 2024, 4)->closing(), 13100);
        QCOMPARE(closingReadingText(MonthReading{2024, 5, 0, 100}), u"–"_s); // no start, no closing
    }

    // 1 200 of 1 500 km is 80,0 %; 2 of 3 is 66,66… → 66,7; 1 of 8 is 12,5 exactly; 1 of 2 000
    // is 0,05 → 0,1 (half up).
    void businessShare() {
        QCOMPARE((QStringList{businessShareText(1200, 300), businessShareText(2, 1), businessShareText(1, 7),
                              businessShareText(1, 1999), businessShareText(500, 0), businessShareText(0, 0)}),
                 (QStringList{u"80,0 %"_s, u"66,7 %"_s, u"12,5 %"_s, u"0,1 %"_s, u"100,0 %"_s, u"–"_s}));
    }

    void fileBytesBothWays() {
        const QByteArray bytes = "\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n2024,3,2,0,15230\r\n";
        const QVector<MonthFacts> months{{2024, 1, None, 120, 0}, {2024, 3, SeasonBox::Winter, 0, 15230}};
        QCOMPARE(serializeMonthFacts(months + QVector<MonthFacts>{{2024, 5}}), bytes); // a blank month has no line
        QVector<MonthFacts> read;
        QVERIFY(parseMonthFacts(bytes, u"honapok.rvd"_s, read).ok());
        QCOMPARE(read, months);
    }

    // Each damage is told at its line; the whole lines are kept.
    void damageIsToldAtItsLine() {
        const std::pair<QByteArray, int> cases[] = {
            {"\"RVS\",1\r\n0\r\n", 1},                                      // another file
            {"\"RVH\",2\r\n0\r\n", 1},                                      // a later version
            {"\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n", 2},                    // fewer months than counted
            {"\"RVH\",1\r\n1\r\n2024,1,0,120,0\r\n2024,2,0,5,0\r\n", 4},    // more than counted
            {"\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n2024,2,0,5,900\r\n", 4},  // both figures
            {"\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n2024,13,0,5,0\r\n", 4},   // no such month
            {"\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n2024,1,1,0,0\r\n", 4},    // a month twice
            {"\"RVH\",1\r\n2\r\n2024,1,0,120,0\r\n2024,2,0,-5,0\r\n", 4},   // negative km
        };
        for (const auto& [bytes, line] : cases) {
            QVector<MonthFacts> read;
            const Result r = parseMonthFacts(bytes, u"honapok.rvd"_s, read);
            QVERIFY2(r.message().contains(u"honapok.rvd (%1. sor)"_s.arg(line)), qPrintable(r.message()));
            if (line == 4)
                QCOMPARE(read.value(0), (MonthFacts{2024, 1, None, 120, 0}));
        }
    }

    // A car with only the older season file reads its boxes from it; the first save writes the
    // new file with them and leaves the older one as it was. A damaged new file is told with its
    // line and kept aside, its whole lines still count.
    void onDisk() {
        TestEnv env;
        const QString car = env.path(u"Users/P1"_s);
        const QByteArray seasons = "2\r\n2023,12,2\r\n2024,7,1\r\n";
        env.write(u"Users/P1/evszak.rvd"_s, seasons);
        const QString dataDir = env.state.programDir;
        MonthFactsFile file = readMonthFacts(WriteGate::open(dataDir), car);
        QVERIFY(file.problem.ok());
        QCOMPARE(std::pair(file.of(2023, 12).box, file.of(2024, 3)), std::pair(SeasonBox::Winter, MonthFacts{2024, 3}));

        QVERIFY(saveMonthFacts(WriteGate::open(dataDir), car, MonthFacts{2024, 3, None, 0, 15230}).ok());
        QCOMPARE(env.read(u"Users/P1/honapok.rvd"_s),
                 QByteArray("\"RVH\",1\r\n3\r\n2023,12,2,0,0\r\n2024,3,0,0,15230\r\n2024,7,1,0,0\r\n"));
        QCOMPARE(env.read(u"Users/P1/evszak.rvd"_s), seasons);
        QVERIFY(saveMonthFacts(WriteGate::open(dataDir), car, MonthFacts{2024, 7}).ok()); // blank: its line goes
        QCOMPARE(readMonthFacts(WriteGate::open(dataDir), car).months.size(), 2);

        const QByteArray damaged = "\"RVH\",1\r\n2\r\n2024,3,0,0,15230\r\n2024,4,x\r\n";
        env.write(u"Users/P1/honapok.rvd"_s, damaged);
        file = readMonthFacts(WriteGate::open(dataDir), car);
        QVERIFY2(file.problem.message().contains(u"honapok.rvd (4. sor)"_s) && file.problem.message().contains(u"honapok.rvd.hibas"_s),
                 qPrintable(file.problem.message()));
        QCOMPARE(std::pair(file.of(2024, 3).closing, env.read(u"Users/P1/honapok.rvd.hibas"_s)), std::pair(15230, damaged));
    }
};

QTEST_GUILESS_MAIN(TestMonthFacts)
#include "tst_monthfacts.moc"
