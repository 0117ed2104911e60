#include "locks.h"

#include "fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

QString notePath(const QString& lockPath) { return lockPath + u".info"_s; }

// A computer or car name as one safe file name part.
QString fileNamePart(QString text) {
    for (QChar& c : text)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    return text.isEmpty() ? u"_"_s : text;
}

} // namespace

QString holderText(const LockHolder& h, const QDateTime& now) {
    const QString who = (h.host.isEmpty() ? u"?"_s : h.host) + u'/' + (h.user.isEmpty() ? u"?"_s : h.user);
    if (!h.since.isValid())
        return u"%1 szerkeszti"_s.arg(who);
    const QString when = h.since.date() == now.date() ? h.since.toString(u"HH:mm"_s)
                                                       : h.since.toString(u"yyyy.MM.dd. HH:mm"_s);
    return u"%1 szerkeszti %2 óta"_s.arg(who, when);
}

QString localHostName() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? u"?"_s : name;
}

QString localUserName() {
    for (const char* var : {"USER", "USERNAME", "LOGNAME"})
        if (const QString name = qEnvironmentVariable(var); !name.isEmpty())
            return name;
    return u"?"_s;
}

// The data directory itself: a lock released leaves nothing behind.
QString locksDir(const QString& dataDir) { return QDir(dataDir).absolutePath(); }
QString carLockPath(const QString& dataDir, const QString& carDirName) {
    return QDir(locksDir(dataDir)).filePath(u"rovanta-car-"_s + fileNamePart(carDirName.trimmed()) + u".lock"_s);
}
QString folderLockPath(const QString& dataDir) { return QDir(locksDir(dataDir)).filePath(u"rovanta-folder.lock"_s); }
QString instanceLockPath(const QString& dataDir) {
    return QDir(locksDir(dataDir)).filePath(u"rovanta-program-"_s + fileNamePart(localHostName()) + u".lock"_s);
}

QByteArray lockNote(const LockHolder& h) {
    return (h.host + u'\n' + h.user + u'\n' + h.since.toString(Qt::ISODate) + u'\n' + h.alive.toString(Qt::ISODate) +
            u'\n')
        .toUtf8();
}

LockHolder readLockHolder(const QString& lockPath) {
    LockHolder h;
    QFile note(notePath(lockPath));
    if (note.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(note.read(4096)).split(u'\n');
        if (lines.size() >= 4) {
            h.host = lines[0];
            h.user = lines[1];
            h.since = QDateTime::fromString(lines[2], Qt::ISODate);
            h.alive = QDateTime::fromString(lines[3], Qt::ISODate);
        }
    }
    // Between taking the lock and writing the note the lock's own content is all there is.
    if (h.host.isEmpty()) {
        QLockFile lock(lockPath);
        qint64 pid = 0;
        QString app;
        lock.getLockInfo(&pid, &h.host, &app);
    }
    const QDateTime made = QFileInfo(lockPath).lastModified();
    if (!h.since.isValid())
        h.since = made;
    if (!h.alive.isValid())
        h.alive = h.since;
    h.otherHost = !h.host.isEmpty() && h.host != localHostName();
    return h;
}

DataLock::DataLock(const QString& dataDir, const QString& path) : m_dataDir(dataDir), m_path(path) {}

DataLock::~DataLock() { release(); }

bool DataLock::isTaken() const { return m_lock && m_lock->isLocked(); }

void DataLock::writeNote(const QDateTime& since) {
    LockHolder me{localHostName(), localUserName(), since, QDateTime::currentDateTime(), false};
    // Without its note the lock still holds; the others then see only the computer's name.
    saveWholeFile(m_dataDir, notePath(m_path), lockNote(me));
}

DataLock::State DataLock::tryTake(int waitMs, const QDateTime& now) {
    if (isTaken())
        return State::Taken;
    m_failure.clear();
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_failure = u"A zárolások könyvtára nem hozható létre: %1"_s.arg(
            QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()));
        return State::Failed;
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock is never taken for its age alone: a stale one is offered to the user.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(waitMs)) {
        m_since = QDateTime::currentDateTime();
        writeNote(m_since);
        return State::Taken;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        m_failure = u"A zárolás nem hozható létre: %1"_s.arg(QDir::toNativeSeparators(m_path));
        return State::Failed;
    }
    m_holder = readLockHolder(m_path);
    const bool silent = m_holder.alive.isValid() && m_holder.alive.secsTo(now) > qint64(kStaleLockMinutes) * 60;
    return m_holder.otherHost && silent ? State::Stale : State::Held;
}

bool DataLock::takeOver() {
    if (!m_lock)
        return false;
    if (!m_lock->removeStaleLockFile() && QFileInfo::exists(m_path))
        return false;
    QFile::remove(notePath(m_path));
    if (!m_lock->tryLock(0))
        return false;
    m_since = QDateTime::currentDateTime();
    writeNote(m_since);
    return true;
}

void DataLock::renew() {
    if (isTaken())
        writeNote(m_since);
}

void DataLock::release() {
    if (!isTaken())
        return;
    QFile::remove(notePath(m_path));
    m_lock->unlock();
}

} // namespace rv
