// A save that is killed midway must leave the previous file whole. The test runs itself as a
// child process that saves in a loop and kills it with SIGKILL while the new file is written.
#include "editor/logbookfile.h"
#include "editor/partnerchange.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

void fillDatabase(AppState& s, int n, int salt) {
    s.partners.resize(n);
    for (int i = 1; i <= n; ++i)
        s.partner(i) = Partner{u"Partner %1/%2"_s.arg(i).arg(salt), u"Győr"_s, u"Fő út %1."_s.arg(i)};
    s.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            s.distances.at(i, j) = DistanceCell{qint16((i + j + salt) % 300), qint16(1 + (i % 6))};
}

void fillMonth(AppState& s, int salt) {
    s.month = MonthLog{};
    s.month.year = 2002;
    s.month.month = 1;
    s.month.stopWidth = 3;
    s.month.stops.reset(3);
    for (int d = 1; d <= 31; ++d) {
        s.month.stops.at(d, 1) = 1;
        s.month.stops.at(d, 2) = qint16(2 + (d + salt) % (s.partnerCount() - 1));
        s.month.stops.at(d, 3) = 1;
        // Long comments make each write of the file take a while, so a kill lands inside one.
        s.month.comments[size_t(d - 1)] = u"Megjegyzés %1 "_s.arg(salt).repeated(2000);
    }
    s.month.fileName = u"2002jan.rvn"_s;
}

// Child: saves the chosen file over and over until killed.
int runChild(const QString& dir, const QString& what) {
    AppState s;
    s.programDir = dir + u'/';
    s.carDir = u"Users/CAR/"_s;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int salt = 1;; ++salt) {
        if (what == u"database"_s) {
            fillDatabase(s, 1500, salt);
            SaveDatabase(s);
        } else if (what == u"logbook"_s) {
            fillDatabase(s, 40, 0);
            fillMonth(s, salt);
            SaveLogbook(s);
        } else { // the rewrite of stored logbooks after a partner changed, back and forth
            const Partner a{u"Partner 1/0"_s, u"Győr"_s, u"Fő út 1."_s};
            const Partner b{u"Új név Kft."_s, u"Pápa"_s, u"Kossuth u. 2."_s};
            carryPartnerChange(s, {u"2002jan.rvn"_s}, salt % 2 ? a : b, salt % 2 ? b : a);
        }
    }
}


} // namespace

class TestCrashSafe : public QObject {
    Q_OBJECT

    void killMidway(const QString& what, const QString& file, const std::function<void(TestEnv&)>& check) {
        TestEnv env;
        env.state.carDir = u"Users/CAR/"_s;
        QDir().mkpath(env.state.carPath(QString()));
        fillDatabase(env.state, what == u"database"_s ? 1500 : 40, 0);
        QVERIFY(SaveDatabase(env.state));
        if (what != u"database"_s) {
            fillMonth(env.state, 0);
            QVERIFY(SaveLogbook(env.state));
        }
        const QByteArray before = env.read(u"Users/CAR/"_s + file);

        for (int attempt = 0; attempt < 3; ++attempt) {
            QProcess child;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert(u"ROVANTA_CRASH_CHILD"_s, what);
            e.insert(u"ROVANTA_CRASH_DIR"_s, env.dir.path());
            child.setProcessEnvironment(e);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            // The child spends nearly all its time inside the save, so a kill at a varying
            // moment after it started lands in the middle of one.
            QVERIFY(child.waitForReadyRead(20000));
            QThread::msleep(80 + 70 * attempt);
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished();
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            // Either the old file or one complete newer one: never a torn one.
            const QByteArray after = env.read(u"Users/CAR/"_s + file);
            QVERIFY(!after.isEmpty());
            QVERIFY(after.endsWith("\r\n"));
            check(env);
        }
    }

private slots:
    void aKilledPartnerSaveLeavesAWholeFile() {
        killMidway(u"database"_s, u"data.rvd"_s, [](TestEnv& env) {
            QVERIFY(LoadDatabase(env.state, true));
            QCOMPARE(env.state.partnerCount(), 1500);
        });
    }

    void aKilledLogbookSaveLeavesAWholeFile() {
        killMidway(u"logbook"_s, u"2002jan.rvn"_s, [](TestEnv& env) {
            const QByteArray bytes = env.read(u"Users/CAR/2002jan.rvn"_s);
            QVERIFY(bytes.startsWith("\"RVN\",\"2.2\"\r\n2002,1,0\r\n"));
            QCOMPARE(bytes.count("\r\n"), 3 + 31 * (1 + 9 + 1));
        });
    }

    void aKilledRewriteOfStoredLogbooksLeavesAWholeFile() {
        killMidway(u"partnerchange"_s, u"2002jan.rvn"_s, [](TestEnv& env) {
            StoredLogbook log;
            QVERIFY(readLogbookFile(env.path(u"Users/CAR/2002jan.rvn"_s), log));
            // Every stop of partner 1 carries the same texts: the old ones or the new ones.
            const Partner first = log.stops[0][0];
            for (const auto& day : log.stops)
                QCOMPARE(day.front(), first);
        });
    }
};

int main(int argc, char** argv) {
    const QString child = qEnvironmentVariable("ROVANTA_CRASH_CHILD");
    if (!child.isEmpty()) {
        QCoreApplication app(argc, argv);
        return runChild(qEnvironmentVariable("ROVANTA_CRASH_DIR"), child);
    }
    QCoreApplication app(argc, argv);
    TestCrashSafe test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_crashsafe.moc"
