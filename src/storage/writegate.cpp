#include "writegate.h"

#include "datafiles.h"
#include "fileio.h"
#include "locks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString lostLockText(const QString& what, const QString& holder) {
    return u"%1 zárolását közben átvette: %2; a változások nem lettek mentve, de a program nem dobta el őket: "
           u"ami nyitva van, nyitva marad, így kimásolható vagy kinyomtatható. Innentől a program ezt csak olvassa."_s
        .arg(what, holder);
}

WriteGate::WriteGate(Kind kind, QString dataDir, QString why, DataLock* lock)
    : m_kind(kind), m_dataDir(std::move(dataDir)), m_why(std::move(why)), m_lock(lock) {}

WriteGate WriteGate::open(const QString& dataDir) { return WriteGate(Kind::Open, dataDir, {}, nullptr); }

WriteGate WriteGate::closed(const QString& dataDir, const QString& why) {
    return WriteGate(Kind::Closed, dataDir, why, nullptr);
}

WriteGate WriteGate::locked(const QString& dataDir, DataLock* lock, const QString& what) {
    return lock ? WriteGate(Kind::Locked, dataDir, what, lock) : open(dataDir);
}

Result WriteGate::check() const {
    switch (m_kind) {
    case Kind::Open:
        return Result::success();
    case Kind::Closed:
        return Result::failure(m_why, 75);
    case Kind::Locked:
        break;
    }
    const bool wasLost = m_lock->lost();
    if (const Result r = m_lock->confirm(); !r)
        return Result::failure(wasLost || m_lock->lost() ? lostLockText(m_why, r.message()) : r.message(), 75);
    return Result::success();
}

Result WriteGate::checkTarget(const QString& path) const {
    if (Result r = check(); !r)
        return r;
    return checkWriteTarget(m_dataDir, path);
}

Result WriteGate::save(const QString& path, const QByteArray& data, SaveError* error) const {
    if (error)
        *error = SaveError::Other;
    if (Result r = check(); !r)
        return r;
    return saveWholeFile(m_dataDir, path, data, error);
}

Result WriteGate::saveThroughScratch(const QString& dir, const QString& fileName, const QByteArray& data) const {
    if (Result r = check(); !r)
        return r;
    return writeThroughScratch(m_dataDir, dir, fileName, data);
}

Result WriteGate::remove(const QString& path) const {
    if (Result r = check(); !r)
        return r;
    if (Result r = checkWriteTarget(m_dataDir, path); !r)
        return r;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return Result::success();
    errno = 0;
    if (std::remove(QFile::encodeName(path).constData()) != 0)
        return Result::failure(
            u"A fájl nem törölhető: %1\r\n%2"_s.arg(QDir::toNativeSeparators(path), fileErrorText(errno)), 75);
    return Result::success();
}

QString WriteGate::keepAside(const QString& path) const {
    // A copy is only made of a file about to be replaced: one that may not be written stays alone.
    if (!check() || !checkWriteTarget(m_dataDir, path))
        return {};
    return rv::keepAside(m_dataDir, path);
}

} // namespace rv
