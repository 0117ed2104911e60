#include "locks.h"

#include "fileio.h"
#include "win1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <QSysInfo>
#include <QThread>
#include <QUuid>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

// A takeover lasts milliseconds: a mark this old was left by a crash in the middle of one.
constexpr qint64 kTakeoverMarkSeconds = 10 * 60;
constexpr qint64 kLockReadLimit = 4096;

QString takeoverMarkPath(const QString& lockPath) { return lockPath + u".takeover"_s; }

// A computer or car name as one safe file name part.
QString fileNamePart(QString text) {
    for (QChar& c : text)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    return text.isEmpty() ? u"_"_s : text;
}

qint64 currentPid() { return QCoreApplication::applicationPid(); }

// Whether a process of this computer runs; unknown counts as running.
bool processRunning(qint64 pid) {
    if (pid <= 0)
        return true;
#ifdef Q_OS_WIN
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
#else
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
#ifdef Q_OS_LINUX
    // An ended child its parent has not collected yet still answers: its state says it ended.
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.read(512);
        const qsizetype end = line.lastIndexOf(')');
        if (end > 0 && end + 2 < line.size() && line[end + 2] == 'Z')
            return false;
    }
#endif
    return true;
#endif
}

// Notes are UTF-8; an older program on a Windows computer wrote its code page.
QString noteText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? win1250::decode(bytes) : text;
}

QString withOffset(const QDateTime& t) {
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

// What a reader sees of a lock: the lock file's and the note's bytes.
struct LockSight {
    bool lockRead = false;
    QByteArray lock;
    QByteArray note;
    QString failure; // the lock or the note is not a regular file
};

LockSight look(const QString& lockPath) {
    LockSight s;
    const Result l = readPlainFile(lockPath, s.lock, kLockReadLimit);
    s.lockRead = bool(l);
    if (!l && l.code() != 53)
        s.failure = l.message();
    const Result n = readPlainFile(lockNotePath(lockPath), s.note, kLockReadLimit);
    if (!n && n.code() != 53 && s.failure.isEmpty())
        s.failure = n.message();
    return s;
}

QString tokenOf(const QByteArray& lockBytes) {
    const QList<QByteArray> lines = lockBytes.split('\n');
    return lines.size() > 3 ? QString::fromLatin1(lines[3].trimmed()) : QString();
}

LockHolder holderOf(const QString& lockPath, const LockSight& sight) {
    LockHolder h;
    const QList<QByteArray> lockLines = sight.lock.split('\n');
    if (lockLines.size() >= 3) {
        h.pid = lockLines[0].trimmed().toLongLong();
        h.host = noteText(lockLines[2].trimmed());
        h.token = tokenOf(sight.lock);
    }
    const QStringList lines = noteText(sight.note).split(u'\n');
    // A note of another taking (one left by a crash) says nothing of this lock.
    const QString noteToken = lines.size() >= 6 ? lines[5].trimmed() : QString();
    const bool sameTaking = noteToken.isEmpty() || h.token.isEmpty() || noteToken == h.token;
    if (lines.size() >= 4 && sameTaking && !lines[0].isEmpty()) {
        h.host = lines[0];
        h.user = lines[1];
        h.since = QDateTime::fromString(lines[2], Qt::ISODate);
        h.alive = QDateTime::fromString(lines[3], Qt::ISODate);
        if (lines.size() >= 5)
            h.beat = lines[4].trimmed().toLongLong();
        if (h.token.isEmpty())
            h.token = noteToken;
    }
    h.unreadable = h.host.isEmpty();
    const QDateTime made = QFileInfo(lockPath).lastModified();
    if (!h.since.isValid())
        h.since = made;
    if (!h.alive.isValid() || h.unreadable)
        h.alive = h.unreadable ? made : h.since;
    h.otherHost = !h.host.isEmpty() && h.host != localHostName();
    return h;
}

// What this reader has watched of each held lock: since when (on its own clock) it looks the same.
struct Watch {
    QByteArray seen;
    qint64 since = 0;
};
QMutex watchMutex;
QHash<QString, Watch>& watches() {
    static QHash<QString, Watch> w;
    return w;
}
std::function<qint64()>& watchClockOverride() {
    static std::function<qint64()> clock;
    return clock;
}

// How long, in milliseconds, this reader has seen the lock unchanged.
qint64 watchedUnchanged(const QString& lockPath, const QByteArray& seen) {
    const QMutexLocker locker(&watchMutex);
    const qint64 now = lockWatchClockMs();
    Watch& w = watches()[lockPath];
    if (w.seen != seen || w.seen.isNull()) {
        w.seen = seen;
        w.since = now;
    }
    return now - w.since;
}

bool olderThan(const QDateTime& t, qint64 minutes) {
    return t.isValid() && t.toUTC().secsTo(QDateTime::currentDateTimeUtc()) > minutes * 60;
}

} // namespace

qint64 lockWatchClockMs() {
    if (const auto& clock = watchClockOverride())
        return clock();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void setLockWatchClockForTests(std::function<qint64()> clock) { watchClockOverride() = std::move(clock); }

QString holderText(const LockHolder& h, const QDateTime& now) {
    const QString who = (h.host.isEmpty() ? u"?"_s : h.host) + u'/' + (h.user.isEmpty() ? u"?"_s : h.user);
    if (!h.since.isValid() || h.unreadable)
        return u"%1 szerkeszti"_s.arg(who);
    const QDateTime since = h.since.toLocalTime();
    const QString when = since.date() == now.toLocalTime().date() ? since.toString(u"HH:mm"_s)
                                                                   : since.toString(u"yyyy.MM.dd. HH:mm"_s);
    return u"%1 szerkeszti %2 óta"_s.arg(who, when);
}

QString localHostName() {
    if (const QString seam = qEnvironmentVariable("ROVANTA_HOSTNAME"); !seam.isEmpty())
        return seam;
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
QString lockNotePath(const QString& lockPath) { return lockPath + u".info"_s; }

bool isLockFileName(const QString& fileName) {
    const QString name = fileName.toLower();
    if (!name.startsWith(u"rovanta-"_s))
        return false;
    for (const QString& end : {u".lock"_s, u".lock.info"_s, u".lock.takeover"_s})
        if (name.endsWith(end))
            return name == u"rovanta-folder"_s + end ||
                   ((name.startsWith(u"rovanta-car-"_s) || name.startsWith(u"rovanta-program-"_s)) &&
                    name.size() > end.size() + 12);
    return false;
}

QByteArray lockNote(const LockHolder& h) {
    return (h.host + u'\n' + h.user + u'\n' + withOffset(h.since) + u'\n' + withOffset(h.alive) + u'\n' +
            QString::number(h.beat) + u'\n' + h.token + u'\n')
        .toUtf8();
}

LockHolder readLockHolder(const QString& lockPath, QString* failure) {
    const LockSight sight = look(lockPath);
    if (failure)
        *failure = sight.failure;
    return holderOf(lockPath, sight);
}

DataLock::DataLock(const QString& dataDir, const QString& path) : m_dataDir(dataDir), m_path(path) {}

DataLock::~DataLock() { release(); }

Result DataLock::writeNote() {
    const LockHolder me{localHostName(), localUserName(), m_since, QDateTime::currentDateTime(), m_beat,
                        currentPid(),    m_token,         false,   false};
    // Without its note the lock still holds; the others then see only the computer's name.
    return saveWholeFile(m_dataDir, lockNotePath(m_path), lockNote(me));
}

bool DataLock::createLock() {
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QByteArray content =
        QByteArray::number(currentPid()) + "\nrovanta\n" + localHostName().toUtf8() + '\n' + token.toLatin1() + '\n';
    bool existed = false;
    if (const Result r = createNewFile(m_dataDir, m_path, content, &existed); !r) {
        if (!existed)
            m_failure = u"A zárolás nem hozható létre: %1"_s.arg(r.message());
        return false;
    }
    m_token = token;
    m_taken = true;
    m_lost = false;
    m_beat = 0;
    m_since = QDateTime::currentDateTime();
    // A lock whose note cannot be written (a link in its place) is not taken: the others would
    // see a holder they cannot name.
    if (const Result r = writeNote(); !r) {
        m_taken = false;
        QFile::remove(m_path);
        m_failure = u"A zárolás nem hozható létre: %1"_s.arg(r.message());
        return false;
    }
    return true;
}

DataLock::State DataLock::tryTake(int waitMs) {
    if (m_taken)
        return State::Taken;
    m_failure.clear();
    m_seenStale.clear();
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_failure = u"A zárolások könyvtára nem hozható létre: %1"_s.arg(
            QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()));
        return State::Failed;
    }
    QElapsedTimer waited;
    waited.start();
    LockSight sight;
    for (;;) {
        if (createLock())
            return State::Taken;
        if (!m_failure.isEmpty())
            return State::Failed;
        sight = look(m_path);
        // Something that is not a lock of this program's making is never waited for nor touched.
        if (!sight.failure.isEmpty()) {
            m_failure = u"A zárolás fájlja nem használható, ezért a program nem nyúl hozzá:\r\n%1"_s.arg(sight.failure);
            return State::Failed;
        }
        // Released between the try and the look: free again at once.
        if (!sight.lockRead && !QFileInfo(m_path).isSymLink() && !QFileInfo::exists(m_path))
            continue;
        // This computer's own program (by its name, never by a machine id) ended without letting
        // go: nobody is left to ask, as with a lock the system itself keeps.
        const LockHolder h = holderOf(m_path, sight);
        if (!h.unreadable && !h.otherHost && h.pid > 0 && h.pid != currentPid() && !processRunning(h.pid)) {
            const LockSight again = look(m_path);
            if (again.lock == sight.lock && again.note == sight.note) {
                QFile::remove(lockNotePath(m_path));
                QFile::remove(m_path);
                continue;
            }
        }
        if (waited.elapsed() >= waitMs)
            break;
        QThread::msleep(100);
    }
    m_holder = holderOf(m_path, sight);
    const QByteArray seen = sight.lock + '\0' + sight.note;
    const bool watchedLong = watchedUnchanged(m_path, seen) >= qint64(kStaleLockMinutes) * 60 * 1000;
    // Only a time that carries its offset is compared with this computer's clock.
    const bool knownOld = !m_holder.unreadable && m_holder.alive.timeSpec() != Qt::LocalTime &&
                          olderThan(m_holder.alive, kStaleByClockMinutes);
    const bool madeLongAgo = m_holder.unreadable && olderThan(m_holder.alive, kStaleLockMinutes);
    // A lock of this very computer tells by its process whether its holder runs, whatever the note says.
    const bool runningHere = !m_holder.unreadable && !m_holder.otherHost && m_holder.pid > 0 && processRunning(m_holder.pid);
    if (!runningHere && (watchedLong || knownOld || madeLongAgo)) {
        m_seenStale = seen;
        return State::Stale;
    }
    return State::Held;
}

bool DataLock::takeOver() {
    if (m_taken)
        return true;
    if (m_seenStale.isNull())
        return false;
    const QString mark = takeoverMarkPath(m_path);
    bool existed = false;
    Result marked = createNewFile(m_dataDir, mark, QUuid::createUuid().toByteArray(), &existed);
    if (!marked && existed && olderThan(QFileInfo(mark).lastModified(), kTakeoverMarkSeconds / 60)) {
        QFile::remove(mark);
        marked = createNewFile(m_dataDir, mark, QUuid::createUuid().toByteArray(), &existed);
    }
    if (!marked)
        return false; // another computer is taking it over right now
    bool taken = false;
    const LockSight now = look(m_path);
    // Renewed, released or taken by someone else since it was found stale: not this one's to take.
    if (now.failure.isEmpty() && now.lock + '\0' + now.note == m_seenStale) {
        QFile::remove(lockNotePath(m_path));
        QFile::remove(m_path);
        taken = createLock();
    }
    QFile::remove(mark);
    m_seenStale.clear();
    return taken;
}

LockAttempt takeLock(DataLock& lock, int waitMs, const std::function<bool(const LockHolder&)>& offer) {
    switch (lock.tryTake(waitMs)) {
    case DataLock::State::Taken:
        return {LockOutcome::Taken, false};
    case DataLock::State::Failed:
        return {LockOutcome::Failed, false};
    case DataLock::State::Held:
        return {LockOutcome::Held, false};
    case DataLock::State::Stale:
        break;
    }
    if (offer && offer(lock.holder()) && lock.takeOver())
        return {LockOutcome::Taken, true};
    return {LockOutcome::Held, true};
}

Result DataLock::confirm() {
    if (!m_taken)
        return Result::failure(m_lost ? holderText(m_holder) : u"A zárolás nem ennek a programnak a birtokában van."_s,
                               75);
    QByteArray bytes;
    if (readPlainFile(m_path, bytes, kLockReadLimit) && tokenOf(bytes) == m_token)
        return Result::success();
    m_taken = false;
    m_lost = true;
    m_holder = readLockHolder(m_path);
    return Result::failure(holderText(m_holder), 75);
}

Result DataLock::renew() {
    if (Result r = confirm(); !r)
        return r;
    ++m_beat;
    return writeNote();
}

void DataLock::release() {
    if (!m_taken)
        return;
    // A lock another computer has taken meanwhile is its own: nothing of it is touched.
    if (!confirm())
        return;
    m_taken = false;
    QFile::remove(lockNotePath(m_path));
    QFile::remove(m_path);
}

} // namespace rv
