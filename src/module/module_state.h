// Process-wide state of the module and the module lock.
//
// The lock is created by its first acquisition, which static start-up makes (the class
// registration) before any export can be called; that is why the test of lockReady needs
// no guard. The lock is recursive: the free-map sweep and the idle notification hold it
// while code they call re-enters it on the same thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"
#include "zorvi/types.h"

namespace module {

constexpr int kRegistryPathSize = 260;  // at most 259 characters and a terminator

struct ModuleState {
    zorvi::ModuleHandle moduleHandle;   // written once, at process attach
    // Plain values that hosts set and components read without the lock; atomics only so
    // that such unguarded reads are well defined.
    std::atomic<zorvi::ModuleHandle> factoryModule;
    std::atomic<int32_t> dllSafe;
    char registryPath[kRegistryPathSize];  // always terminated; written under the lock
    int32_t lockReady;
    platform::RecursiveLock moduleLock;  // initialised exactly while lockReady is 1
};

// The one instance; all zero when the module is loaded.
ModuleState& State();

void EnsureModuleLock();
void AcquireModuleLock();
void ReleaseModuleLock();
// Deletes the lock when it exists (process detach). Returns whether it existed.
bool DeleteModuleLock();

// Holds the module lock for a scope.
class ModuleLockGuard {
public:
    ModuleLockGuard() { AcquireModuleLock(); }
    ~ModuleLockGuard() { ReleaseModuleLock(); }
    ModuleLockGuard(const ModuleLockGuard&) = delete;
    ModuleLockGuard& operator=(const ModuleLockGuard&) = delete;
};

}  // namespace module
