#pragma once

// Locks on a data directory that several computers may share (a Windows or Samba share, NFS):
// one per car for a working session, one for the whole folder held only while a file that
// belongs to every car is written, and one per computer against a second copy of the program.
// The lock itself is a QLockFile; beside it a small note says who holds it, since when, and when
// the holder last said it is still there. QLockFile can tell a dead holder only on the computer
// that made the lock; a lock of another computer is told stale by its note growing old.

#include "result.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

namespace rv {

// A lock whose holder has not renewed its note for this long counts as stale: its computer
// crashed, lost the network or was switched off.
constexpr int kStaleLockMinutes = 15;
// How often a session renews its note (well inside the limit above).
constexpr int kLockRenewSeconds = 60;

struct LockHolder {
    QString host;
    QString user;
    QDateTime since; // when the lock was taken
    QDateTime alive; // when the holder last renewed its note
    bool otherHost = false;
};

// "<host>/<user> szerkeszti 10:42 óta" (the day too when it was not today).
QString holderText(const LockHolder& holder, const QDateTime& now = QDateTime::currentDateTime());

QString localHostName();
QString localUserName();

// The folder of the locks (the data directory), and the lock files in it.
QString locksDir(const QString& dataDir);
QString carLockPath(const QString& dataDir, const QString& carDirName);
QString folderLockPath(const QString& dataDir);
// The lock that keeps a second copy of the program on this computer off the folder.
QString instanceLockPath(const QString& dataDir);

class DataLock {
public:
    enum class State {
        Taken,  // this lock is ours now
        Held,   // someone else holds it and is still there
        Stale,  // someone else holds it but has not been heard of for kStaleLockMinutes
        Failed, // the lock cannot be made (folder missing, not writable)
    };

    DataLock(const QString& dataDir, const QString& path);
    ~DataLock();
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;

    // Tries for up to waitMs milliseconds. After Held or Stale, holder() says who.
    State tryTake(int waitMs = 0, const QDateTime& now = QDateTime::currentDateTime());
    // Removes a lock found Stale and takes it; false when it is held after all.
    bool takeOver();
    const LockHolder& holder() const { return m_holder; }
    QString failure() const { return m_failure; }

    bool isTaken() const;
    // Tells the others this holder is still there.
    void renew();
    void release();
    QString path() const { return m_path; }

private:
    void writeNote(const QDateTime& since);

    QString m_dataDir;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    LockHolder m_holder;
    QDateTime m_since;
    QString m_failure;
};

// Reads the note of a lock file (and what QLockFile itself wrote when the note is missing).
LockHolder readLockHolder(const QString& lockPath);
// The note's bytes, for a lock written by hand (a test's other computer).
QByteArray lockNote(const LockHolder& holder);

} // namespace rv
