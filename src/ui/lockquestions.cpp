#include "lockquestions.h"

#include "storage/prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

bool askTakeover(const LockHolder& h, Prompter* prompter, const QString& what) {
    const qint64 minutes = std::max<qint64>(kStaleLockMinutes, h.alive.toUTC().secsTo(QDateTime::currentDateTimeUtc()) / 60);
    const QString silent = h.unreadable
                               ? u"A zárolás gazdája nem olvasható ki (a fájl %1 perce nem változott): lehet, hogy egy "
                                 u"leállt program hagyta itt."_s.arg(minutes)
                               : u"A(z) %1 számítógép legalább %2 perce nem jelentkezett: lehet, hogy leállt vagy "
                                 u"elvesztette a hálózatot."_s.arg(h.host.isEmpty() ? u"?"_s : h.host)
                                     .arg(minutes);
    return prompter &&
           prompter->ask(u"%1 zárolva van: %2.\r\n\r\n%3\r\n\r\nÁtveszi a zárolást? Csak akkor válassza az Igent, "
                         u"ha biztos benne, hogy ott a program már nem fut, különben az ottani munka elveszhet."_s
                             .arg(what, holderText(h), silent),
                         Yes | No | DefaultNo, MsgIcon::Exclamation) == Yes;
}

LockAttempt takeAsking(DataLock& lock, int waitMs, Prompter* prompter, const QString& what) {
    return takeLock(lock, waitMs, [&](const LockHolder& h) { return askTakeover(h, prompter, what); });
}

Result takeFolderLock(DataLock& lock, Prompter* prompter, const QString& what) {
    const LockAttempt attempt = takeAsking(lock, kFolderLockWaitMs, prompter, u"Az adatkönyvtár"_s);
    if (attempt.outcome == LockOutcome::Taken)
        return Result::success();
    if (attempt.outcome == LockOutcome::Failed)
        return Result::failure(lock.failure() + u"\r\nSemmi sem változott."_s, 75);
    return Result::failure(u"%1 most nem írható: az adatkönyvtárat egy másik gépről írják (%2). Semmi sem "
                           u"változott; próbálja újra később."_s.arg(what.left(1).toUpper() + what.mid(1),
                                                                     holderText(lock.holder())),
                           75);
}

} // namespace rv
