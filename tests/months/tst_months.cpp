#include "distancefixture.h"
#include "months/openmonth.h"
#include "months/newmonth.h"
#include "months/sample.h"
#include "months/targetsample.h"

#include "model/cost.h"
#include "logbookfixtures.h"
#include "model/logbookfile.h"
#include "model/statefiles.h"
#include "progressrecorder.h"
#include "storage/settings.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
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

// A month to reach exactly: its legs, the target and tolerance, and what comes of it.
struct Case {
    QList<QList<int>> legs; // {i, j, km} both ways, or {i, j, there, back}
    int target;
    QString tolerance;
    bool mondays; // March 2026 has five, else Monday to Friday (22)
    int days;     // trip days made, 0: none
    int width;
    QString reason;
};

// A stored month opened: partners it names that the database lacks.

const Partner kPecs{u"Pécsi Zrt."_s, u"Pécs"_s, u"Rákóczi út 5."_s};
const Partner kSzeged{u"Szegedi Kft."_s, u"Szeged"_s, QString()};

// A logged-in car whose saved database holds the partners given; 1 and 2 are 12 km apart.
void database(TestEnv& env, const QVector<Partner>& partners) {
    env.loginCar();
    env.state.partners = partners;
    env.state.distances.reset(int(partners.size()));
    env.state.distances.at(1, 2).distance = 12;
    QVERIFY(SaveDatabase(env.state).ok());
}

// kPecs between base visits on five days, and on day 10 followed by kSzeged and kFire.
QByteArray monthWithStrangers() {
    StoredLogbook log;
    log.year = 2026;
    log.month = 3;
    log.startOdometer = 1200;
    log.monthKm = 120;
    log.stopWidth = 4;
    for (int day : {2, 3, 4, 5, 6})
        log.stops[size_t(day - 1)] = {kBase, kPecs, kBase};
    log.stops[9] = {kBase, kPecs, kSzeged, kFire};
    return serializeLogbook(log);
}

OpenOutcome openAs(TestEnv& env, const QString& file, const QByteArray& bytes) {
    env.write(u"Users/ABC123/"_s + file, bytes);
    ProgressRecorder progress;
    return openStoredMonth(env.state, file, progress);
}

} // namespace

// Months opened from their files, and sample months made.
class TestMonths : public QObject {
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
    ExactSampleResult runExact(int target, std::array<bool, 8> weekdays = SampleRequest::defaultWeekdays()) {
        progress = ProgressRecorder{};
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
        // Every day but the 24th (a rest day by decree), 25th and 26th of December.
        QCOMPARE((std::tuple{sampleWorkingDays(2028, 2, kEveryDay, false).size(), sampleWorkingDays(2026, 2, kEveryDay, false).size(),
                             sampleWorkingDays(2026, 12, kEveryDay, false).size()}),
                 (std::tuple{qsizetype(29), qsizetype(28), qsizetype(28)}));
        // January 2026: the 2nd is a rest day, Saturday the 10th is worked for it, by the Friday box.
        const QVector<int> january = sampleWorkingDays(2026, 1, weekdays, false);
        QVERIFY2(january.size() == 21 && !january.contains(2) && january.contains(10) && !january.contains(17),
                 qPrintable(QString::number(january.size())));
        QVERIFY(!sampleWorkingDays(2026, 1, only({7}), false).contains(10) && sampleWorkingDays(2026, 1, only({6}), false).contains(10));
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
                                          u"A legrövidebb kör 1\u00A0051 km; 1\u00A0000 km-hez (a hibahatárral legfeljebb 1\u00A0050 km-ig) "
                                          u"egyetlen nap sem fér bele."_s};
        QTest::newRow("0 %, exact") << Case{{{1, 2, 500}}, 1000, u"0"_s, false, 1, 3, {}};
        QTest::newRow("0 %, one over") << Case{{{1, 2, 500, 501}}, 1000, u"0"_s, false, 0, 0,
                                               u"A legrövidebb kör 1\u00A0001 km; 1\u00A0000 km-hez (a hibahatárral legfeljebb 1\u00A0000 km-ig) "
                                               u"egyetlen nap sem fér bele."_s};
        // 6.5 % counts as 6: 1000 km allows 1060, not 1065.
        QTest::newRow("a fraction dropped") << Case{{{1, 2, 531}}, 1000, u"6.5"_s, false, 0, 0,
                                                    u"A legrövidebb kör 1\u00A0062 km; 1\u00A0000 km-hez (a hibahatárral legfeljebb 1\u00A0060 km-ig) "
                                                    u"egyetlen nap sem fér bele."_s};
        QTest::newRow("no total in range")
            << Case{{{1, 2, 100}, {1, 3, 101}}, 1050, u"1"_s, false, 0, 0,
                    u"A legrövidebb kör 200 km; 1\u00A0050 km-hez legfeljebb 5 nap fér bele, de a körök hosszából egyetlen havi "
                    u"összeg sem esik 1\u00A0050 és 1\u00A0060 km közé (a legközelebbi kisebb: 1\u00A0010 km)."_s};
        QTest::newRow("no multiple in range")
            << Case{{{1, 2, 100}}, 1050, u"1"_s, false, 0, 0,
                    u"Minden megadott távolság 100 km többszöröse, így minden nap és a hónap km-e is az; 1\u00A0050 és 1\u00A0060 km "
                    u"között nincs ilyen szám."_s};
        QTest::newRow("49 stops every Monday") << Case{triangle, 2450, u"10"_s, true, 5, 50, {}};
        QTest::newRow("beyond 49 stops") << Case{triangle, 2451, u"10"_s, true, 0, 0,
                                                 u"A leghosszabb, legfeljebb 49 megállós kör 490 km; a hónap 5 megengedett "
                                                 u"napján így legfeljebb 2\u00A0450 km tehető meg, kevesebb a kért 2\u00A0451 km-nél."_s};
        // Rounds of 10, 14 and twice 32 km, the middle one 32: 42 km at 0 % aims at one day, and no
        // round is 42 km; of two days each must be at least 42 / 4 = 10.5 km, which leaves out
        // 10 + 32; three days of 14 km it is.
        QTest::newRow("half the average rounded up")
            << Case{{{1, 2, 5}, {1, 3, 7}, {1, 4, 16}, {1, 5, 16}}, 42, u"0"_s, false, 3, 3, {}};
        QTest::newRow("no way back") << Case{{{1, 2, 15, 0}}, 500, u"10"_s, false, 0, 0,
                                             u"Az 1. partnertől (Partner 1 - Város) nem indul olyan kör, amely megadott "
                                             u"távolságokon, legfeljebb 49 megállóval visszaér oda, ezért nem készíthető minta."_s};
    }
    // The new month goes on after the latest logbook, an unreadable one too; none: today's.
    void offeredNewMonth() {
        LogbookListing listing;
        const QDate today(2026, 12, 7);
        QCOMPARE(firstMonthWithoutLogbook(listing, today), std::pair(2026, 12));
        listing.entries = {LogbookEntry{0, 2025, 3}, LogbookEntry{1, 2025, 12}, LogbookEntry{2, 2025, 5}};
        QCOMPARE(firstMonthWithoutLogbook(listing, today), std::pair(2026, 1));
        listing.unreadable = {{3, 2026, 2, {}}, {4, 0, 0, {}}};
        QCOMPARE(firstMonthWithoutLogbook(listing, today), std::pair(2026, 3));
    }

    void monthsAndReasons() {
        QFETCH(Case, c);
        env->settings->setText(keys::Tolerance, c.tolerance);
        int most = 2;
        for (const QList<int>& l : c.legs)
            most = std::max(most, l[1]);
        partners(most);
        for (const QList<int>& l : c.legs)
            link(l[0], l[1], l[2], l.value(3, l[2]));
        env->state.month.year = 1999;
        const ExactSampleResult r = runExact(c.target, c.mondays ? only({2}) : SampleRequest::defaultWeekdays());
        // Days of more than four partners are long walks, and only they say what they look like.
        QCOMPARE((std::tuple{r.longWalks ? QString() : r.reason, r.tripDays,
                             env->state.month.stopWidth, r.longWalks}),
                 (std::tuple{c.reason, c.days, c.width, c.width > 6}));
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
            runExact(1500);
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

    // The only month of 1280 km on March's Mondays is four days of the one 320 km round of all four
    // partners, which either way round is a round: found, and never the same way two days running.
    void everyRoundIsLookedAt() {
        env->settings->setText(keys::Tolerance, u"0"_s);
        partners(5);
        for (int p = 2; p <= 5; ++p)
            link(1, p, 10);
        link(2, 3, 100);
        link(3, 4, 100);
        link(4, 5, 100);
        const QVector<int> there{1, 2, 3, 4, 5, 1}, back{1, 5, 4, 3, 2, 1};
        for (unsigned seed = 1; seed <= 10; ++seed) {
            env->random = MersenneRandom(seed);
            const ExactSampleResult r = runExact(1280, only({2}));
            QVERIFY2(r.outcome == ExactOutcome::Generated && !r.longWalks && r.reason.isEmpty(), qPrintable(r.reason));
            const QVector<int> days = checkRules(1280);
            QCOMPARE(days.size(), 4);
            for (qsizetype i = 0; i < days.size(); ++i)
                QCOMPARE(day(days[i]), day(days[0]) == there ? (i % 2 == 0 ? there : back) : (i % 2 == 0 ? back : there));
        }
    }

    // 700 km is 200 + 300 + 200: the lone 200 km round cannot be on consecutive days, so the
    // 300 km one goes between them.
    void aLoneRoundIsNotDrivenTwoDaysRunning() {
        env->settings->setText(keys::Tolerance, u"0"_s);
        partners(3);
        link(1, 2, 100);
        link(1, 3, 150);
        for (unsigned seed = 1; seed <= 12; ++seed) {
            env->random = MersenneRandom(seed);
            QCOMPARE(runExact(700, only({2})).tripDays, 3);
            const QVector<int> days = checkRules(700);
            QCOMPARE((QVector<QVector<int>>{day(days[0]), day(days[1]), day(days[2])}),
                     (QVector<QVector<int>>{{1, 2, 1}, {1, 3, 1}, {1, 2, 1}}));
        }
    }

    // A day must be a round in its partners' shortest order and no shorter than half the average:
    // where only a zig-zag or a short day would do, the month is one of long walks, and said so.
    void whatIsNotBelievableIsLongWalks() {
        env->settings->setText(keys::Tolerance, u"0"_s);
        // On a road from the company: Lajosmizse at 10 km, Nagykőrös at 20, Szeged at 50. Every
        // round in its shortest order is 20, 40 or 100 km; a zig-zag 1-4-2-3-1 is 120.
        partners(4);
        link(1, 2, 10);
        link(1, 3, 50);
        link(1, 4, 20);
        link(2, 3, 40);
        link(2, 4, 10);
        link(3, 4, 30);
        ExactSampleResult r = runExact(500, only({2})); // five Mondays of 100 km
        QVERIFY(r.outcome == ExactOutcome::Generated && !r.longWalks && checkRules(500).size() == 5);
        r = runExact(600, only({2})); // five of 120 km would zig-zag
        QVERIFY(r.outcome == ExactOutcome::Generated && r.longWalks && !checkRules(600).isEmpty());
        QVERIFY2(r.reason.contains(u"Csak hosszú bolyongásokból álló hónap készíthető: 5 napon"_s), qPrintable(r.reason));
        QCOMPARE(longWalksQuestion(r), r.reason + u"\r\n\r\nKívánja mégis ezt a mintát használni?"_s);

        // 402 km as 100 + 302 km: the 100 km day is under half the average of 201 (100.5), so a
        // two-day month is no month of rounds; one day of both walks is the long walk.
        partners(3);
        link(1, 2, 50);
        link(1, 3, 151);
        r = runExact(402);
        QVERIFY(r.outcome == ExactOutcome::Generated && r.longWalks && checkRules(402).size() == 1);
    }

    // Two Mondays in the first half of March 2026, three in the second: four trip days must take
    // both early ones, although a share by the allowed days alone would often take one.
    void neitherHalfHoldsMoreThanTwoThirds() {
        partners(2);
        link(1, 2, 100);
        for (unsigned seed = 1; seed <= 20; ++seed) {
            env->random = MersenneRandom(seed);
            QCOMPARE(runExact(800, only({2})).tripDays, 4);
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
            const ExactSampleResult r = runExact(target);
            QVERIFY2(r.outcome == ExactOutcome::Generated, qPrintable(u"%1: %2"_s.arg(seed).arg(r.reason)));
            const QVector<int> days = checkRules(target);
            QVERIFY2(!days.isEmpty(), qPrintable(QString::number(seed)));
            // A believable month: rounds of 1-4 partners in their shortest order, days of half to twice
            // the average.
            for (int d : r.longWalks ? QVector<int>{} : days) {
                const QVector<int> chain = day(d);
                QVector<int> visits = chain.mid(1, chain.size() - 2);
                const int km = env->state.month.dayKm[size_t(d - 1)];
                QVERIFY(visits.size() <= 4 && !visits.contains(1) && QSet<int>(visits.begin(), visits.end()).size() == visits.size());
                QVERIFY(2 * km * days.size() >= env->state.month.monthKm && km <= 2 * env->state.month.monthKm / days.size());
                std::sort(visits.begin(), visits.end());
                do {
                    int other = 0, at = 1;
                    for (int p : visits << 1) {
                        const int leg = env->state.distances.at(at, p).distance;
                        other = leg == 0 || other < 0 ? -1 : other + leg;
                        at = p;
                    }
                    visits.removeLast();
                    QVERIFY2(other < 0 || other >= km, qPrintable(u"%1: day %2"_s.arg(seed).arg(d)));
                } while (std::next_permutation(visits.begin(), visits.end()));
            }
            const auto month = stops();
            env->random = MersenneRandom(seed);
            runExact(target);
            QCOMPARE(stops(), month);
        }
    }

    // ---- a stored month opened

    void knownStopsOpenWithoutQuestion() {
        TestEnv env;
        database(env, fixtureDatabase());
        env.write(u"Users/ABC123/masolat.rvn"_s, logbookFixture(u"current.rvn"_s));
        env.write(u"Users/ABC123/evszak.rvd"_s, "2\r\n2002,1,2\r\n2002,2,1\r\n");
        ProgressRecorder progress;
        QVERIFY(openStoredMonth(env.state, u"masolat.rvn"_s, progress) == OpenOutcome::Opened && env.prompter.asked.isEmpty());
        const MonthLog& m = env.state.month;
        QCOMPARE((std::tuple{m.startOdometer, stopsOfDay(m, 5), stopsOfDay(m, 31), m.modified, m.season, env.state.mainWindowTag}),
                 (std::tuple{45678, QVector<int>{1, 7, 1}, QVector<int>{1, 2, 7}, false, SeasonBox::Winter, u"korábbi"_s}));
        QCOMPARE(progress.statuses, (QStringList{u"Nyilvántartás beolvasása..."_s, u"Nyilvántartás elemzése..."_s,
                                                 u"Adatok rendezése..."_s}));
        // Saved again unchanged, under its own name, it is the same byte for byte but for the
        // header's km, which becomes the legs' sum: only 1 -> 2 on day 31 has a distance, 12 km
        // (the fixture's header said 321).
        env.state.month.modified = true;
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.read(u"Users/ABC123/masolat.rvn"_s),
                 logbookFixture(u"current.rvn"_s).replace("\r\n321,3\r\n", "\r\n12,3\r\n"));
        QVERIFY(!QFile::exists(env.state.carPath(u"2002jan.rvn"_s)));
        // The file as opened is remembered: a rewrite by another program is asked about.
        env.write(u"Users/ABC123/masolat.rvn"_s, logbookFixture(u"current.rvn"_s) + "\r\n");
        env.prompter.answer(No);
        QVERIFY(!SaveLogbook(env.state) && env.prompter.last().contains(u"megváltoztatta"_s));
    }

    void missingPartnersInOrderOfFirstOccurrence() {
        TestEnv env;
        env.state.partners = {kBase, kFire};
        StoredLogbook log;
        QVERIFY(parseLogbook(monthWithStrangers(), u"x"_s, log).ok());
        QCOMPARE(missingPartners(env.state, log), (QVector<Partner>{kPecs, kSzeged}));

        StoredLogbook other;
        other.stops[0] = {Partner{kFire.name, kFire.city, u"Kossuth Lajos u. 3., II. em."_s}}; // one character off
        other.stops[1] = {Partner{QString(), u"Sehol"_s, QString()}}; // no name: not asked about
        QCOMPARE(missingPartners(env.state, other).size(), 1);

        QCOMPARE(missingPartnersQuestion({kPecs}), u"1 új adat van a korábbi hónapban\r\na jelenlegi adatbázishoz képest:\r\n"
                                                  u"    Pécsi Zrt. - Pécs, Rákóczi út 5.\r\n"
                                                  u"Kívánja hozzáadni az adatokhoz?"_s);
        QVector<Partner> seven;
        for (int i = 1; i <= 7; ++i)
            seven.append(Partner{u"P%1"_s.arg(i), u"Győr"_s, {}});
        QCOMPARE(missingPartnersQuestion(seven), u"7 új adat van a korábbi hónapban\r\na jelenlegi adatbázishoz képest:\r\n"
                                                 u"    P1 - Győr\r\n    P2 - Győr\r\n    P3 - Győr\r\n    P4 - Győr\r\n"
                                                 u"    P5 - Győr\r\n    és még 2 további\r\n"
                                                 u"Kívánja ezeket is hozzáadni az adatokhoz?"_s);
    }

    void yesAddsTheMissingPartnerOnFiveDaysOnce() {
        TestEnv env;
        database(env, {kBase, kFire, kSzeged});
        env.prompter.answer(Yes);
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, monthWithStrangers()), OpenOutcome::Opened);
        QCOMPARE(std::pair(env.prompter.texts(), env.prompter.asked.first().buttons),
                 std::pair(QStringList{missingPartnersQuestion({kPecs})}, Yes | No | Cancel));
        QCOMPARE((std::tuple{env.state.partnerCount(), env.state.partner(4), env.state.distances.at(1, 4).distance,
                             env.state.distances.at(1, 2).distance}),
                 (std::tuple{4, kPecs, qint16(0), qint16(12)}));
        QCOMPARE(std::pair(stopsOfDay(env.state.month, 2), stopsOfDay(env.state.month, 10)),
                 std::pair(QVector<int>{1, 4, 1}, QVector<int>{1, 4, 3, 2}));
        AppState reread;
        reread.programDir = env.state.programDir;
        reread.carDir = env.state.carDir;
        QVERIFY(LoadDatabase(reread, true).ok() && reread.partners == env.state.partners);
    }

    void noPacksTheDays() {
        TestEnv env;
        database(env, {kBase, kFire});
        const QByteArray before = env.read(u"Users/ABC123/data.rvd"_s);
        // Before the stops go the user sees how many, and the kilometres after; No asks again.
        const QString leaving = u"Ha nem adja hozzá őket, 7 megálló kimarad a hónapból, és a hónap 120 km-e 12 km-re "
                                u"változik; a következő mentés ezt véglegesíti.\r\n\r\nBiztosan kihagyja ezeket a "
                                u"megállókat?"_s;
        env.prompter.answer(No);
        env.prompter.answer(No);
        env.prompter.answer(Cancel);
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, monthWithStrangers()), OpenOutcome::Cancelled);
        QCOMPARE(std::pair(env.prompter.asked.size(), env.prompter.asked[1].text), std::pair(qsizetype(3), leaving));
        env.prompter.clear();
        env.prompter.answer(No);
        env.prompter.answer(Yes);
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, monthWithStrangers()), OpenOutcome::Opened);
        QVERIFY(env.prompter.asked[0].text.startsWith(u"2 új adat"_s) && env.prompter.last() == leaving);
        QCOMPARE(std::pair(env.state.partnerCount(), env.read(u"Users/ABC123/data.rvd"_s)), std::pair(2, before));
        QCOMPARE((std::tuple{stopsOfDay(env.state.month, 2), stopsOfDay(env.state.month, 10), env.state.month.startOdometer}),
                 (std::tuple{QVector<int>{1, 1}, QVector<int>{1, 2}, 1200}));
    }

    // Yes whose save fails: the month stays closed and memory shows what the disk holds.
    void aFailedSaveOfTheNewPartnersOpensNothing() {
        TestEnv env;
        database(env, {kBase, kFire});
        QFile::remove(env.path(u"Users/ABC123/data.rvd"_s));
        QDir().mkpath(env.path(u"Users/ABC123/data.rvd"_s)); // cannot be replaced by a file
        env.state.month.year = 1999;
        env.prompter.answer(Yes);
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, monthWithStrangers()), OpenOutcome::Failed);
        QCOMPARE((std::tuple{env.state.partners, env.state.distances.size(), env.state.month.year}),
                 (std::tuple{QVector<Partner>{kBase, kFire}, 2, 1999}));
        QVERIFY(env.prompter.last().startsWith(u"Az új partnereket nem sikerült"_s));
    }

    // Cancel, a damaged or missing file and an empty database leave the open month alone.
    void refusalsChangeNothing() {
        TestEnv env;
        database(env, {kBase, kFire});
        env.state.month.year = 1999;
        env.prompter.answer(Cancel);
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, monthWithStrangers()), OpenOutcome::Cancelled);
        QVERIFY(env.state.partnerCount() == 2 && env.state.mainWindowTag.isEmpty());

        QByteArray bytes = logbookFixture(u"current.rvn"_s);
        bytes.replace("\r\n321,3\r\n", "\r\n321,0\r\n"); // stop width 0
        QCOMPARE(openAs(env, u"2002jan.rvn"_s, bytes), OpenOutcome::Failed);
        QVERIFY2(env.prompter.last().contains(u"2002jan.rvn (3. sor)"_s), qPrintable(env.prompter.last()));
        QCOMPARE(std::pair(env.prompter.asked.last().icon, env.read(u"Users/ABC123/2002jan.rvn"_s)), std::pair(MsgIcon::Exclamation, bytes));

        env.state.partners.clear();
        env.prompter.answer(No); // leaves the month's own partner out too
        QCOMPARE(openAs(env, u"2026jan.rvn"_s, logbookBytes(2026, 1, 0)), OpenOutcome::NoPartners);
        QCOMPARE(std::pair(env.prompter.last(), env.state.month.year), std::pair(u"Nincsenek adatok!"_s, 1999));
    }
};

QTEST_GUILESS_MAIN(TestMonths)
#include "tst_months.moc"
