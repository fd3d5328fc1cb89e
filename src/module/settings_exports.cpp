// The exported setters: registry path, factory handle and the DLL-safe flag.
#include <cstring>

#include "module/module_state.h"
#include "zorvi/exports.h"

using module::State;

int32_t SetDLLRegistry(const char* path) {
    module::ModuleLockGuard guard;
    char* registryPath = State().registryPath;
    // A path that does not fit is refused whole, never cut.
    if (path && strlen(path) < static_cast<size_t>(module::kRegistryPathSize))
        strcpy(registryPath, path);
    else
        registryPath[0] = '\0';
    return 0;
}

zorvi::ModuleHandle SetFactoryHandle(zorvi::ModuleHandle handle) {
    State().factoryModule = handle;
    return handle;
}

int32_t ZorviSetDllSafe(int32_t safe) {
    State().dllSafe = safe;
    return safe;
}
