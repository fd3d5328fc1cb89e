#include <pthread.h>

#include "platform/platform.h"

namespace platform {

static_assert(sizeof(pthread_mutex_t) <= sizeof(RecursiveLock), "lock storage too small");

static pthread_mutex_t* AsMutex(RecursiveLock* lock) {
    return reinterpret_cast<pthread_mutex_t*>(lock->storage);
}

void InitLock(RecursiveLock* lock) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(AsMutex(lock), &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void EnterLock(RecursiveLock* lock) { pthread_mutex_lock(AsMutex(lock)); }
void LeaveLock(RecursiveLock* lock) { pthread_mutex_unlock(AsMutex(lock)); }
void DeleteLock(RecursiveLock* lock) { pthread_mutex_destroy(AsMutex(lock)); }

}  // namespace platform
