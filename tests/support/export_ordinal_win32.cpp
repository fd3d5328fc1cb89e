#include <windows.h>

#include "export_ordinal.h"

namespace testsupport {

bool ModulesHaveOrdinals() { return true; }

void* FindExportByOrdinal(platform::ModuleHandle module, int ordinal) {
    return reinterpret_cast<void*>(
        GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal)));
}

void UnloadModule(platform::ModuleHandle module) { FreeLibrary(static_cast<HMODULE>(module)); }

}  // namespace testsupport
