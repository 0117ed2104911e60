#include "distancefixture.h"
#include "months/targetsample.h"

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

const std::array<bool, 8> kMondays = {false, false, true, false, false, false, false, false};

struct Case {
    QList<QList<int>> legs; // {i, j, km} both ways, or {i, j, there, back}
    int target;
    QString tolerance;
    bool mondays; // March 2026 has five, else Monday to Friday (22)
    int days;     // trip days made, 0: none
    int width;
    QString reason;
};

} // namespace

class TestTargetSample : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

    void partners(int n) { setPartners(env->state, n); }
    void link(int i, int j, int there, int back = -1) { setLink(env->state, i, j, there, back); }
    ExactSampleResult run(int target, std::array<bool, 8> weekdays = SampleRequest::defaultWeekdays()) {
        ProgressRecorder progress;
        return PontosMintaKeszites(env->state, SampleRequest{2026, 3, target, weekdays}, progress);
    }
    QVector<QVector<int>> stops() const {
        QVector<QVector<int>> days;
        for (int d = 1; d <= kLogDays; ++d)
            days << stopsOfDay(env->state.month, d);
        return days;
    }

    // Every rule of a generated March 2026, checked from the stops alone; its trip days.
    QVector<int> checkRules(int target) {
        const MonthLog& m = env->state.month;
        QVector<int> days;
        int widest = 0, firstHalf = 0;
        for (int d = 1; d <= kLogDays; ++d) {
            const QVector<int> day = stopsOfDay(m, d);
            if (day.isEmpty())
                continue;
            days << d;
            widest = std::max(widest, int(day.size()));
            firstHalf += d <= 15;
            if (day.size() < 3 || day.size() > 50 || day.first() != 1 || day.last() != 1)
                return {};
            for (int k = 1; k < day.size(); ++k)
                if (day[k] == day[k - 1] || env->state.distances.at(day[k - 1], day[k]).distance < 1)
                    return {};
        }
        MonthLog copy = m;
        refreshKilometres(env->state, copy);
        const int n = int(days.size());
        const bool ok = m.stopWidth == widest && copy.monthKm == m.monthKm && copy.dayKm == m.dayKm &&
                        m.monthKm >= target && m.monthKm <= exactLimit(target, exactTolerance(env->state.settings)) &&
                        (n == 1 || (3 * firstHalf <= 2 * n && 3 * (n - firstHalf) <= 2 * n));
        return ok ? days : QVector<int>{};
    }

private slots:
    void init() { env = std::make_unique<TestEnv>(); }

    void monthsAndReasons_data() {
        QTest::addColumn<Case>("c");
        const QList<QList<int>> triangle{{1, 2, 10}, {1, 3, 10}, {2, 3, 10}}; // 49 legs close: 490 km
        // Rounds of 170, 240 and twice 405 km (the triangle either way), the middle one 405 km: about
        // four days; four days between 188 and 750 km reach 1500-1650 only as 4 x 405.
        QTest::newRow("far partners") << Case{{{1, 2, 85}, {1, 3, 120}, {2, 3, 200}}, 1500, u"10"_s, false, 4, 4, {}};
        // One round a day at most. 1000 km at 5 % allows 1050; at 0 % exactly 1000.
        QTest::newRow("exactly the target") << Case{{{1, 2, 500}}, 1000, u"10"_s, false, 1, 3, {}};
        QTest::newRow("exactly the limit") << Case{{{1, 2, 525}}, 1000, u"5"_s, false, 1, 3, {}};
        QTest::newRow("one over") << Case{{{1, 2, 525, 526}}, 1000, u"5"_s, false, 0, 0,
                                          u"A legrövidebb kör 1051 km; 1000 km-hez (a hibahatárral legfeljebb 1050 km-ig) "
                                          u"egyetlen nap sem fér bele."_s};
        QTest::newRow("0 %, exact") << Case{{{1, 2, 500}}, 1000, u"0"_s, false, 1, 3, {}};
        QTest::newRow("0 %, one over") << Case{{{1, 2, 500, 501}}, 1000, u"0"_s, false, 0, 0,
                                               u"A legrövidebb kör 1001 km; 1000 km-hez (a hibahatárral legfeljebb 1000 km-ig) "
                                               u"egyetlen nap sem fér bele."_s};
        // 6.5 % counts as 6: 1000 km allows 1060, not 1065.
        QTest::newRow("a fraction dropped") << Case{{{1, 2, 531}}, 1000, u"6.5"_s, false, 0, 0,
                                                    u"A legrövidebb kör 1062 km; 1000 km-hez (a hibahatárral legfeljebb 1060 km-ig) "
                                                    u"egyetlen nap sem fér bele."_s};
        QTest::newRow("no total in range")
            << Case{{{1, 2, 100}}, 1050, u"1"_s, false, 0, 0,
                    u"A legrövidebb kör 200 km; 1050 km-hez legfeljebb 5 nap fér bele, de a körök hosszából egyetlen havi "
                    u"összeg sem esik 1050 és 1060 km közé (a legközelebbi kisebb: 1000 km)."_s};
        QTest::newRow("49 stops every Monday") << Case{triangle, 2450, u"10"_s, true, 5, 50, {}};
        QTest::newRow("beyond 49 stops") << Case{triangle, 2451, u"10"_s, true, 0, 0,
                                                 u"A leghosszabb, legfeljebb 49 megállós kör 490 km; a hónap 5 megengedett "
                                                 u"napján így legfeljebb 2450 km tehető meg, kevesebb a kért 2451 km-nél."_s};
        QTest::newRow("no way back") << Case{{{1, 2, 15, 0}}, 500, u"10"_s, false, 0, 0,
                                             u"Az 1. partnertől (Partner 1 - Város) nem indul olyan kör, amely megadott "
                                             u"távolságokon, legfeljebb 49 megállóval visszaér oda, ezért nem készíthető minta."_s};
    }
    void monthsAndReasons() {
        QFETCH(Case, c);
        env->settings->setText(keys::Tolerance, c.tolerance);
        partners(c.legs.size() == 1 ? 2 : 3);
        for (const QList<int>& l : c.legs)
            link(l[0], l[1], l[2], l.value(3, l[2]));
        env->state.month.year = 1999;
        const ExactSampleResult r = run(c.target, c.mondays ? kMondays : SampleRequest::defaultWeekdays());
        QCOMPARE((std::tuple{r.reason, r.tripDays, env->state.month.stopWidth}), (std::tuple{c.reason, c.days, c.width}));
        // Untouched when no month is made.
        QCOMPARE(c.days == 0 ? env->state.month.year : checkRules(c.target).size(), c.days == 0 ? 1999 : c.days);
    }

    // Two addresses 5 km apart in one town and four partners 45-120 km away: the month is a few
    // days of visits, not 22 days of hops between the two addresses.
    void believableMonths() {
        partners(6);
        const int away[] = {0, 0, 5, 45, 60, 85, 120}; // from partner 1
        for (int p = 2; p <= 6; ++p)
            link(1, p, away[p]);
        for (int p = 3; p <= 6; ++p)
            link(2, p, away[p] + 3);
        link(3, 4, 70);
        link(3, 5, 80);
        link(4, 6, 60);
        link(3, 6, 150);
        link(4, 5, 130);
        link(5, 6, 200);
        for (unsigned seed = 1; seed <= 20; ++seed) {
            env->random = MersenneRandom(seed);
            run(1500);
            const QVector<int> days = checkRules(1500);
            QVERIFY2(days.size() >= 2 && days.size() <= 11, qPrintable(QString::number(seed)));
            const MonthLog& m = env->state.month;
            const double average = double(m.monthKm) / double(days.size());
            QVector<QVector<int>> chains;
            for (int d : days) {
                const QVector<int> chain = stopsOfDay(m, d);
                QVERIFY2(chains.isEmpty() || chain != chains.last(), qPrintable(QString::number(seed)));
                chains << chain;
                // No partner twice a day.
                QCOMPARE(QSet<int>(chain.begin() + 1, chain.end()).size(), chain.size() - 1);
                const int km = m.dayKm[size_t(d - 1)];
                QVERIFY2(km * 2 >= average && km <= 2 * average, qPrintable(QString::number(seed)));
            }
        }
    }

    // Two Mondays in the first half of March 2026, three in the second: four trip days must take
    // both early ones, although a share by the allowed days alone would often take one.
    void neitherHalfHoldsMoreThanTwoThirds() {
        partners(2);
        link(1, 2, 100);
        for (unsigned seed = 1; seed <= 20; ++seed) {
            env->random = MersenneRandom(seed);
            QCOMPARE(run(800, kMondays).tripDays, 4);
            const QVector<int> days = checkRules(800);
            QVERIFY(days.size() == 4 && days.contains(2) && days.contains(9));
        }
    }

    // Months built by hand from random walks: the generator must find one for their total, and
    // the same month again from the same seed.
    void everyMonthThatExistsIsFound() {
        for (unsigned seed = 1; seed <= 40; ++seed) {
            env = std::make_unique<TestEnv>();
            env->random = MersenneRandom(seed);
            std::mt19937 gen(seed);
            auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
            const int n = draw(2, 7);
            partners(n);
            for (int i = 1; i <= n; ++i)
                for (int j = i + 1; j <= n; ++j)
                    if (i == 1 || draw(0, 2) > 0)
                        link(i, j, draw(1, 300));
            // k days of walks of up to eight legs through partners linked to the last one.
            const int k = draw(2, 10);
            int total = 0;
            for (int d = 0; d < k; ++d) {
                int at = 1;
                for (int legs = draw(1, 7); legs > 0 || at == 1; --legs) {
                    int next = draw(1, n);
                    while (next == at || env->state.distances.at(at, next).distance == 0)
                        next = draw(1, n);
                    total += env->state.distances.at(at, next).distance;
                    at = next;
                }
                total += env->state.distances.at(at, 1).distance;
            }
            env->settings->setText(keys::Tolerance, QString::number(draw(1, 20)));
            int target = total - draw(0, total / 25);
            if (total > exactLimit(target, exactTolerance(env->state.settings)))
                target = total;
            const ExactSampleResult r = run(target);
            QVERIFY2(r.outcome == ExactOutcome::Generated, qPrintable(u"%1: %2"_s.arg(seed).arg(r.reason)));
            QVERIFY2(!checkRules(target).isEmpty(), qPrintable(QString::number(seed)));
            const auto month = stops();
            env->random = MersenneRandom(seed);
            run(target);
            QCOMPARE(stops(), month);
        }
    }
};

QTEST_GUILESS_MAIN(TestTargetSample)
#include "tst_targetsample.moc"
