// Holds a platform lock for a scope, so that an early return or an exception cannot leave
// it held.
#pragma once

#include "platform/platform.h"

namespace memalloc {

class ScopedLock {
public:
    explicit ScopedLock(platform::RecursiveLock& lock) : lock_(lock) { platform::EnterLock(&lock_); }
    ~ScopedLock() { platform::LeaveLock(&lock_); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    platform::RecursiveLock& lock_;
};

}  // namespace memalloc
