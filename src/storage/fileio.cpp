#include "fileio.h"

#include "locks.h"

#include <QDateTime>
#include <QtEndian>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString fileErrorText(int e) {
    switch (e) {
    case ENOSPC:
        return u"Nincs elég hely a lemezen."_s;
#ifdef EDQUOT
    case EDQUOT:
        return u"Elfogyott a felhasználónak jutó lemezterület (kvóta)."_s;
#endif
    case EFBIG:
        return u"A fájl nagyobb lenne, mint amekkorát a rendszer megenged."_s;
    case EIO:
        return u"Lemezhiba (be- és kiviteli hiba)."_s;
    case EROFS:
        return u"A lemez csak olvasható."_s;
    case EACCES:
    case EPERM:
        return u"Nincs hozzá jogosultság."_s;
    case ENOENT:
        return u"Az elérési út nem található."_s;
    case ENOTDIR:
        return u"Az elérési út egyik tagja nem könyvtár."_s;
    case EISDIR:
        return u"Az útvonal egy könyvtár."_s;
    case ENAMETOOLONG:
        return u"Az elérési út túl hosszú."_s;
    case EMFILE:
    case ENFILE:
        return u"Túl sok a megnyitott fájl."_s;
    case EBUSY:
    case ETXTBSY:
        return u"A fájlt egy másik program használja."_s;
    case EEXIST:
        return u"Ilyen nevű fájl már van."_s;
    case EXDEV:
        return u"A fájl nem helyezhető át másik lemezre."_s;
    case ENXIO:
        return u"Az útvonal nem közönséges fájl (például csővezeték vagy socket)."_s;
    default:
        return u"Rendszerhiba (%1)."_s.arg(e);
    }
}

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

// The reason of a failed Qt file call: the system's error number when it left one.
QString reasonOf(int savedErrno, QFileDevice::FileError error) {
    if (savedErrno != 0)
        return fileErrorText(savedErrno);
    switch (error) {
    case QFileDevice::ReadError:
        return u"Olvasási hiba."_s;
    case QFileDevice::WriteError:
        return u"Írási hiba."_s;
    case QFileDevice::PermissionsError:
        return u"Nincs hozzá jogosultság."_s;
    case QFileDevice::ResourceError:
        return u"Elfogytak a rendszer erőforrásai (például a lemezhely)."_s;
    default:
        return u"A fájl nem nyitható meg."_s;
    }
}

Result cannotWrite(const QString& path, const QString& why, int code = 75) {
    return Result::failure(u"A fájl nem írható: %1 (%2)"_s.arg(native(path), why), code);
}

#ifdef Q_OS_UNIX
QString kindText(mode_t mode) {
    if (S_ISDIR(mode))
        return u"Az útvonal egy könyvtár."_s;
    if (S_ISFIFO(mode))
        return u"Az útvonal egy csővezeték (FIFO), nem közönséges fájl."_s;
    if (S_ISSOCK(mode))
        return u"Az útvonal egy socket, nem közönséges fájl."_s;
    return u"Az útvonal egy eszköz, nem közönséges fájl."_s;
}
#endif

// Why an existing path is not a regular file; empty for a regular file or nothing there.
QString notRegularKind(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))
        return {};
    return kindText(st.st_mode);
#else
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? fileErrorText(EISDIR) : u"Az útvonal nem közönséges fájl."_s;
#endif
}

// Opens path only when it is a regular file, for reading or for appending (created when
// missing). Opening never waits: a FIFO without a writer would hold the program forever.
// noFollow: a link as the last part is refused. why: the reason when refused.
bool openRegular(const QString& path, QFile& file, bool append, bool noFollow, QString& why) {
#ifdef Q_OS_UNIX
    int flags = O_NONBLOCK | O_CLOEXEC | (append ? O_WRONLY | O_APPEND | O_CREAT : O_RDONLY);
    if (noFollow)
        flags |= O_NOFOLLOW;
    errno = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0) {
        why = errno == ELOOP && noFollow ? u"Az útvonal egy szimbolikus link."_s : fileErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = kindText(st.st_mode);
        ::close(fd);
        return false;
    }
    // Reads and writes of a regular file never wait anyway; the flag only guarded the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::ReadOnly,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        why = reasonOf(0, file.error());
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (noFollow && info.isSymLink()) {
        why = u"Az útvonal egy szimbolikus link."_s;
        return false;
    }
    if (info.exists() && !info.isFile()) {
        why = info.isDir() ? fileErrorText(EISDIR) : u"Az útvonal nem közönséges fájl."_s;
        return false;
    }
    errno = 0;
    if (!file.open(append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::ReadOnly)) {
        why = reasonOf(errno, file.error());
        return false;
    }
    return true;
#endif
}

bool insideDir(const QString& root, const QString& path) {
    return path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Where path leads once every link on the way is followed, also when its last parts do not
// exist yet; empty when a link leads nowhere.
QString resolvedPath(const QString& path) {
    QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    if (info.isSymLink())
        return {};
    const QString parent = info.absolutePath();
    if (parent == info.absoluteFilePath())
        return parent;
    const QString dir = resolvedPath(parent);
    return dir.isEmpty() ? QString() : QDir(dir).filePath(info.fileName());
}

// The writer's temporaries: "temp.tmp" and those of the atomic writer, named after an own file
// with six random letters of both cases ("data.rvd.QxWbTe"). A letter suffix of one case only
// ("data.rvd.backup") may be the user's.
bool isWriterTemporary(const QString& name) {
    if (name.compare(u"temp.tmp"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (name.size() < 8 || name[name.size() - 7] != u'.')
        return false;
    bool upper = false;
    bool lower = false;
    for (qsizetype i = name.size() - 6; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c < u'A' || c > u'z' || (c > u'Z' && c < u'a'))
            return false;
        (c.isUpper() ? upper : lower) = true;
    }
    return upper && lower && isOwnFileName(name.left(name.size() - 7));
}

// Leftovers of an interrupted save go. A temporary written in the last minutes may belong to a
// save still running (a second copy, the command line) and stays: removing it between its write
// and its rename would lose that save.
void removeStaleTemporaries(const QString& dir, const QString& keep) {
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kTemporaryAgeSeconds);
    const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& info : entries)
        if (info.fileName() != keep && isWriterTemporary(info.fileName()) && !info.isSymLink() &&
            info.lastModified().toUTC() < stale)
            QFile::remove(info.filePath());
}

int& renameDelayOverride() {
    static int ms = -1;
    return ms;
}

// A slow share, for tests: the environment carries it into a command line started by a test.
void delayRename() {
    int ms = renameDelayOverride();
    if (ms < 0)
        ms = qEnvironmentVariableIntValue("ROVANTA_TEST_RENAME_DELAY_MS");
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

Result writeAtomically(const QString& path, const QByteArray& data, SaveError* error) {
    auto failed = [&](SaveError kind, const QString& why) {
        if (error)
            *error = kind;
        return cannotWrite(path, why, kind == SaveError::PathNotFound ? 76 : 75);
    };
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return failed(SaveError::PathNotFound, u"Az elérési út nem található."_s);
    if (info.isDir())
        return failed(SaveError::Other, fileErrorText(EISDIR));
    // No write bit at all is the user's "read-only", also for an administrator whom the system
    // would let write anyway.
    const QFileDevice::Permissions anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return failed(SaveError::Other, u"A fájl írásvédett."_s);
    // The file's own mode, not what the running user may do with it.
    const QFileDevice::Permissions userBits = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const QFileDevice::Permissions mode = info.exists() ? info.permissions() & ~userBits : QFileDevice::Permissions{};
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failed(SaveError::Other, reasonOf(errno, file.error()));
    // Every piece, then the flush, is checked: a buffered write that failed must not be committed.
    for (qint64 done = 0; done < data.size();) {
        errno = 0;
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            const int e = errno;
            file.cancelWriting();
            return failed(SaveError::Other, reasonOf(e, file.error()));
        }
        done += n;
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const int e = errno;
        file.cancelWriting();
        return failed(SaveError::Other, reasonOf(e, file.error()));
    }
    delayRename();
    errno = 0;
    if (!file.commit())
        return failed(SaveError::Other, reasonOf(errno, file.error()));
    // The new file takes the old one's permissions (a shared folder's group rights stay).
    if (mode && (QFileInfo(path).permissions() & ~userBits) != mode)
        QFile::setPermissions(path, mode);
    return Result::success();
}

} // namespace

namespace {
constexpr quint64 k1 = 0x9E3779B185EBCA87ULL, k2 = 0xC2B2AE3D27D4EB4FULL, k3 = 0x165667B19E3779F9ULL;
quint64 rotl(quint64 x, int r) { return (x << r) | (x >> (64 - r)); }
quint64 round(quint64 acc, quint64 in) { return rotl(acc + in * k2, 31) * k1; }
quint64 load(const uchar* at) { return qFromLittleEndian<quint64>(at); } // the same on every machine
quint64 mix(quint64 h) {
    h ^= h >> 33;
    h *= k2;
    h ^= h >> 29;
    h *= k3;
    return h ^ (h >> 32);
}
} // namespace

Fingerprint::Fingerprint() : m_lanes{k1 + k2, k2, 0, 0 - k1} {}

void Fingerprint::add(const char* bytes, qsizetype n) {
    const uchar* p = reinterpret_cast<const uchar*>(bytes);
    m_total += quint64(n);
    auto block = [&](const uchar* at) {
        for (int k = 0; k < 4; ++k)
            m_lanes[k] = round(m_lanes[k], load(at + 8 * k));
    };
    if (m_pendingSize > 0) {
        const qsizetype take = std::min<qsizetype>(n, 32 - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, p, size_t(take));
        m_pendingSize += int(take);
        p += take;
        n -= take;
        if (m_pendingSize < 32)
            return;
        block(m_pending);
        m_pendingSize = 0;
    }
    for (; n >= 32; p += 32, n -= 32)
        block(p);
    std::memcpy(m_pending, p, size_t(n));
    m_pendingSize = int(n);
}

QByteArray Fingerprint::result() const {
    const auto [a, b, c, d] = m_lanes;
    quint64 tail = m_total;
    for (int i = 0; i < m_pendingSize; ++i)
        tail = rotl(tail ^ (quint64(m_pending[i]) * k3), 11) * k1;
    const quint64 first = mix(rotl(a, 1) + rotl(b, 7) + rotl(c, 12) + rotl(d, 18) + tail);
    const quint64 second = mix(round(round(round(round(tail ^ k3, d), c), b), a));
    QByteArray out(16, Qt::Uninitialized);
    for (int k = 0; k < 8; ++k) {
        out[k] = char(first >> (8 * k));
        out[8 + k] = char(second >> (8 * k));
    }
    return out;
}

FileStamp stampOfBytes(const QByteArray& data) {
    Fingerprint f;
    f.add(data.constData(), data.size());
    return FileStamp{true, true, data.size(), f.result()};
}

FileStamp stampOf(const QString& path) {
    if (!QFileInfo::exists(path))
        return FileStamp{true, false, 0, {}};
    QByteArray data;
    if (!readWholeFile(path, data))
        return FileStamp{true, true, -1, {}};
    return stampOfBytes(data);
}

bool isOwnFileName(const QString& fileName) {
    static const QStringList names = {u"user.rvd"_s,   u"users.rvd"_s,  u"cities.rvd"_s, u"error.log"_s,
                                      u"data.rvd"_s,   u"benzin.rvd"_s, u"szorzo.rvd"_s, u"evszak.rvd"_s,
                                      u"b95.rvd"_s,    u"b98.rvd"_s,    u"bdiz.rvd"_s,   u"bkev.rvd"_s,
                                      u"honapok.rvd"_s, u"gepkocsi.rvd"_s, u"helyek.rvd"_s, u"temp.tmp"_s,
                                      u"blpg.rvd"_s,   u"bcng.rvd"_s,   u"munkarend.tsv"_s};
    const QString name = fileName.toLower();
    if (names.contains(name) || (name.endsWith(u".rvn"_s) && name.size() > 4) || name == u"nav-import.naplo"_s ||
        isLockFileName(name))
        return true;
    // Rescue copies of an own file: "benzin.rvd.hibas", "benzin.rvd.hibas.2"; a user's "x.hibas"
    // is not one.
    const qsizetype at = name.lastIndexOf(u".hibas"_s);
    if (at > 0) {
        const QString rest = name.mid(at + 6);
        const bool counted = rest.size() > 1 && rest[0] == u'.' &&
                             std::all_of(rest.begin() + 1, rest.end(), [](QChar c) { return c.isDigit(); });
        if (rest.isEmpty() || counted)
            return isOwnFileName(fileName.left(at));
    }
    return isWriterTemporary(fileName);
}

Result checkWriteTarget(const QString& dataDir, const QString& path) {
    if (dataDir.isEmpty())
        return cannotWrite(path, u"A program csak az adatkönyvtárába ír, és ehhez az íráshoz nincs megadva "
                                 u"adatkönyvtár."_s);
    const QString base = QDir::cleanPath(QFileInfo(dataDir).absoluteFilePath());
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!insideDir(base, full))
        return cannotWrite(path, u"Az útvonal az adatkönyvtáron (%1) kívül van."_s.arg(QDir::toNativeSeparators(base)));
    // No link below the data directory, wherever it points: a link inside it turns one own file
    // into another (a lock note into the car list).
    QString at = base;
    for (const QString& part : full.mid(base.size()).split(u'/', Qt::SkipEmptyParts)) {
        at += u'/' + part;
        if (QFileInfo(at).isSymLink())
            return cannotWrite(path, u"A(z) %1 szimbolikus link; a program linken át nem ír."_s.arg(
                                         QDir::toNativeSeparators(at)));
    }
    if (const QString kind = notRegularKind(full); !kind.isEmpty())
        return cannotWrite(path, kind);
    return checkInsideDataDir(dataDir, path);
}

Result checkInsideDataDir(const QString& dataDir, const QString& path) {
    if (dataDir.isEmpty())
        return Result::success();
    const QString root = QFileInfo(dataDir).canonicalFilePath();
    const QString base = QDir::cleanPath(QFileInfo(dataDir).absoluteFilePath());
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (root.isEmpty() || !insideDir(base, full))
        return Result::success();
    // Each part below the data directory, from the top: the first link leading out is named.
    const QStringList parts = full.mid(base.size()).split(u'/', Qt::SkipEmptyParts);
    QString at = base;
    for (const QString& part : parts) {
        at += u'/' + part;
        const QFileInfo info(at);
        if (!info.isSymLink())
            continue;
        const QString target = resolvedPath(at);
        if (target.isEmpty() || !insideDir(root, target))
            return Result::failure(
                u"A(z) %1 szimbolikus link, amely az adatkönyvtáron kívülre vagy sehová sem mutat (%2). "
                u"Az adatkönyvtárban a program nem követ ilyen linket."_s.arg(
                    QDir::toNativeSeparators(at), QDir::toNativeSeparators(info.symLinkTarget())),
                75);
    }
    return Result::success();
}

Result checkExportTarget([[maybe_unused]] const QString& dataDir, const QString& path) {
    const QString shown = native(path);
    auto refused = [&](const QString& why) { return Result::failure(u"Ide a program nem ír: %1\n%2"_s.arg(shown, why), 75); };
    const QFileInfo info(path);
    if (info.isSymLink())
        return refused(info.exists() ? u"Az útvonal egy szimbolikus link; a program linken át nem ír."_s
                                     : u"Az útvonal egy sehová sem mutató szimbolikus link."_s);
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return refused(u"Az útvonal egy könyvtár."_s);
        if (S_ISFIFO(st.st_mode))
            return refused(u"Az útvonal egy csővezeték (FIFO), nem közönséges fájl."_s);
        if (S_ISSOCK(st.st_mode))
            return refused(u"Az útvonal egy socket, nem közönséges fájl."_s);
        return refused(u"Az útvonal egy eszköz, nem közönséges fájl."_s);
    }
#else
    if (info.isDir())
        return refused(u"Az útvonal egy könyvtár."_s);
    if (info.exists() && !info.isFile())
        return refused(u"Az útvonal nem közönséges fájl."_s);
#endif
    // Wherever it is: another data directory, a copy kept aside, a backup.
    const QString target = resolvedPath(path);
    if (isOwnFileName(info.fileName()) || (!target.isEmpty() && isOwnFileName(QFileInfo(target).fileName())))
        return refused(u"Ilyen nevű fájl a program saját adatfájlja; a kimenet nem írhatja felül, és ilyen "
                       u"néven nem is készülhet."_s);
    return Result::success();
}

// Opens a regular file to read; limit < 0: any size.
static Result openToRead(const QString& path, QFile& file, qint64 limit, bool noFollow) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Result::failure(u"A fájl nem található: %1"_s.arg(QDir::toNativeSeparators(path)), 53);
    file.setFileName(path);
    QString why;
    if (!openRegular(path, file, false, noFollow, why)) {
        // Looked at afresh: a file removed between the look and the open (a lock let go
        // meanwhile) is missing, not unreadable.
        const QFileInfo now(path);
        return Result::failure(u"A fájl nem olvasható: %1 (%2)"_s.arg(QDir::toNativeSeparators(path), why),
                               now.exists() || now.isSymLink() ? 75 : 53);
    }
    if (limit >= 0 && file.size() > limit)
        return Result::failure(u"A fájl túl nagy: %1"_s.arg(QDir::toNativeSeparators(path)), 62);
    return Result::success();
}

static Result readRegular(const QString& path, QByteArray& out, qint64 limit, bool head, bool noFollow = false) {
    QFile file;
    if (Result r = openToRead(path, file, head ? -1 : limit, noFollow); !r)
        return r;
    errno = 0;
    QByteArray data = file.read(head ? limit : limit + 1);
    if (file.error() != QFileDevice::NoError || data.size() > limit)
        return Result::failure(
            u"A fájl nem olvasható: %1 (%2)"_s.arg(QDir::toNativeSeparators(path), reasonOf(errno, file.error())), 75);
    out = std::move(data);
    return Result::success();
}

Result readWholeFile(const QString& path, QByteArray& out, qint64 limit) {
    return readRegular(path, out, limit, false);
}

Result readDataFile(const QString& dataDir, const QString& path, QByteArray& out, qint64 limit) {
    if (Result r = checkInsideDataDir(dataDir, path); !r)
        return r;
    return readWholeFile(path, out, limit);
}

Result DataFileReader::open(const QString& dataDir, const QString& path, qint64 limit) {
    if (Result r = checkInsideDataDir(dataDir, path); !r)
        return r;
    m_limit = limit;
    return openToRead(path, m_file, limit, false);
}

qint64 DataFileReader::read(char* at, qint64 n) {
    if (!m_file.isOpen())
        return -1;
    const qint64 got = m_file.read(at, n);
    if (got < 0 || m_file.error() != QFileDevice::NoError || m_read + got > m_limit)
        return -1;
    m_print.add(at, got);
    m_read += got;
    return got;
}

Result readDataFileHead(const QString& dataDir, const QString& path, qint64 bytes, QByteArray& out) {
    if (Result r = checkInsideDataDir(dataDir, path); !r)
        return r;
    return readRegular(path, out, bytes, true);
}

Result readPlainFile(const QString& path, QByteArray& out, qint64 limit) {
    return readRegular(path, out, limit, false, true);
}

Result createNewFile(const QString& dataDir, const QString& path, const QByteArray& data, bool* existed) {
    *existed = false;
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        *existed = true;
        return cannotWrite(path, fileErrorText(EEXIST));
    }
    if (Result r = checkWriteTarget(dataDir, path); !r)
        return r;
    QFile file(path);
    errno = 0;
    // One step: of two computers making it at once, one gets "exists".
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const int e = errno;
        *existed = e == EEXIST || QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        return cannotWrite(path, reasonOf(e, file.error()));
    }
    errno = 0;
    if (file.write(data) != data.size() || !file.flush()) {
        const int e = errno;
        const QString why = reasonOf(e, file.error());
        file.close();
        file.remove();
        return cannotWrite(path, why);
    }
    file.close();
    return Result::success();
}

Result saveWholeFile(const QString& dataDir, const QString& path, const QByteArray& data, SaveError* error) {
    if (error)
        *error = SaveError::None;
    if (Result r = checkWriteTarget(dataDir, path); !r) {
        if (error)
            *error = SaveError::Other;
        return r;
    }
    const QFileInfo info(path);
    if (info.absoluteDir().exists())
        removeStaleTemporaries(info.absolutePath(), info.fileName());
    return writeAtomically(path, data, error);
}

Result writeThroughScratch(const QString& dataDir, const QString& dir, const QString& fileName,
                           const QByteArray& data) {
    const QString scratch = dir + u"temp.tmp"_s;
    const QString target = dir + fileName;
    if (Result r = checkWriteTarget(dataDir, target); !r)
        return r;
    Result r = saveWholeFile(dataDir, scratch, data);
    if (!r)
        return r;
    std::error_code error;
    delayRename();
    std::filesystem::rename(nativePath(scratch), nativePath(target), error);
    if (error) {
        QFile::remove(scratch);
        // Windows reports its own error numbers: the portable condition is the errno one.
        return cannotWrite(target, fileErrorText(error.default_error_condition().value()));
    }
    return r;
}

void setRenameDelayForTests(int milliseconds) { renameDelayOverride() = milliseconds; }

Result appendToDataFile(const QString& dataDir, const QString& path, const QByteArray& data) {
    if (Result r = checkWriteTarget(dataDir, path); !r)
        return r;
    QFile file(path);
    QString why;
    if (!openRegular(path, file, true, true, why))
        return cannotWrite(path, why);
    errno = 0;
    if (file.write(data) != data.size() || !file.flush())
        return cannotWrite(path, reasonOf(errno, file.error()));
    return Result::success();
}

Result saveExportFile(const QString& dataDir, const QString& path, const QByteArray& data) {
    if (Result r = checkExportTarget(dataDir, path); !r)
        return r;
    return writeAtomically(path, data, nullptr);
}

} // namespace rv
