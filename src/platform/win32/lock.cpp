#include <windows.h>

#include "platform/platform.h"

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(RecursiveLock), "lock storage too small");

static CRITICAL_SECTION* AsSection(RecursiveLock* lock) {
    return reinterpret_cast<CRITICAL_SECTION*>(lock->storage);
}

void InitLock(RecursiveLock* lock) { InitializeCriticalSection(AsSection(lock)); }
void EnterLock(RecursiveLock* lock) { EnterCriticalSection(AsSection(lock)); }
void LeaveLock(RecursiveLock* lock) { LeaveCriticalSection(AsSection(lock)); }
void DeleteLock(RecursiveLock* lock) { DeleteCriticalSection(AsSection(lock)); }

}  // namespace platform
