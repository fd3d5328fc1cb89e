// Process attach and detach for the shared object, ordered as on Windows: the module's
// static initialisers (which carry init priorities) run before this constructor, which has
// none; at unload this destructor runs before __cxa_finalize destroys the static objects.
#include <dlfcn.h>

#include "module/entry.h"

namespace {

// The handle of this shared object, of the same kind that dlopen gives a host. RTLD_NOLOAD
// counts a reference; it goes straight back so that the object can still be unloaded.
void* OwnModuleHandle() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&OwnModuleHandle), &info) || !info.dli_fname) return nullptr;
    void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle;
}

__attribute__((constructor)) void OnProcessAttach() {
    module::ModuleEntryPoint(OwnModuleHandle(), module::Notification::ProcessAttach);
}

__attribute__((destructor)) void OnProcessDetach() {
    module::ModuleEntryPoint(nullptr, module::Notification::ProcessDetach);
}

}  // namespace
