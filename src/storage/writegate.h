#pragma once

// The one gate every write of a car's files (months, month and car facts, prices, partners,
// rescue copies, deletes) and of the folder's shared files (car list, multipliers, published
// prices, the import journal) passes. A closed gate (read-only mode, a reading command) writes
// nothing at all. A locked gate confirms on disk, before each write, that its lock is still this
// program's: a lock another computer took over meanwhile stops every further write, and the
// refusal says who took it and that nothing was saved.

#include "fileio.h"
#include "result.h"

#include <QByteArray>
#include <QString>

namespace rv {

class DataLock;

class WriteGate {
public:
    // Writes without a lock to confirm: a folder no one else can be using yet (the first start,
    // a new car before anyone can open it, a test's folder).
    static WriteGate open(const QString& dataDir);
    // Writes nothing; why is the refusal.
    static WriteGate closed(const QString& dataDir, const QString& why);
    // Writes while lock (not owned; outlives the gate) is still this program's. what names the
    // files in the refusal: "A(z) ABC-123 gépkocsi", "Az adatkönyvtár".
    static WriteGate locked(const QString& dataDir, DataLock* lock, const QString& what);

    const QString& dataDir() const { return m_dataDir; }
    bool isClosed() const { return m_kind == Kind::Closed; }
    // Success when a write may go ahead now.
    Result check() const;
    // The same, and path is one the writer would write (before work that only ends in a write).
    Result checkTarget(const QString& path) const;

    // The file writer's whole-file save, through-scratch save and append, behind check().
    Result save(const QString& path, const QByteArray& data, SaveError* error = nullptr) const;
    Result saveThroughScratch(const QString& dir, const QString& fileName, const QByteArray& data) const;
    // Removes a file of the folder (never what a link points to); a missing one is no failure.
    Result remove(const QString& path) const;
    // A rescue copy of a damaged file before anything replaces it (see storage/datafiles
    // keepAside); empty when none was made, always so behind a closed gate: the next writer that
    // holds the lock makes it.
    QString keepAside(const QString& path) const;

private:
    enum class Kind { Open, Closed, Locked };
    WriteGate(Kind kind, QString dataDir, QString why, DataLock* lock);
    Kind m_kind;
    QString m_dataDir;
    QString m_why; // closed: the refusal; locked: what is locked
    DataLock* m_lock;
};

// What a reader behind a closed gate says of a damaged file it leaves as it is.
inline const QString kUntouchedDamage =
    QStringLiteral("A hibás fájl változatlan maradt; másolatát az készíti el, aki legközelebb írhat bele.");

// "A(z) ABC-123 gépkocsi zárolását közben átvette: gép/felhasználó; a változások nem lettek mentve, ..."
QString lostLockText(const QString& what, const QString& holder);

} // namespace rv
