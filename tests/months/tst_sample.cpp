#include "distancefixture.h"
#include "months/sample.h"

#include "model/cost.h"
#include "logbookfixtures.h"
#include "progressrecorder.h"
#include "storage/settings.h"
#include "testenv.h"

#include <QTest>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

std::array<bool, 8> only(std::initializer_list<int> weekdays) {
    std::array<bool, 8> w{};
    for (int d : weekdays)
        w[size_t(d)] = true;
    return w;
}
const auto kEveryDay = only({1, 2, 3, 4, 5, 6, 7});

const QString kTooFar = u"Túl nagyok a távolságok, nem sikerült\r\na hibakorláton belül megközelíteni a kívánt távolságot."_s;
const QString kTooShort = u"Nagyon kicsik a megadott távolságok: egyik próbálkozásban sem ért vissza minden nap "
                           u"legfeljebb 49 megállóval a céghez, ezért nem készült minta.\r\nA „Pontos km-cél” "
                           u"jelölővel a kért km kevesebb napra is kerülhet."_s;

} // namespace

class TestSample : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    ProgressRecorder progress;

    void partners(int n) { setPartners(env->state, n); }
    void link(int i, int j, int there, int back = -1) { setLink(env->state, i, j, there, back); }
    SampleOutcome run(int year, int month, int target, std::array<bool, 8> weekdays = SampleRequest::defaultWeekdays(),
                      bool holidays = false) {
        progress = ProgressRecorder{};
        env->prompter.clear();
        return MintaKeszites(env->state, SampleRequest{year, month, target, weekdays, holidays}, progress);
    }
    QVector<int> day(int d) const { return stopsOfDay(env->state.month, d); }
    QStringList texts() const { return env->prompter.texts(); }

private slots:
    void init() { env = std::make_unique<TestEnv>(); }

    void settingsAndLimit() {
        const std::pair<QString, int> tolerances[] = {{QString(), 1100}, {u"0"_s, 1100}, {u"25 százalék"_s, 1250},
                                                      {u"30"_s, 1299}}; // single precision, truncated
        for (const auto& [text, limit] : tolerances) {
            env->settings->setText(keys::Tolerance, text);
            QCOMPARE(sampleLimit(1000, sampleSettings(env->state.settings).factor), limit);
        }
        const std::pair<QString, int> tries[] = {{u"0"_s, 100}, {u"2.5"_s, 2}, {u"3.5"_s, 4}, {u"sok"_s, 100}};
        for (const auto& [text, expected] : tries) {
            env->settings->setText(keys::Tries, text);
            QCOMPARE(sampleSettings(env->state.settings).tries, expected);
        }
    }

    void workingDays() {
        const auto weekdays = SampleRequest::defaultWeekdays();
        // 1 May is a Friday, Whit Monday the 25th.
        const QVector<int> may = sampleWorkingDays(2026, 5, weekdays, false);
        QVERIFY(may.size() == 19 && !may.contains(1) && !may.contains(2) && may.contains(4) && !may.contains(25));
        // Holidays as working days; a Sunday stays free.
        QVERIFY(sampleWorkingDays(2026, 5, weekdays, true).contains(1) && !sampleWorkingDays(2026, 3, weekdays, true).contains(15));
        // Every day but the 25th and 26th of December.
        QCOMPARE((std::tuple{sampleWorkingDays(2028, 2, kEveryDay, false).size(), sampleWorkingDays(2026, 2, kEveryDay, false).size(),
                             sampleWorkingDays(2026, 12, kEveryDay, false).size()}),
                 (std::tuple{qsizetype(29), qsizetype(28), qsizetype(29)}));
    }

    // Target 1000 at 10 %: every day is 1 -> 2 -> 1, 1100 km in all succeeds, 1101 fails.
    void limitIsInclusive_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("out");
        QTest::addColumn<int>("back");
        QTest::newRow("1100 succeeds") << 4 << 125 << 150;
        QTest::newRow("1101 fails") << 3 << 167 << 200;
    }
    void limitIsInclusive() {
        QFETCH(int, days);
        QFETCH(int, out);
        QFETCH(int, back);
        const bool succeeds = days * (out + back) == 1100;
        env->settings->setText(keys::Tries, u"5"_s);
        partners(2);
        link(1, 2, out, back);
        const MonthLog& m = env->state.month;
        int year = 2020, month = 1; // a month with exactly `days` working Mondays
        while (sampleWorkingDays(year, month, only({2}), false).size() != days)
            std::tie(year, month) = month == 12 ? std::pair{year + 1, 1} : std::pair{year, month + 1};
        QCOMPARE(run(year, month, 1000, only({2})), SampleOutcome::Generated);
        QCOMPARE((std::tuple{m.monthKm, m.stopWidth, m.month, progress.maximum, progress.value}),
                 (std::tuple{days * (out + back), 3, month, 5, 0}));
        if (succeeds) {
            QVERIFY(texts().isEmpty());
            // One try; the try number is then set to N and no failed total is shown.
            QCOMPARE(progress.statuses, (QStringList{u"Minta készítése... (1/5 0 km)"_s, u"Minta készítése... (5/5 0 km)"_s}));
        } else {
            QCOMPARE(texts(), QStringList{kTooFar}); // N - 1 tries
            QCOMPARE(std::pair(progress.statuses.size(), progress.statuses.last()),
                     std::pair(qsizetype(1 + 4), u"Minta készítése... (5/5 1\u00A0101 km)"_s)); // a window's text: grouped
        }
    }

    void generatedMonthsKeepTheRules() {
        for (unsigned seed = 1; seed <= 60; ++seed) {
            env = std::make_unique<TestEnv>();
            env->random = MersenneRandom(seed);
            partners(40); // sparse: each partner links to about three others
            std::mt19937 gen(seed);
            for (int i = 1; i <= 40; ++i)
                for (int k = 0; k < 3; ++k)
                    if (const int j = int(gen() % 40) + 1; j != i)
                        link(i, j, 5 + int(gen() % 76));
            for (int p = 2; p <= 6; ++p)
                link(1, p, 10 * p);
            const int target = 1500 + int(seed) * 20;
            const bool holidays = seed % 2 == 0;
            QCOMPARE(run(2026, 5, target, SampleRequest::defaultWeekdays(), holidays), SampleOutcome::Generated);
            const MonthLog& m = env->state.month;
            if (texts().isEmpty())
                QVERIFY2(m.monthKm <= target + target / 10, qPrintable(QString::number(seed)));
            const QVector<int> working = sampleWorkingDays(2026, 5, SampleRequest::defaultWeekdays(), holidays);
            int widest = 0;
            qint64 monthKm = 0;
            for (int d = 1; d <= kLogDays; ++d) {
                const QVector<int> stops = day(d);
                widest = std::max(widest, int(stops.size()));
                QCOMPARE(!stops.isEmpty(), working.contains(d));
                if (stops.isEmpty())
                    continue;
                QVERIFY(stops.first() == 1 && (stops.size() == 50 || stops.last() == 1));
                int dayKm = 0;
                for (int k = 1; k < stops.size(); ++k) {
                    QVERIFY(env->state.distances.at(stops[k - 1], stops[k]).distance >= 1);
                    dayKm += env->state.distances.at(stops[k - 1], stops[k]).distance;
                }
                QCOMPARE(int(m.dayKm[size_t(d - 1)]), dayKm);
                monthKm += dayKm;
            }
            QCOMPARE(std::pair(m.stopWidth, qint64(m.monthKm)), std::pair(widest, monthKm));
        }
    }

    void leapFebruaryAndSmallDistances() {
        partners(3);
        link(1, 2, 20);
        link(2, 3, 20);
        link(3, 1, 20);
        run(2028, 2, 300, kEveryDay);
        QVERIFY(!day(29).isEmpty() && day(30).isEmpty());

        // No day gets back to partner 1 within 49 stops: no month is made of such days.
        env->settings->setText(keys::Tries, u"3"_s);
        link(1, 2, 1);
        link(2, 3, 1);
        link(3, 1, 0);
        env->state.month.year = 1999;
        QCOMPARE(run(2026, 3, 20000), SampleOutcome::DaysCut);
        QCOMPARE(std::pair(texts(), env->state.month.year), std::pair(QStringList{kTooShort}, 1999));
    }

    void equalFailedTriesKeepTheFirst() {
        // Every day is 1 -> 2 -> 1 or 1 -> 3 -> 1, 20 km either way: all tries fail alike, so the
        // partners drawn by the first try must remain.
        env->settings->setText(keys::Tries, u"10"_s);
        partners(3);
        link(1, 2, 10);
        link(1, 3, 10);
        run(2026, 3, 10);
        QCOMPARE(texts(), QStringList{kTooFar});
        MersenneRandom replay(12345); // the first try draws among all three until one is in reach
        for (int d : sampleWorkingDays(2026, 3, SampleRequest::defaultWeekdays(), false)) {
            int p = 0;
            while (p != 2 && p != 3)
                p = int(std::floor(3.0f * replay.next())) + 1;
            QCOMPARE(day(d), (QVector<int>{1, p, 1}));
        }
    }

    void refusalsLeaveTheMonthAlone() {
        partners(4);
        env->state.month.year = 1999;
        env->prompter.answer(No);
        QCOMPARE(run(2026, 1, 500), SampleOutcome::FallbackDeclined);
        link(1, 2, 10);
        QCOMPARE(run(2026, 5, 500, {}), SampleOutcome::NoWorkingDays);
        QCOMPARE(std::pair(texts().size(), env->state.month.year), std::pair(qsizetype(1), 1999));
    }

    void deadEndsDoNotHang() {
        partners(3);
        link(2, 3, 15); // partner 1 reaches nobody
        QVERIFY(run(2026, 4, 800) == SampleOutcome::Generated && texts().size() == 1 && texts().first().contains(u"Partner 1 - Város"_s));
        QCOMPARE(std::pair(day(1), env->state.month.monthKm), std::pair(QVector<int>{1}, 0));

        // Nothing leads away from 2: the tries whose days get stuck there are dropped; once the daily
        // target comes down to 30 km the days return at once (over the 0 km leg, as partner 1 reaches 2).
        partners(2);
        link(1, 2, 15, 0);
        QVERIFY(run(2026, 4, 800) == SampleOutcome::Generated && texts().size() == 1 && texts().first().contains(u"Partner 2 - Város"_s));
        QCOMPARE(day(1), (QVector<int>{1, 2, 1}));
    }

    void fallbackWithoutDistances() {
        partners(2);
        QCOMPARE(run(2028, 2, 500), SampleOutcome::Generated);
        QCOMPARE(texts(), QStringList{u"Nincs megadava a távolság semelyik két partner között.\r\n"
                                      u"Kívánja így létrehozni a minta-nyilvántartást?"_s});
        QCOMPARE(std::pair(env->prompter.asked.last().buttons, env->state.month.stopWidth), std::pair(Yes | No, 5));
        for (int d = 1; d <= 29; ++d) // weekends too, and the leap day
            QCOMPARE(day(d), (QVector<int>{1, 2, 1, 2, 1}));
        QVERIFY(day(30).isEmpty());
    }

    void fallbackDrawsStayAmongThePartners() {
        // The largest draw rounds Int(1 * Rnd + 2) up to 3 in single precision: a partner that
        // does not exist when there are two.
        struct Extremes : Random {
            int i = 0;
            float next() override { return i++ % 3 == 1 ? 0.0f : 0.99999994f; }
        } extremes;
        env->state.random = &extremes;
        partners(2);
        run(2026, 4, 500);
        for (int d = 1; d <= 30; ++d)
            QCOMPARE(day(d), (QVector<int>{1, 2, 1, 2, 1}));
    }
};

QTEST_GUILESS_MAIN(TestSample)
#include "tst_sample.moc"
