#include "memalloc/create_memory_allocator.h"

#include <atomic>
#include <new>

#include "factory_link/factory_scope.h"
#include "memalloc/memory_allocator.h"
#include "memalloc/scoped_lock.h"

namespace memalloc {

namespace {

// Read without a lock on the fast path; written under g_creation.lock only.
std::atomic<MemoryAllocator*> theAllocator{nullptr};

// Serialises the first creation (a lock of its own: the module lock is not held around
// creation functions). Recursive, because the construction calls a factory module that
// may call back in on the same thread.
struct CreationLock {
    CreationLock() { platform::InitLock(&lock); }
    ~CreationLock() { platform::DeleteLock(&lock); }
    platform::RecursiveLock lock;
    bool constructing = false;  // an instance is being built on the thread that holds the lock
};
// Ready before the class is registered, so before any creation can run.
__attribute__((init_priority(201))) CreationLock g_creation;

struct CreationOutcome {
    MemoryAllocator* instance;
    bool builtHere;
};

MemoryAllocator* ConstructInstance() {
    try {
        return new (std::nothrow) MemoryAllocator;
    } catch (...) {  // thrown by a factory module's configuration of the log channel
        return nullptr;
    }
}

CreationOutcome FindOrConstruct() {
    ScopedLock guard(g_creation.lock);
    if (MemoryAllocator* existing = theAllocator.load()) return {existing, false};
    // A call back into creation from the instance's own construction: there is no
    // instance to give yet, and a second one must not be built.
    if (g_creation.constructing) return {nullptr, false};
    g_creation.constructing = true;
    MemoryAllocator* built = ConstructInstance();
    g_creation.constructing = false;
    theAllocator.store(built);
    return {built, built != nullptr};
}

void RegisterWithFactory(MemoryAllocator* instance) {
    factory_link::SingletonRegistrationScope scope;
    if (scope.service) scope.service->RegisterSingleton(instance);
}

}  // namespace

zorvi::IComponent* CreateMemoryAllocator() {
    if (MemoryAllocator* existing = theAllocator.load()) return existing;
    CreationOutcome outcome = FindOrConstruct();
    if (outcome.builtHere) RegisterWithFactory(outcome.instance);
    return outcome.instance;
}

void ForgetInstance(MemoryAllocator* instance) {
    MemoryAllocator* expected = instance;
    theAllocator.compare_exchange_strong(expected, nullptr);
}

}  // namespace memalloc
