#include <dlfcn.h>

#include "export_ordinal.h"

namespace testsupport {

bool ModulesHaveOrdinals() { return false; }
void* FindExportByOrdinal(platform::ModuleHandle, int) { return nullptr; }
void UnloadModule(platform::ModuleHandle module) { dlclose(module); }

}  // namespace testsupport
