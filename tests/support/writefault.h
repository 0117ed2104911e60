#pragma once

// A full disk without root: a forked child may not grow any file past a few bytes
// (RLIMIT_FSIZE, with SIGXFSZ ignored every write past the limit fails with EFBIG). Windows has
// no fork, file size limit or FIFO: the tests that need one skip there.

#include "storage/result.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>

#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#define RV_NEEDS_POSIX_FAULTS()
#else
#define RV_NEEDS_POSIX_FAULTS() QSKIP("needs fork, a file size limit or a FIFO")
#endif

namespace rv {

#ifdef Q_OS_UNIX

// What work reported in a forked child run after prepare. A child still running after ms (-1: no
// limit) is killed and reads as a failure saying "hung"; one that did not finish, as one without text.
inline Result inChild(const std::function<void()>& prepare, const std::function<Result()>& work, int ms) {
    int fds[2];
    if (::pipe(fds) != 0)
        return Result::failure(QStringLiteral("pipe"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        prepare();
        const Result r = work();
        const QByteArray out = (r ? QByteArray("+") : QByteArray("-")) + r.message().toUtf8();
        for (ssize_t done = 0, n = 0; done < out.size(); done += n)
            if ((n = ::write(fds[1], out.constData() + done, size_t(out.size() - done))) <= 0)
                break;
        ::_exit(0);
    }
    ::close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    QByteArray got;
    char buf[4096];
    bool hung = false;
    for (ssize_t n; !(hung = ::poll(&p, 1, ms) <= 0) && (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        got.append(buf, n);
    ::close(fds[0]);
    if (hung)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (hung)
        return Result::failure(QStringLiteral("hung"));
    return got.startsWith('+') ? Result::success() : Result::failure(QString::fromUtf8(got.mid(1)));
}

// Work run where no file may grow past limit bytes.
inline Result underFileSizeLimit(rlim_t limit, const std::function<Result()>& work) {
    return inChild([limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
    }, work, -1);
}

// Work that must finish within ms: a reader that waits on a FIFO reads as a failure saying "hung".
inline Result finishesWithin(int ms, const std::function<Result()>& work) { return inChild([] {}, work, ms); }
#else
// Never reached: the tests skip first.
inline Result underFileSizeLimit(long long, const std::function<Result()>&) {
    return Result::failure(QStringLiteral("no file size limit here"));
}
inline Result finishesWithin(int, const std::function<Result()>&) { return Result::failure(QStringLiteral("hung")); }
#endif

// A FIFO at path; false where there are none.
inline bool makeFifo(const QString& path) {
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// Every file under dir with its bytes (folders as "dir"), error.log left out.
inline QMap<QString, QByteArray> filesUnder(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.fileName().endsWith(QStringLiteral("error.log")))
            continue;
        const bool file = QFileInfo(f.fileName()).isFile() && f.open(QIODevice::ReadOnly);
        files.insert(QDir(dir).relativeFilePath(f.fileName()), file ? f.readAll() : QByteArray("dir"));
    }
    return files;
}

} // namespace rv
