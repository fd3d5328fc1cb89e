#include "module/module_state.h"

namespace module {

namespace {
// Zero-initialised storage: no constructor runs, so the state is valid before any static
// initialiser of the module, including the one that takes the lock first.
ModuleState g_state;
}  // namespace

ModuleState& State() { return g_state; }

void EnsureModuleLock() {
    if (g_state.lockReady) return;
    platform::InitLock(&g_state.moduleLock);
    g_state.lockReady = 1;
    g_state.dllSafe = 1;
}

void AcquireModuleLock() {
    if (!g_state.lockReady) EnsureModuleLock();
    platform::EnterLock(&g_state.moduleLock);
}

void ReleaseModuleLock() { platform::LeaveLock(&g_state.moduleLock); }

bool DeleteModuleLock() {
    if (!g_state.lockReady) return false;
    platform::DeleteLock(&g_state.moduleLock);
    g_state.lockReady = 0;
    return true;
}

}  // namespace module
