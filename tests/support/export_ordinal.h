// Export lookups by ordinal, which only Windows modules have.
#pragma once

#include "platform/platform.h"

namespace testsupport {

bool ModulesHaveOrdinals();
// The export with this ordinal, or null (always null where modules have no ordinals).
void* FindExportByOrdinal(platform::ModuleHandle module, int ordinal);
// Gives back one load of the module (FreeLibrary / dlclose).
void UnloadModule(platform::ModuleHandle module);

}  // namespace testsupport
