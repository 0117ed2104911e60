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
#include <sys/wait.h>
#include <unistd.h>
#define RV_NEEDS_POSIX_FAULTS()
#else
#define RV_NEEDS_POSIX_FAULTS() QSKIP("needs fork, a file size limit or a FIFO")
#endif

namespace rv {

#ifdef Q_OS_UNIX

// Forks a child that runs prepare, then work, and writes what work reported into the pipe fds.
inline pid_t forkWork(int fds[2], const std::function<void()>& prepare, const std::function<Result()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        prepare();
        const Result r = work();
        const QByteArray out = (r ? QByteArray("+") : QByteArray("-")) + r.message().toUtf8();
        for (qsizetype done = 0; done < out.size();) {
            const ssize_t n = ::write(fds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    return pid;
}

inline Result childOutcome(const QByteArray& got) {
    if (got.startsWith('+'))
        return Result::success();
    return Result::failure(QString::fromUtf8(got.mid(1)));
}

// What work reported in the child; a child that did not finish reads as a failure without text.
inline Result underFileSizeLimit(rlim_t limit, const std::function<Result()>& work) {
    int fds[2];
    if (::pipe(fds) != 0)
        return Result::failure(QStringLiteral("pipe"));
    const pid_t pid = forkWork(fds, [limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
    }, work);
    QByteArray got;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        got.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return childOutcome(got);
}

// What work reported, run in a forked child that is killed when it has not finished within ms:
// a reader that waits on a FIFO reads as a failure saying "hung".
inline Result finishesWithin(int ms, const std::function<Result()>& work) {
    int fds[2];
    if (::pipe(fds) != 0)
        return Result::failure(QStringLiteral("pipe"));
    const pid_t pid = forkWork(fds, [] {}, work);
    pollfd p{fds[0], POLLIN, 0};
    QByteArray got;
    bool hung = false;
    for (;;) {
        if (::poll(&p, 1, ms) <= 0) {
            hung = true;
            break;
        }
        char buf[4096];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, n);
    }
    ::close(fds[0]);
    if (hung)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (hung)
        return Result::failure(QStringLiteral("hung"));
    return childOutcome(got);
}
#else
// Never reached: the tests skip first.
inline Result underFileSizeLimit(long long, const std::function<Result()>&) {
    return Result::failure(QStringLiteral("no file size limit here"));
}
inline Result finishesWithin(int, const std::function<Result()>&) { return Result::failure(QStringLiteral("hung")); }
#endif

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
