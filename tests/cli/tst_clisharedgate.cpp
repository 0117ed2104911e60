// One folder, several computers: each "computer" is a host name of its own, given to this process
// or to a rovanta-cli process through ROVANTA_HOSTNAME. Every case checks what the files hold
// byte for byte afterwards, not what the program says it did.

#include "clifixture.h"
#include "database/partners.h"
#include "database/publishedprices.h"
#include "model/monthchange.h"
#include "startup/carops.h"
#include "storage/locks.h"
#include "symlink.h"

#include <QProcessEnvironment>
#include <QTest>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QString kCarLock = u"rovanta-car-ABC-123.lock"_s;
const QString kFolderLock = u"rovanta-folder.lock"_s;

// This process plays the computer named host until the next call.
void beComputer(const QString& host) { qputenv("ROVANTA_HOSTNAME", host.toUtf8()); }

struct Folder : CliFixture {
    qint64 clockMs = 0; // the watching reader's own clock

    Folder() {
        beComputer(u"gep-a"_s);
        setLockWatchClockForTests([this] { return clockMs; });
        load();
    }
    ~Folder() {
        setLockWatchClockForTests({});
        qunsetenv("ROVANTA_HOSTNAME");
    }

    // A lock another computer holds, written as that program writes it.
    void heldBy(const QString& lock, const QString& host, const QDateTime& alive, qint64 beat = 1) {
        write(lock, "4242\nrovanta\n" + host.toUtf8() + "\ntoken-" + host.toUtf8() + '\n');
        write(lock + u".info"_s, lockNote({host, u"kati"_s, alive, alive, beat, 4242, u"token-"_s + host, true, false}));
    }

    // rovanta-cli as another computer, with a HOME of its own and more of the environment.
    Run as(const QString& host, const QStringList& args, const QMap<QString, QString>& more = {}) {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        env.insert(u"ROVANTA_HOSTNAME"_s, host);
        for (auto it = more.begin(); it != more.end(); ++it)
            env.insert(it.key(), it.value());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ROVANTA_BIN_DIR "/rovanta-cli"), QStringList{u"--data-dir"_s, data} + args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {-2, {}, u"hung"_s};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
};

QByteArray journalOf(const QByteArray& name, const QByteArray& before, const QByteArray& after) {
    return "ROVANTA NAV-IMPORT 1\n1\n" + name + ' ' + QByteArray::number(before.size()) + ' ' +
           QByteArray::number(after.size()) + '\n' + before + after + "VEGE\n";
}

const QByteArray kTableHead = "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n";
QByteArray tableRow(int year, int month, int price) {
    return QByteArray::number(year) + '\t' + QByteArray::number(month) + '\t' + QByteArray::number(price) + '\t' +
           QByteArray::number(price + 10) + '\t' + QByteArray::number(price + 20) + "\t\t\thttps://example.org/\n";
}

} // namespace

class SharedGateTest : public QObject {
    Q_OBJECT
private slots:
    // The lock names its holder with UTC and offset; a reader in another zone sees a fresh lock as
    // held. Stale comes from watching the note stand still for the whole period on the reader's
    // own clock (a renewal starts the watch again), or from a note far older in UTC.
    void staleByHeartbeatNotByTimeZone() {
        Folder f;
        const QDateTime fresh = QDateTime::currentDateTimeUtc().addSecs(-2);
        for (int offsetHours : {-5, 9}) {
            f.heldBy(kCarLock, u"new-york"_s, fresh.toOffsetFromUtc(offsetHours * 3600));
            const auto before = f.snapshot();
            const CliFixture::Run r = f.as(u"budapest"_s, {u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s},
                                           {{u"TZ"_s, u"Europe/Budapest"_s}});
            QVERIFY2(r.code == 1 && r.err.contains(u"most zárolva van: new-york/kati szerkeszti"_s), qPrintable(r.err));
            QCOMPARE(f.snapshot(), before);
        }
        // A note of an older program: local time without an offset says nothing against this clock.
        f.write(kCarLock + u".info"_s, "new-york\nkati\n2020-01-01T08:00:00\n2020-01-01T08:00:00\n");
        DataLock reader(f.data, carLockPath(f.data, u"ABC-123"_s));
        QCOMPARE(reader.tryTake(), DataLock::State::Held);

        // Watched: 14 minutes still, then a renewal seen, then 14 more: held; 15 unchanged: stale.
        f.heldBy(kCarLock, u"new-york"_s, fresh, 1);
        QCOMPARE(reader.tryTake(), DataLock::State::Held);
        f.clockMs += 14 * 60 * 1000;
        QCOMPARE(reader.tryTake(), DataLock::State::Held);
        f.heldBy(kCarLock, u"new-york"_s, fresh, 2);
        f.clockMs += 14 * 60 * 1000;
        QCOMPARE(reader.tryTake(), DataLock::State::Held);
        f.clockMs += 14 * 60 * 1000;
        QCOMPARE(reader.tryTake(), DataLock::State::Held);
        f.clockMs += 60 * 1000;
        QCOMPARE(reader.tryTake(), DataLock::State::Stale);
        QCOMPARE(readLockHolder(carLockPath(f.data, u"ABC-123"_s)).beat, 2);

        // Far older in UTC, whatever the zone it was written in: stale at the first look.
        DataLock other(f.data, folderLockPath(f.data));
        f.heldBy(kFolderLock, u"tokyo"_s, QDateTime::currentDateTimeUtc().addSecs(-2 * 3600).toOffsetFromUtc(9 * 3600));
        QCOMPARE(other.tryTake(), DataLock::State::Stale);
        f.heldBy(kFolderLock, u"tokyo"_s, QDateTime::currentDateTimeUtc().addSecs(-30 * 60).toOffsetFromUtc(9 * 3600));
        QCOMPARE(other.tryTake(), DataLock::State::Held);
    }

    // B takes A's lock over: A's renewal, writes and release touch none of B's files, A is told
    // who took it, and a third computer is still kept out.
    void aLostLockStopsEveryWriteOfItsHolder() {
        Folder f;
        AppState& a = f.state;
        QVERIFY(loginCar(a, 1) && !a.readOnly());
        beComputer(u"gep-b"_s);
        DataLock b(f.data, carLockPath(f.data, u"ABC-123"_s));
        QCOMPARE(b.tryTake(), DataLock::State::Held);
        f.clockMs += kStaleLockMinutes * 60 * 1000;
        QCOMPARE(b.tryTake(), DataLock::State::Stale);
        QVERIFY(b.takeOver() && b.isTaken());
        const QMap<QString, QByteArray> taken = f.snapshot();

        beComputer(u"gep-a"_s);
        QVERIFY(!a.carLock->renew());
        const Result partner = addPartner(a, Partner{u"Delta Kft."_s, u"Eger"_s, {}});
        QVERIFY2(!partner && partner.message().startsWith(u"A(z) ABC-123 zárolását közben átvette: gep-b/"_s) &&
                     partner.message().contains(u"a változások nem lettek mentve"_s),
                 qPrintable(partner.message()));
        QVERIFY(a.readOnly());
        QVERIFY(!writeMonth(a, u"2024apr.rvn"_s, a.month).file);
        QVERIFY(!deleteMonth(a, u"2024mar.rvn"_s).file);
        logout(a);
        QCOMPARE(f.snapshot(), taken);

        const CliFixture::Run c = f.as(u"gep-c"_s, {u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s});
        QVERIFY2(c.code == 1 && c.err.contains(u"most zárolva van: gep-b/"_s), qPrintable(c.err));
        QCOMPARE(f.snapshot(), taken);

        // Two takers answering Yes at once: one wins, the other leaves the winner's lock whole.
        b.release();
        f.heldBy(kCarLock, u"halott-gep"_s, QDateTime::currentDateTimeUtc().addSecs(-3 * 3600));
        beComputer(u"gep-d"_s);
        DataLock d(f.data, carLockPath(f.data, u"ABC-123"_s));
        beComputer(u"gep-e"_s);
        DataLock e(f.data, carLockPath(f.data, u"ABC-123"_s));
        QCOMPARE(std::pair(d.tryTake(), e.tryTake()), std::pair(DataLock::State::Stale, DataLock::State::Stale));
        QVERIFY(e.takeOver());
        const QByteArray won = f.read(kCarLock);
        QVERIFY(!d.takeOver() && !d.isTaken());
        QCOMPARE(f.read(kCarLock), won);
        QVERIFY(e.confirm());
        // A takeover in progress elsewhere (its mark is fresh) is not raced.
        e.release();
        f.heldBy(kCarLock, u"halott-gep"_s, QDateTime::currentDateTimeUtc().addSecs(-3 * 3600));
        f.write(kCarLock + u".takeover"_s, "mas");
        QVERIFY(d.tryTake() == DataLock::State::Stale && !d.takeOver());
    }

    // A car opened for reading only: deleting a month is refused and the file stays.
    void readOnlyDeletesNothing() {
        Folder f;
        f.heldBy(kCarLock, u"gep-b"_s, QDateTime::currentDateTimeUtc());
        f.prompter.answer(Yes); // read only?
        QVERIFY(loginCar(f.state, 1) && f.state.readOnly());
        const auto before = f.snapshot();
        const MonthChange gone = deleteMonth(f.state, u"2024mar.rvn"_s);
        QVERIFY2(!gone.file && gone.file.message().contains(u"Csak olvasható: gep-b/kati"_s), qPrintable(gone.file.message()));
        QCOMPARE(f.snapshot(), before);
    }

    // Reading commands and a read-only window leave the folder as they found it, damaged files
    // included: the damage is told, its copy is the next lock holder's to make.
    void readersWriteNothing() {
        Folder f;
        f.write(CliFixture::car1(u"honapok.rvd"_s), "szemét\r\n");
        f.write(CliFixture::car1(u"gepkocsi.rvd"_s), "szemét\r\n");
        const auto before = f.snapshot();
        for (const QStringList& args : {QStringList{u"cost"_s, u"ABC-123"_s, u"2024-03"_s, u"--elfogad"_s},
                                        QStringList{u"year"_s, u"ABC-123"_s, u"2024"_s, u"--elfogad"_s},
                                        QStringList{u"check"_s, u"ABC-123"_s, u"2024-03"_s},
                                        QStringList{u"months"_s, u"ABC-123"_s}}) {
            const CliFixture::Run r = f.as(u"gep-b"_s, args);
            QVERIFY2(r.code != -2, qPrintable(args.join(u' ')));
            QCOMPARE(f.snapshot(), before);
        }
        QVERIFY(!QFileInfo::exists(f.path(u"error.log"_s)));

        f.heldBy(kCarLock, u"gep-b"_s, QDateTime::currentDateTimeUtc());
        const QByteArray partners = f.read(CliFixture::car1(u"data.rvd"_s));
        f.write(CliFixture::car1(u"data.rvd"_s), partners.left(40));
        const auto damaged = f.snapshot();
        f.prompter.answer(Yes); // read only
        f.prompter.answer(Yes); // open what reads
        logout(f.state);
        QVERIFY(loginCar(f.state, 1) && f.state.readOnly());
        QCOMPARE(f.snapshot(), damaged);
        QVERIFY(f.prompter.last().contains(u"változatlan maradt"_s));

        // The holder's next write makes the copies.
        QFile::remove(f.path(kCarLock));
        QFile::remove(f.path(kCarLock + u".info"_s));
        f.write(CliFixture::car1(u"data.rvd"_s), partners);
        const CliFixture::Run held = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"10"_s});
        QVERIFY2(held.code == 0, qPrintable(held.err));
        QVERIFY(QFileInfo::exists(f.path(CliFixture::car1(u"honapok.rvd.hibas"_s))));
    }

    // prices sync takes each car's lock: a car held elsewhere keeps its file, the others do not wait.
    void syncRefusesAHeldCar() {
        Folder f;
        f.write(u"Users/b95.rvd"_s, "2\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n");
        f.heldBy(kCarLock, u"gep-b"_s, QDateTime::currentDateTimeUtc());
        const auto before = f.snapshot();
        const CliFixture::Run r = f.as(u"gep-c"_s, {u"prices"_s, u"sync"_s, u"ABC-123"_s});
        QVERIFY2(r.code == 1 && r.err.contains(u"zárolva van: gep-b/kati"_s) && !r.out.contains(u"új havi ár"_s),
                 qPrintable(r.err + r.out));
        QCOMPARE(f.snapshot(), before);
    }

    // An import carries the new months into every NAV car it can lock at once; a car held
    // elsewhere keeps its list untouched and is named, the published list is still imported and
    // the import counts as done.
    void importCarriesOnlyIntoFreeCars() {
        Folder f;
        f.write(u"Users/b95.rvd"_s, "1\r\n#2031-01-01#\r\n701\r\n");
        f.write(CliFixture::car1(u"benzin.rvd"_s), "1\r\n#2031-01-01#\r\n701\r\n");
        f.heldBy(kCarLock, u"gep-b"_s, QDateTime::currentDateTimeUtc());
        f.write(u"uj.tsv"_s, kTableHead + tableRow(2031, 2, 702));
        const QByteArray carBefore = f.read(CliFixture::car1(u"benzin.rvd"_s));
        CliFixture::Run r = f.as(u"gep-c"_s, {u"prices"_s, u"import"_s, f.path(u"uj.tsv"_s)});
        QVERIFY2(r.code == 0 && r.err.contains(u"Figyelem: Kovács Péter: most más szerkeszti (gep-b/kati"_s),
                 qPrintable(r.err + r.out));
        QCOMPARE(f.read(u"Users/b95.rvd"_s), QByteArray("2\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n"));
        QCOMPARE(f.read(CliFixture::car1(u"benzin.rvd"_s)), carBefore);
        // Free again, the next sync takes the month.
        QFile::remove(f.path(kCarLock));
        QFile::remove(f.path(kCarLock + u".info"_s));
        r = f.as(u"gep-c"_s, {u"prices"_s, u"sync"_s, u"ABC-123"_s});
        QVERIFY2(r.code == 0 && r.out.contains(u"1 új havi ár"_s), qPrintable(r.err + r.out));
        QCOMPARE(f.read(CliFixture::car1(u"benzin.rvd"_s)), QByteArray("2\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n"));
    }

    // Another computer's unfinished import is never replayed while that computer holds the folder.
    // Once free, it is finished only where a file still holds the old bytes, and told exactly.
    void journalReplayWaitsForTheFolder() {
        Folder f;
        const QByteArray old95 = "1\r\n#2031-01-01#\r\n701\r\n";
        const QByteArray new95 = "2\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n";
        f.write(u"Users/b95.rvd"_s, old95);
        f.write(u"Users/nav-import.naplo"_s, journalOf("b95.rvd", old95, new95));
        f.write(u"marc.tsv"_s, kTableHead + tableRow(2031, 3, 703));
        f.heldBy(kFolderLock, u"gep-b"_s, QDateTime::currentDateTimeUtc());
        const auto before = f.snapshot();
        CliFixture::Run r = f.as(u"gep-c"_s, {u"prices"_s, u"import"_s, f.path(u"marc.tsv"_s)});
        QVERIFY2(r.code == 1 && r.err.contains(u"Az adatkönyvtár most zárolva van: gep-b/kati"_s), qPrintable(r.err));
        QCOMPARE(f.snapshot(), before);

        QFile::remove(f.path(kFolderLock));
        QFile::remove(f.path(kFolderLock + u".info"_s));
        r = f.as(u"gep-c"_s, {u"prices"_s, u"import"_s, f.path(u"marc.tsv"_s)});
        QVERIFY2(r.code == 0 && r.err.contains(u"most kapta meg az új árakat: b95.rvd"_s), qPrintable(r.err));
        QVERIFY(f.read(u"Users/b95.rvd"_s).startsWith("3\r\n#2031-01-01#\r\n701\r\n#2031-02-01#\r\n702\r\n#2031-03-01#"));
        QVERIFY(!QFileInfo::exists(f.path(u"Users/nav-import.naplo"_s)));

        // A file someone wrote since holds neither side of the journal: it stays, and is named.
        const QByteArray theirs = "1\r\n#2031-05-01#\r\n705\r\n";
        f.write(u"Users/b95.rvd"_s, theirs);
        f.write(u"Users/nav-import.naplo"_s, journalOf("b95.rvd", old95, new95));
        r = f.as(u"gep-c"_s, {u"prices"_s, u"sync"_s, u"--all"_s});
        QVERIFY2(r.err.contains(u"közben más írta, ezért változatlan maradt: b95.rvd"_s), qPrintable(r.err));
        QCOMPARE(f.read(u"Users/b95.rvd"_s), theirs);
    }

    // Three imports at once on a share whose every rename is slow: each one told done is in
    // every file it changed.
    void overlappingImportsOnASlowShare() {
        Folder f;
        f.write(u"Users/b95.rvd"_s, "0\r\n");
        QVector<QProcess*> runs;
        for (int i = 1; i <= 3; ++i) {
            f.write(u"t%1.tsv"_s.arg(i), kTableHead + tableRow(2040, i, 700 + i));
            auto* p = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"ROVANTA_HOSTNAME"_s, u"gep-%1"_s.arg(i));
            env.insert(u"ROVANTA_TEST_RENAME_DELAY_MS"_s, u"150"_s);
            env.insert(u"HOME"_s, f.dir.filePath(u"home%1"_s.arg(i)));
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(ROVANTA_BIN_DIR "/rovanta-cli"),
                     {u"--data-dir"_s, f.data, u"prices"_s, u"import"_s, f.path(u"t%1.tsv"_s.arg(i))});
            runs << p;
        }
        int done = 0;
        for (int i = 1; i <= 3; ++i) {
            QProcess* p = runs[i - 1];
            QVERIFY(p->waitForFinished(60000));
            const QString err = QString::fromUtf8(p->readAllStandardError());
            if (p->exitCode() != 0) {
                QVERIFY2(err.contains(u"zárolva van"_s), qPrintable(err)); // refused, never half done
                continue;
            }
            ++done;
            const QByteArray month = "#2040-0" + QByteArray::number(i) + "-01#\r\n";
            for (const auto& [file, price] : {std::pair(u"b95.rvd"_s, 700), std::pair(u"bdiz.rvd"_s, 710),
                                              std::pair(u"bkev.rvd"_s, 720)})
                QVERIFY2(f.read(u"Users/"_s + file).contains(month + QByteArray::number(price + i)), qPrintable(file));
        }
        QVERIFY(done >= 1);
        QVERIFY(!QFileInfo::exists(f.path(u"Users/nav-import.naplo"_s)));
    }

    // A link inside the folder never turns one own file into another, whichever writer meets it.
    void linksInsideTheFolderAreNeverWrittenThrough() {
        Folder f;
        const QByteArray cars = f.read(u"user.rvd"_s);
        RV_SYMLINK(f.path(u"user.rvd"_s), f.path(kCarLock + u".info"_s));
        CliFixture::Run r = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s});
        QVERIFY2(r.code == 1 && r.err.contains(u"szimbolikus link"_s), qPrintable(r.err));
        QCOMPARE(f.read(u"user.rvd"_s), cars);
        QVERIFY(!QFileInfo::exists(f.path(kCarLock)));
        QFile::remove(f.path(kCarLock + u".info"_s));

        RV_SYMLINK(u"../../user.rvd"_s, f.path(CliFixture::car1(u"honapok.rvd"_s)));
        r = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s});
        QVERIFY2(r.code == 1 && r.err.contains(u"szimbolikus link"_s), qPrintable(r.err));
        QCOMPARE(f.read(u"user.rvd"_s), cars);
        QVERIFY(!QFileInfo::exists(f.path(CliFixture::car1(u"honapok.rvd.hibas"_s))));
        QFile::remove(f.path(CliFixture::car1(u"honapok.rvd"_s)));

        RV_SYMLINK(f.path(u"user.rvd"_s), f.path(kFolderLock + u".info"_s));
        f.write(u"t.tsv"_s, kTableHead + tableRow(2040, 1, 700));
        r = f.run({u"prices"_s, u"import"_s, f.path(u"t.tsv"_s)});
        QVERIFY2(r.code == 1 && r.err.contains(u"szimbolikus link"_s), qPrintable(r.err));
        QCOMPARE(f.read(u"user.rvd"_s), cars);

        // Every car file written by a window refuses a link in its place too.
        RV_SYMLINK(f.path(u"user.rvd"_s), f.path(CliFixture::car1(u"2024apr.rvn"_s)));
        QVERIFY(!writeMonth(f.state, u"2024apr.rvn"_s, f.state.month).file);
        QCOMPARE(f.read(u"user.rvd"_s), cars);
    }

    // A FIFO or anything but a regular file where a lock belongs: refused at once, named; nothing waits.
    void aFifoLockHangsNothing() {
#ifndef Q_OS_UNIX
        QSKIP("FIFOs are a POSIX thing");
#else
        Folder f;
        QVERIFY(::mkfifo(QFile::encodeName(f.path(kCarLock)).constData(), 0600) == 0);
        const CliFixture::Run r = f.as(u"gep-b"_s, {u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s});
        QVERIFY2(r.code == 1 && r.err.contains(QDir::toNativeSeparators(f.path(kCarLock))) &&
                     r.err.contains(u"csővezeték"_s),
                 qPrintable(r.err));
        f.prompter.answer(No); // read only?
        logout(f.state);
        QVERIFY(!loginCar(f.state, 1));
        QVERIFY(f.prompter.last().contains(u"csővezeték"_s));
#endif
    }

    // A lock nobody can be read from (a crash between making and filling it): held while young,
    // offered (never taken silently) once its file time is past the stale period. A machine id
    // shared by cloned computers takes nobody's lock either: a dead process id of another host
    // name counts for nothing.
    void anUnreadableOrClonedLock() {
        Folder f;
        logout(f.state);
        f.write(kCarLock, "");
        f.prompter.answer(No); // read only?
        QVERIFY(!loginCar(f.state, 1));
        QVERIFY2(f.prompter.last().contains(u"?/? szerkeszti"_s), qPrintable(f.prompter.last()));
        {
            QFile lock(f.path(kCarLock));
            QVERIFY(lock.open(QIODevice::ReadWrite) &&
                    lock.setFileTime(QDateTime::currentDateTime().addSecs(-20 * 60), QFileDevice::FileModificationTime));
        }
        const CliFixture::Run cli = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"77"_s});
        QVERIFY2(cli.code == 1 && cli.err.contains(u"elavultnak látszik"_s), qPrintable(cli.err));
        f.prompter.clear();
        f.prompter.answer(Yes); // take it over
        QVERIFY(loginCar(f.state, 1) && !f.state.readOnly());
        QVERIFY2(f.prompter.asked.size() == 1 && f.prompter.last().contains(u"nem olvasható ki"_s), qPrintable(f.prompter.last()));
        logout(f.state);

        f.write(kCarLock, "999999\nrovanta\nklon-gep\n" + QSysInfo::machineUniqueId() + "\n" + QSysInfo::bootUniqueId() + "\n");
        const auto before = f.snapshot();
        DataLock clone(f.data, carLockPath(f.data, u"ABC-123"_s));
        QCOMPARE(clone.tryTake(), DataLock::State::Held);
        QCOMPARE(f.snapshot(), before);
    }

    // The program's own names, wherever an output is pointed: locks, notes and the journal.
    void outputsNeverTakeALocksName() {
        Folder f;
        QTemporaryDir other;
        for (const QString& name : {u"rovanta-folder.lock"_s, u"rovanta-car-X.lock"_s, u"rovanta-car-X.lock.info"_s,
                                    u"rovanta-program-gep.lock"_s, u"rovanta-folder.lock.takeover"_s,
                                    u"nav-import.naplo"_s}) {
            QVERIFY2(!checkExportTarget(f.data, other.filePath(name)), qPrintable(name));
            const CliFixture::Run r = f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, other.filePath(name)});
            QVERIFY2(r.code != 0 && !QFileInfo::exists(other.filePath(name)), qPrintable(name));
        }
        for (const QString& name : {u"rovanta-car-.lock"_s, u"zar.lock"_s, u"rovanta-jegyzet.csv"_s, u"naplo"_s})
            QVERIFY2(checkExportTarget(f.data, other.filePath(name)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(SharedGateTest)
#include "tst_clisharedgate.moc"
