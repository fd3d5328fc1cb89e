// Process attach and detach for the shared object, ordered as on Windows: the module's
// static initialisers (which carry init priorities) run before this constructor, which has
// none; detach runs before the static destructors, both at dlclose and at process exit.
//
// Detach is registered with atexit from the attach constructor rather than declared as a
// destructor function: at process exit glibc runs the at-exit list (the static
// destructors of every object) before any destructor function, so a destructor function
// would report from a registry already destroyed. The at-exit list runs in reverse order
// of registration, at exit and at dlclose alike (atexit in a shared object is tied to that
// object), and detach is registered after every static object was constructed.
#include <dlfcn.h>

#include <cstdlib>

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

void OnProcessDetach() { module::ModuleEntryPoint(nullptr, module::Notification::ProcessDetach); }

__attribute__((constructor)) void OnProcessAttach() {
    module::ModuleEntryPoint(OwnModuleHandle(), module::Notification::ProcessAttach);
    atexit(&OnProcessDetach);
}

}  // namespace
