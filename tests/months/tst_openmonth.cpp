#include "months/openmonth.h"

#include "model/logbookfile.h"
#include "logbookfixtures.h"
#include "progressrecorder.h"
#include "model/statefiles.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

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

class TestOpenMonth : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestOpenMonth)
#include "tst_openmonth.moc"
