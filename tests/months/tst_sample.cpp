#include "months/sample.h"

#include "editor/cost.h"
#include "logbookfixtures.h"
#include "progressrecorder.h"
#include "storage/settings.h"
#include "testenv.h"

#include <QTest>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

void setPartners(AppState& s, int n) {
    s.partners.clear();
    for (int i = 1; i <= n; ++i)
        s.partners.append(Partner{u"Partner %1"_s.arg(i), u"Város"_s, QString()});
    s.distances.reset(n);
}

void link(AppState& s, int i, int j, int there, int back) {
    s.distances.at(i, j).distance = qint16(there);
    s.distances.at(j, i).distance = qint16(back);
}
void link(AppState& s, int i, int j, int km) { link(s, i, j, km, km); }

SampleRequest request(int year, int month, int target, std::array<bool, 8> weekdays = SampleRequest::defaultWeekdays()) {
    SampleRequest r;
    r.year = year;
    r.month = month;
    r.target = target;
    r.weekdays = weekdays;
    return r;
}

std::array<bool, 8> only(std::initializer_list<int> weekdays) {
    std::array<bool, 8> w{};
    for (int d : weekdays)
        w[size_t(d)] = true;
    return w;
}

const QString kTooFar = u"Túl nagyok a távolságok, nem sikerült\r\na hibakorláton belül megközelíteni a kívánt távolságot."_s;
const QString kTooShort = u"Nagyon kicsik a megadott távolságok,\r\nezért kevesebb az összes km a vártnál."_s;

// A month with exactly `count` Mondays that are working days.
SampleRequest monthOfMondays(int count, int target) {
    for (int year = 2020; year < 2040; ++year)
        for (int month = 1; month <= 12; ++month)
            if (sampleWorkingDays(year, month, only({2}), false).size() == count)
                return request(year, month, target, only({2}));
    qFatal("no such month");
}

} // namespace

class TestSample : public QObject {
    Q_OBJECT
private slots:
    void settingsAndLimit() {
        TestEnv env;
        QCOMPARE(sampleLimit(1000, sampleSettings(env.state.settings).factor), 1100);
        const std::pair<QString, float> tolerances[] = {{u"0"_s, 1.1f}, {u"25 százalék"_s, 1.25f}};
        for (const auto& [text, factor] : tolerances) {
            env.settings->setText(keys::Tolerance, text);
            QCOMPARE(sampleSettings(env.state.settings).factor, factor);
        }
        env.settings->setText(keys::Tolerance, u"30"_s);
        QCOMPARE(sampleLimit(1000, sampleSettings(env.state.settings).factor), 1299);

        const std::pair<QString, int> tries[] = {{u"0"_s, 100}, {u"2.5"_s, 2}, {u"3.5"_s, 4}, {u"sok"_s, 100}};
        for (const auto& [text, expected] : tries) {
            env.settings->setText(keys::Tries, text);
            QCOMPARE(sampleSettings(env.state.settings).tries, expected);
        }
    }

    void workingDays() {
        const auto weekdays = SampleRequest::defaultWeekdays();
        const QVector<int> may = sampleWorkingDays(2026, 5, weekdays, false); // the 1st is a holiday Friday
        QCOMPARE(may.size(), 20);
        QVERIFY(!may.contains(1) && !may.contains(2) && may.contains(4));
        QVERIFY(sampleWorkingDays(2026, 5, weekdays, true).contains(1));
        QVERIFY(!sampleWorkingDays(2026, 3, weekdays, true).contains(15)); // a Sunday stays free
        const auto all = only({1, 2, 3, 4, 5, 6, 7});
        QCOMPARE(sampleWorkingDays(2028, 2, all, false).size(), 29);
        QCOMPARE(sampleWorkingDays(2026, 2, all, false).size(), 28);
        QCOMPARE(sampleWorkingDays(2026, 12, all, false).size(), 29); // 25th and 31st
    }

    void limitIsInclusive_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("out");
        QTest::addColumn<int>("back");
        QTest::addColumn<bool>("succeeds");
        // Target 1000 at 10 %: every day is 1 -> 2 -> 1.
        QTest::newRow("1100 succeeds") << 4 << 125 << 150 << true;
        QTest::newRow("1101 fails") << 3 << 167 << 200 << false;
    }
    void limitIsInclusive() {
        QFETCH(int, days);
        QFETCH(int, out);
        QFETCH(int, back);
        QFETCH(bool, succeeds);
        TestEnv env;
        env.settings->setText(keys::Tries, u"5"_s);
        setPartners(env.state, 2);
        link(env.state, 1, 2, out, back);
        env.state.month.startOdometer = 99999; // left over from an earlier month
        env.state.month.comments[3] = u"régi hónap"_s;
        env.state.month.fileName = u"2001dec.rvn"_s;
        const SampleRequest r = monthOfMondays(days, 1000);
        ProgressRecorder progress;
        QCOMPARE(MintaKeszites(env.state, r, progress), SampleOutcome::Generated);
        const MonthLog& m = env.state.month;
        QCOMPARE(m.monthKm, days * (out + back));
        QCOMPARE(m.stopWidth, 3);
        QCOMPARE(m.month, r.month);
        QCOMPARE(m.startOdometer, 0);
        QVERIFY(m.comments[3].isEmpty());
        QVERIFY(m.fileName.isEmpty());
        QCOMPARE(progress.value, 0);
        if (succeeds) {
            QVERIFY(env.prompter.asked.isEmpty());
            // One try; the try number is then set to N and no failed total is shown.
            QCOMPARE(progress.statuses, (QStringList{u"Minta készítése... (1/5 0 km)"_s, u"Minta készítése... (5/5 0 km)"_s}));
        } else {
            QCOMPARE(env.prompter.texts(), QStringList{kTooFar});
            QCOMPARE(progress.statuses.size(), 1 + 4); // N - 1 tries
            QCOMPARE(progress.statuses.last(), u"Minta készítése... (5/5 1101 km)"_s);
        }
    }

    void generatedMonthsKeepTheRules() {
        for (unsigned seed = 1; seed <= 60; ++seed) {
            TestEnv env;
            env.random = MersenneRandom(seed);
            setPartners(env.state, 40); // sparse: each partner links to about three others
            std::mt19937 gen(seed);
            for (int i = 1; i <= 40; ++i)
                for (int k = 0; k < 3; ++k)
                    if (const int j = int(gen() % 40) + 1; j != i)
                        link(env.state, i, j, 5 + int(gen() % 76));
            for (int p = 2; p <= 6; ++p)
                link(env.state, 1, p, 10 * p);
            SampleRequest r = request(2026, 5, 1500 + int(seed) * 20);
            r.holidays = seed % 2 == 0;
            ProgressRecorder progress;
            QCOMPARE(MintaKeszites(env.state, r, progress), SampleOutcome::Generated);
            const MonthLog& m = env.state.month;
            const QVector<int> working = sampleWorkingDays(2026, 5, r.weekdays, r.holidays);
            if (env.prompter.asked.isEmpty())
                QVERIFY2(m.monthKm <= sampleLimit(r.target, 1.1f), qPrintable(QString::number(seed)));
            int widest = 0;
            for (int day = 1; day <= kLogDays; ++day) {
                const QVector<int> stops = stopsOfDay(m, day);
                widest = std::max(widest, int(stops.size()));
                QCOMPARE(!stops.isEmpty(), working.contains(day));
                if (stops.isEmpty())
                    continue;
                QCOMPARE(stops.first(), 1);
                if (stops.size() < 50)
                    QCOMPARE(stops.last(), 1);
                for (int k = 1; k < stops.size(); ++k)
                    QVERIFY(env.state.distances.at(stops[k - 1], stops[k]).distance >= 1);
            }
            QCOMPARE(m.stopWidth, widest);
            MonthLog copy = m;
            refreshKilometres(env.state, copy);
            QCOMPARE(copy.monthKm, m.monthKm);
            QCOMPARE(copy.dayKm, m.dayKm);
        }
    }

    void leapFebruaryHasItsTwentyNinth() {
        TestEnv env;
        setPartners(env.state, 3);
        link(env.state, 1, 2, 20);
        link(env.state, 2, 3, 20);
        link(env.state, 3, 1, 20);
        ProgressRecorder progress;
        MintaKeszites(env.state, request(2028, 2, 300, only({1, 2, 3, 4, 5, 6, 7})), progress);
        QVERIFY(!stopsOfDay(env.state.month, 29).isEmpty());
        QVERIFY(stopsOfDay(env.state.month, 30).isEmpty());
    }

    void smallDistancesFillFiftyColumns() {
        TestEnv env;
        env.settings->setText(keys::Tries, u"3"_s);
        setPartners(env.state, 3);
        link(env.state, 1, 2, 1);
        link(env.state, 2, 3, 1);
        ProgressRecorder progress;
        MintaKeszites(env.state, request(2026, 3, 20000), progress);
        QCOMPARE(env.prompter.texts(), QStringList{kTooShort});
        QCOMPARE(env.state.month.stopWidth, 50);
        QCOMPARE(stopsOfDay(env.state.month, 2).size(), 50);
        QCOMPARE(env.state.month.monthKm, 22 * 49);
    }

    void equalFailedTriesKeepTheFirst() {
        // Every day is 1 -> 2 -> 1 or 1 -> 3 -> 1, 20 km either way: all tries fail alike, so the
        // partners drawn by the first try must remain.
        TestEnv env;
        env.settings->setText(keys::Tries, u"10"_s);
        setPartners(env.state, 3);
        link(env.state, 1, 2, 10);
        link(env.state, 1, 3, 10);
        const SampleRequest r = request(2026, 3, 10);
        ProgressRecorder progress;
        MintaKeszites(env.state, r, progress);
        QCOMPARE(env.prompter.texts(), QStringList{kTooFar});
        MersenneRandom replay(12345); // the first try draws among all three until one is in reach
        for (int day : sampleWorkingDays(2026, 3, r.weekdays, false)) {
            int p = 0;
            while (p != 2 && p != 3)
                p = int(std::floor(3.0f * replay.next())) + 1;
            QCOMPARE(stopsOfDay(env.state.month, day), (QVector<int>{1, p, 1}));
        }
    }

    void refusalsLeaveTheMonthAlone() {
        TestEnv env;
        setPartners(env.state, 4);
        env.state.month.year = 1999;
        ProgressRecorder progress;
        env.prompter.answer(No);
        QCOMPARE(MintaKeszites(env.state, request(2026, 1, 500), progress), SampleOutcome::FallbackDeclined);
        link(env.state, 1, 2, 10);
        QCOMPARE(MintaKeszites(env.state, request(2026, 5, 500, {}), progress), SampleOutcome::NoWorkingDays);
        QCOMPARE(env.prompter.asked.size(), 2);
        QCOMPARE(env.state.month.year, 1999);
    }

    void deadEndsDoNotHang() {
        TestEnv env;
        setPartners(env.state, 3);
        link(env.state, 2, 3, 15); // partner 1 reaches nobody
        ProgressRecorder progress;
        QCOMPARE(MintaKeszites(env.state, request(2026, 4, 800), progress), SampleOutcome::Generated);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().contains(u"Partner 1 - Város"_s));
        QCOMPARE(stopsOfDay(env.state.month, 1), QVector<int>{1});
        QCOMPARE(env.state.month.monthKm, 0);

        setPartners(env.state, 2);
        link(env.state, 1, 2, 15, 0); // nothing leads away from 2
        env.prompter.clear();
        MintaKeszites(env.state, request(2026, 4, 800), progress);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().contains(u"Partner 2 - Város"_s));
        QCOMPARE(stopsOfDay(env.state.month, 1), (QVector<int>{1, 2}));
    }

    void fallbackWithoutDistances() {
        TestEnv env;
        setPartners(env.state, 2);
        ProgressRecorder progress;
        QCOMPARE(MintaKeszites(env.state, request(2028, 2, 500), progress), SampleOutcome::Generated);
        QCOMPARE(env.prompter.last(), u"Nincs megadava a távolság semelyik két partner között.\r\n"
                                      u"Kívánja így létrehozni a minta-nyilvántartást?"_s);
        QCOMPARE(env.prompter.asked.last().buttons, Yes | No);
        QCOMPARE(env.state.month.stopWidth, 5);
        for (int day = 1; day <= 29; ++day) // weekends too, and the leap day
            QCOMPARE(stopsOfDay(env.state.month, day), (QVector<int>{1, 2, 1, 2, 1}));
        QVERIFY(stopsOfDay(env.state.month, 30).isEmpty());

        setPartners(env.state, 6);
        MintaKeszites(env.state, request(2026, 1, 500), progress);
        for (int day = 1; day <= 31; ++day) {
            const QVector<int> s = stopsOfDay(env.state.month, day);
            QCOMPARE(s.size(), 5);
            QVERIFY(s[1] >= 2 && s[3] >= 2 && s[1] != s[2] && s[2] != s[3]);
        }
    }

    void fallbackDrawsStayAmongThePartners() {
        // The largest draw rounds Int(1 * Rnd + 2) up to 3 in single precision: a partner that
        // does not exist when there are two.
        struct Extremes : Random {
            int i = 0;
            float next() override { return i++ % 3 == 1 ? 0.0f : 0.99999994f; }
        } extremes;
        TestEnv env;
        env.state.random = &extremes;
        setPartners(env.state, 2);
        ProgressRecorder progress;
        QCOMPARE(MintaKeszites(env.state, request(2026, 4, 500), progress), SampleOutcome::Generated);
        for (int day = 1; day <= 30; ++day)
            QCOMPARE(stopsOfDay(env.state.month, day), (QVector<int>{1, 2, 1, 2, 1}));
    }
};

QTEST_GUILESS_MAIN(TestSample)
#include "tst_sample.moc"
