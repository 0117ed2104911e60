#pragma once

// The questions about locks of a shared data folder, asked through the Prompter.

#include "storage/locks.h"
#include "storage/result.h"

namespace rv {

class Prompter;

// How long a write that spans cars waits for the folder lock before it asks.
constexpr int kFolderLockWaitMs = 5000;

// A lock found stale: asks whether to take it over, naming the holder and why it looks stale.
bool askTakeover(const LockHolder& holder, Prompter* prompter, const QString& what);
// The window's way of taking a lock (storage/locks takeLock): a stale one is taken over only on
// the user's Yes to askTakeover.
LockAttempt takeAsking(DataLock& lock, int waitMs, Prompter* prompter, const QString& what);

// Takes the folder lock for one write that spans cars (what: "a gépkocsik listája"): waits up to
// kFolderLockWaitMs, then offers a stale lock for takeover. On failure the result names the
// holder and nothing was written.
Result takeFolderLock(DataLock& lock, Prompter* prompter, const QString& what);

} // namespace rv
