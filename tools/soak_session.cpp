// A window's session on one car without the window, for tools/soak_shared.sh: it holds the car's
// lock, renews it, and every second writes a month's private km through the car's write gate,
// printing "ok YEAR MONTH KM" for each write the gate let through and "refused ..." for the rest.
// While the file FREEZE exists it neither writes nor renews (a computer that lost the network).
//
//   soak_session session DATA CAR SECONDS YEAR FREEZE
//   soak_session takeover DATA CAR SECONDS YEAR      (watches the lock on a clock 60 times fast,
//                                                    takes it over once stale, then as session)

#include "model/monthfacts.h"
#include "model/state.h"
#include "model/statefiles.h"
#include "storage/locks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <cstdio>

using namespace rv;

namespace {

QTextStream out(stdout);

int session(AppState& s, DataLock& lock, qint64 seconds, int year, const QString& freeze) {
    s.carLock = std::shared_ptr<DataLock>(&lock, [](DataLock*) {});
    QElapsedTimer run;
    run.start();
    int n = 0;
    while (run.elapsed() < seconds * 1000) {
        if (!freeze.isEmpty() && QFileInfo::exists(freeze)) {
            QThread::msleep(200);
            continue;
        }
        lock.renew();
        ++n;
        const int month = (n - 1) % 12 + 1;
        const int km = 100 + n;
        const Result r = saveMonthFacts(s.carGate(), s.carPath(QString()), MonthFacts{year + (n - 1) / 12, month, {}, km, 0});
        if (r)
            out << "ok " << year + (n - 1) / 12 << ' ' << month << ' ' << km << Qt::endl;
        else
            out << "refused " << r.message().left(60).replace(u'\n', u' ') << Qt::endl;
        QThread::msleep(1000);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 6)
        return 2;
    AppState s;
    s.programDir = QDir(a[2]).absolutePath() + u'/';
    if (!LoadCars(s))
        return 2;
    for (int i = 1; i <= s.carCount(); ++i)
        if (s.car(i).plateNumber.trimmed() == a[3])
            s.currentCar = i;
    if (s.currentCar == 0)
        return 2;
    s.carDir = carDirOf(s.car(s.currentCar));
    DataLock lock(s.programDir, carLockPath(s.programDir, s.car(s.currentCar).dirName));
    const qint64 seconds = a[4].toLongLong();
    const int year = a[5].toInt();
    if (a[1] == u"takeover") {
        QElapsedTimer fast;
        fast.start();
        setLockWatchClockForTests([&] { return fast.elapsed() * 60; });
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            const DataLock::State state = lock.tryTake();
            if (state == DataLock::State::Taken)
                break;
            if (state == DataLock::State::Stale && lock.takeOver()) {
                out << "takeover " << waited.elapsed() << Qt::endl;
                break;
            }
            if (waited.elapsed() > seconds * 1000)
                return 1;
            QThread::msleep(250);
        }
        return session(s, lock, seconds - waited.elapsed() / 1000, year, {});
    }
    if (lock.tryTake(10000) != DataLock::State::Taken)
        return 1;
    return session(s, lock, seconds, year, a.value(6));
}
