#include "months/openmonth.h"

#include "editor/logbookfile.h"
#include "logbookfixtures.h"
#include "progressrecorder.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const Partner kPecs{u"Pécsi Zrt."_s, u"Pécs"_s, u"Rákóczi út 5."_s};
const Partner kSzeged{u"Szegedi Kft."_s, u"Szeged"_s, QString()};

// A logged-in car whose saved database holds the partners given.
void database(TestEnv& env, const QVector<Partner>& partners) {
    env.loginCar();
    env.state.partners = partners;
    env.state.distances.reset(int(partners.size()));
    if (partners.size() >= 2) {
        env.state.distances.at(1, 2).distance = 12;
        env.state.distances.at(2, 1).distance = 12;
    }
    QVERIFY(SaveDatabase(env.state).ok());
}

// A month with kPecs between the base visits on five days and kSzeged once after it.
StoredLogbook monthWithStrangers() {
    StoredLogbook log;
    log.year = 2026;
    log.month = 3;
    log.startOdometer = 1200;
    log.monthKm = 99;
    log.stopWidth = 4;
    for (int day : {2, 3, 4, 5, 6})
        log.stops[size_t(day - 1)] = {kBase, kPecs, kBase};
    log.stops[9] = {kBase, kPecs, kSzeged, kFire};
    log.comments[1] = u"Pécs, tárgyalás"_s;
    return log;
}

// Stores bytes as the car's logbook file and opens it as the months window would.
OpenOutcome openAs(TestEnv& env, const QString& file, const QByteArray& bytes, ProgressRecorder& progress) {
    env.write(u"Users/ABC123/"_s + file, bytes);
    return openStoredMonth(env.state, file, progress);
}

} // namespace

class TestOpenMonth : public QObject {
    Q_OBJECT
private slots:
    void knownStopsOpenWithoutQuestion() {
        TestEnv env;
        database(env, fixtureDatabase());
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2002jan.rvn"_s, logbookFixture(u"current.rvn"_s), progress), OpenOutcome::Opened);
        QVERIFY(env.prompter.asked.isEmpty());
        const MonthLog& m = env.state.month;
        QCOMPARE(m.year, 2002);
        QCOMPARE(m.month, 1);
        QCOMPARE(m.startOdometer, 45678);
        QCOMPARE(m.monthKm, 321);
        QCOMPARE(m.stopWidth, 3);
        QCOMPARE(stopsOfDay(m, 5), (QVector<int>{1, 7, 1}));
        QCOMPARE(stopsOfDay(m, 6), QVector<int>{2});
        QCOMPARE(m.comments[4], u"Tárgyalás, szerződés aláírása"_s);
        QCOMPARE(m.fileName, u"2002jan.rvn"_s);
        QVERIFY(!m.modified);
        QCOMPARE(env.state.mainWindowTag, u"korábbi"_s);
        QCOMPARE(progress.statuses, (QStringList{u"Nyilvántartás beolvasása..."_s, u"Nyilvántartás elemzése..."_s,
                                                 u"Adatok rendezése..."_s}));

        // Saved again unchanged, the file is the same byte for byte.
        env.state.month.modified = true;
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbookFixture(u"current.rvn"_s));
    }

    void olderLayoutOpensAndSavesInTheCurrentOne() {
        TestEnv env;
        database(env, fixtureDatabase());
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2002jan.rvn"_s, logbookFixture(u"older12.rvn"_s), progress), OpenOutcome::Opened);
        QVERIFY(env.prompter.asked.isEmpty()); // the padded texts match once trimmed
        QCOMPARE(stopsOfDay(env.state.month, 31), (QVector<int>{1, 2, 7}));
        QVERIFY(SaveLogbook(env.state));
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbookFixture(u"older12-saved.rvn"_s));
    }

    void missingPartnersInOrderOfFirstOccurrence() {
        TestEnv env;
        env.state.partners = {kBase, kFire};
        const QVector<Partner> missing = missingPartners(env.state, monthWithStrangers());
        QCOMPARE(missing, (QVector<Partner>{kPecs, kSzeged}));

        // One character of the address makes another partner.
        StoredLogbook log;
        log.stops[0] = {Partner{kFire.name, kFire.city, u"Kossuth Lajos u. 3., II. em."_s}};
        log.stops[1] = {Partner{QString(), u"Sehol"_s, QString()}}; // no name: not asked about
        QCOMPARE(missingPartners(env.state, log).size(), 1);

        QCOMPARE(missingPartnersQuestion(1), u"1 új adat van a korábbi hónapban\r\na jelenlegi adatbázishoz képest.\r\n"
                                             u"Kívánja hozzáadni az adatokhoz?"_s);
        QVERIFY(missingPartnersQuestion(2).endsWith(u"Kívánja ezeket is hozzáadni az adatokhoz?"_s));
    }

    void oneMissingPartnerOnFiveDaysIsAskedOnce() {
        TestEnv env;
        database(env, {kBase, kFire, kSzeged});
        env.prompter.answer(Yes);
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, serializeLogbook(monthWithStrangers()), progress),
                 OpenOutcome::Opened);
        QCOMPARE(env.prompter.texts(), QStringList{missingPartnersQuestion(1)});
        QCOMPARE(env.prompter.asked.first().buttons, Yes | No | Cancel);
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Question);

        // Added after the old partners, distances 0, and saved.
        QCOMPARE(env.state.partnerCount(), 4);
        QCOMPARE(env.state.partner(4), kPecs);
        QCOMPARE(env.state.distances.at(1, 4).distance, 0);
        QCOMPARE(env.state.distances.at(1, 2).distance, 12); // kept
        QCOMPARE(stopsOfDay(env.state.month, 2), (QVector<int>{1, 4, 1}));
        QCOMPARE(stopsOfDay(env.state.month, 10), (QVector<int>{1, 4, 3, 2}));
        AppState reread;
        reread.programDir = env.state.programDir;
        reread.carDir = env.state.carDir;
        QVERIFY(LoadDatabase(reread, true).ok());
        QCOMPARE(reread.partners, env.state.partners);
    }

    void answerNoPacksTheDays() {
        TestEnv env;
        database(env, {kBase, kFire});
        const QByteArray before = env.read(u"Users/ABC123/data.rvd"_s);
        env.prompter.answer(No);
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, serializeLogbook(monthWithStrangers()), progress),
                 OpenOutcome::Opened);
        QVERIFY(env.prompter.last().startsWith(u"2 új adat"_s));
        QCOMPARE(env.state.partnerCount(), 2);
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s), before);
        // The unknown stops are gone and the rest of each day closes up.
        QCOMPARE(stopsOfDay(env.state.month, 2), (QVector<int>{1, 1}));
        QCOMPARE(env.state.month.stops.at(2, 3), 0);
        QCOMPARE(stopsOfDay(env.state.month, 10), (QVector<int>{1, 2}));
        QCOMPARE(env.state.month.stopWidth, 4);
        QCOMPARE(env.state.month.startOdometer, 1200);
    }

    void cancelChangesNothing() {
        TestEnv env;
        database(env, {kBase, kFire});
        env.state.month.year = 1999;
        env.state.mainWindowTag.clear();
        env.prompter.answer(Cancel);
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2026mar.rvn"_s, serializeLogbook(monthWithStrangers()), progress),
                 OpenOutcome::Cancelled);
        QCOMPARE(env.state.month.year, 1999);
        QCOMPARE(env.state.partnerCount(), 2);
        QVERIFY(env.state.mainWindowTag.isEmpty());
    }

    void damagedFileIsRefusedByName() {
        TestEnv env;
        database(env, {kBase, kFire});
        QByteArray bytes = logbookFixture(u"current.rvn"_s);
        bytes.replace("\r\n321,3\r\n", "\r\n321,0\r\n"); // stop width 0
        env.state.month.year = 1999;
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2002jan.rvn"_s, bytes, progress), OpenOutcome::Failed);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY2(env.prompter.last().contains(u"2002jan.rvn (3. sor)"_s), qPrintable(env.prompter.last()));
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Exclamation);
        QCOMPARE(env.state.month.year, 1999);
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), bytes);

        QCOMPARE(openStoredMonth(env.state, u"nincs.rvn"_s, progress), OpenOutcome::Failed);
        QVERIFY(env.prompter.last().contains(u"nincs.rvn"_s));
    }

    void emptyDatabase() {
        TestEnv env;
        env.loginCar();
        StoredLogbook log;
        log.year = 2026;
        log.month = 1;
        log.stopWidth = 1;
        env.state.month.year = 1999;
        ProgressRecorder progress;
        QCOMPARE(openAs(env, u"2026jan.rvn"_s, serializeLogbook(log), progress), OpenOutcome::NoPartners);
        QCOMPARE(env.prompter.texts(), QStringList{u"Nincsenek adatok!"_s});
        QCOMPARE(env.state.month.year, 1999);
    }
};

QTEST_GUILESS_MAIN(TestOpenMonth)
#include "tst_openmonth.moc"
