// What ZorFact.dll exports. Hosts and tests resolve the journal functions by name
// (GetProcAddress, or dlsym on Linux) through the typedefs below.
#pragma once

#include <cstdint>

#include "zorvi/component.h"

extern "C" {

// The ComponentFactory for 361 (one object for the life of the module); null otherwise.
zorvi::IComponent* CreateComponent(zorvi::ComponentId componentId, zorvi::CreatorId creatorId);
// Copies the journal, one line per call received, into buffer (cut to size - 1 characters
// and terminated when size > 0; a null buffer only measures). Returns the journal's length.
int32_t ZorFactJournal(char* buffer, int32_t size);
void ZorFactClearJournal();

}  // extern "C"

namespace zorfact {
using JournalFn = int32_t (*)(char*, int32_t);
using ClearJournalFn = void (*)();
}  // namespace zorfact
