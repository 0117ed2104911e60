#include "lockquestions.h"

#include "storage/prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

bool offerTakeover(DataLock& lock, Prompter* prompter, const QString& what) {
    const LockHolder& h = lock.holder();
    const qint64 minutes = h.alive.secsTo(QDateTime::currentDateTime()) / 60;
    if (!prompter ||
        prompter->ask(u"%1 zárolva van: %2.\r\n\r\nA(z) %3 számítógép %4 perce nem jelentkezett: lehet, hogy leállt "
                      u"vagy elvesztette a hálózatot.\r\n\r\nÁtveszi a zárolást? Csak akkor válassza az Igent, ha "
                      u"biztos benne, hogy ott a program már nem fut, különben az ottani munka elveszhet."_s
                          .arg(what, holderText(h), h.host)
                          .arg(minutes),
                      Yes | No | DefaultNo, MsgIcon::Exclamation) != Yes)
        return false;
    return lock.takeOver();
}

Result takeFolderLock(DataLock& lock, Prompter* prompter, const QString& what) {
    const QString whole = u"Az adatkönyvtár"_s;
    switch (lock.tryTake(kFolderLockWaitMs)) {
    case DataLock::State::Taken:
        return Result::success();
    case DataLock::State::Stale:
        if (offerTakeover(lock, prompter, whole))
            return Result::success();
        break;
    case DataLock::State::Failed:
        return Result::failure(lock.failure() + u"\r\nSemmi sem változott."_s, 75);
    case DataLock::State::Held:
        break;
    }
    return Result::failure(u"%1 most nem írható: az adatkönyvtárat egy másik gépről írják (%2). Semmi sem "
                           u"változott; próbálja újra később."_s.arg(what.left(1).toUpper() + what.mid(1),
                                                                     holderText(lock.holder())),
                           75);
}

} // namespace rv
