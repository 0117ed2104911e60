#pragma once

// Locks on a data directory that several computers may share (a Windows or Samba share, NFS):
// one per car for a working session, one for the whole folder held only while a file that
// belongs to every car is written, and one per computer against a second copy of the program.
//
// The lock is a file made only when it does not exist yet (one winner); it names its holder's
// computer, process and a token of this one taking. Beside it a note says who holds it, since
// when and when the holder last said it is still there (UTC with its offset), with a counter the
// holder bumps each time. A holder confirms on disk that the token is still its own before every
// write, renewal and release: a lock taken over by another computer is never renewed, released
// or written under by the one that lost it.
//
// Stale: no computer's clock is trusted against another's. A reader calls a lock stale only when
// it has itself watched the lock and its note stay the same for kStaleLockMinutes on its own
// clock, or when the note's UTC time is older than its own by far more than that (a computer
// switched off for hours). A lock whose holder cannot be read at all (a crash between making it
// and filling it) is stale once its file time is that old. A stale lock is only ever offered;
// nothing takes it silently. The one exception is a lock of this very computer, told by its
// name, whose process has ended: it goes as a lock the system keeps would.

#include "result.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace rv {

// A lock whose holder has not renewed its note for this long counts as stale: its computer
// crashed, lost the network or was switched off.
constexpr int kStaleLockMinutes = 15;
// A note this much older than the reader's own UTC time is stale without watching it: clocks
// set by hand drift minutes, not an hour, and time zones no longer count.
constexpr int kStaleByClockMinutes = 4 * kStaleLockMinutes;
// How often a session renews its note (well inside the limit above).
constexpr int kLockRenewSeconds = 60;

struct LockHolder {
    QString host;
    QString user;
    QDateTime since; // when the lock was taken (with the holder's UTC offset)
    QDateTime alive; // when the holder last renewed its note
    qint64 beat = 0; // the holder's renewal counter
    qint64 pid = 0;
    QString token; // this taking of the lock
    bool otherHost = false;
    bool unreadable = false; // no holder could be read: the times are the lock file's
};

// "<host>/<user> szerkeszti 10:42 óta" (the day too when it was not today), in the reader's time.
QString holderText(const LockHolder& holder, const QDateTime& now = QDateTime::currentDateTime());

// The computer's name; the environment variable ROVANTA_HOSTNAME stands in for it, so that tests
// and the soak play several computers on one machine.
QString localHostName();
QString localUserName();

// The folder of the locks (the data directory), and the lock files in it.
QString locksDir(const QString& dataDir);
QString carLockPath(const QString& dataDir, const QString& carDirName);
QString folderLockPath(const QString& dataDir);
// The lock that keeps a second copy of the program on this computer off the folder.
QString instanceLockPath(const QString& dataDir);
QString lockNotePath(const QString& lockPath);
// The lock files, notes and takeover marks the program makes, by file name.
bool isLockFileName(const QString& fileName);

class DataLock {
public:
    enum class State {
        Taken,  // this lock is ours now
        Held,   // someone else holds it and is still there
        Stale,  // someone else holds it but has not been heard of (see above)
        Failed, // the lock cannot be made (folder missing, not writable, not a regular file)
    };

    DataLock(const QString& dataDir, const QString& path);
    ~DataLock();
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;

    // Tries for up to waitMs milliseconds. After Held or Stale, holder() says who.
    State tryTake(int waitMs = 0);
    // Replaces the lock found Stale by tryTake with this one's, only when it is still the very
    // lock found stale: of two computers answering Yes at once one wins. False when it is not ours.
    bool takeOver();
    const LockHolder& holder() const { return m_holder; }
    QString failure() const { return m_failure; }

    // Ours as far as this program knows (taken and not found lost).
    bool isTaken() const { return m_taken; }
    // Reads the lock on disk: success while it is still this taking's. When another computer has
    // taken it, the lock counts as lost from then on and holder() names the new holder.
    Result confirm();
    bool lost() const { return m_lost; }
    // Tells the others this holder is still there; refused (and nothing written) when lost.
    Result renew();
    // Removes the lock and its note, only when they are still ours.
    void release();
    QString path() const { return m_path; }

private:
    Result writeNote();
    bool createLock();

    QString m_dataDir;
    QString m_path;
    QString m_token;
    QDateTime m_since;
    qint64 m_beat = 0;
    bool m_taken = false;
    bool m_lost = false;
    QByteArray m_seenStale; // what tryTake saw of the lock it called stale
    LockHolder m_holder;
    QString m_failure;
};

// The one decision for every taker of a lock (a login, a change of a car, a command, a write of
// the folder's files): tries for waitMs; a stale lock is offered through offer, given the holder
// (a null offer: never taken, as the command line does), and taken over only on its yes. After
// Held, lock.holder() names the holder and stale says whether it was offered as stale.
enum class LockOutcome { Taken, Held, Failed };
struct LockAttempt {
    LockOutcome outcome = LockOutcome::Failed;
    bool stale = false;
};
LockAttempt takeLock(DataLock& lock, int waitMs, const std::function<bool(const LockHolder&)>& offer);

// Reads the note of a lock file (and what the lock file itself says when the note is missing).
// Neither is ever opened through a link or as anything but a regular file, and opening never
// waits. failure: set when the lock or its note is not a regular file.
LockHolder readLockHolder(const QString& lockPath, QString* failure = nullptr);
// The note's bytes, for a lock written by hand (a test's other computer).
QByteArray lockNote(const LockHolder& holder);

// The reader's own clock for watching notes, in milliseconds (monotonic). Tests move it.
qint64 lockWatchClockMs();
void setLockWatchClockForTests(std::function<qint64()> clock);

} // namespace rv
