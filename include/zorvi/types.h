// Basic types shared by hosts, factory modules and the memalloc module.
#pragma once

#include <cstdint>

namespace zorvi {

// Windows instance handle of a loaded module (HMODULE); a dlopen handle on Linux.
using ModuleHandle = void*;

// Component IDs known to this module. 0 names no class.
using ComponentId = int32_t;
constexpr ComponentId kMemoryAllocatorId = 3;
constexpr ComponentId kComponentFactoryId = 361;

// The tag by which a caller of CreateComponent identifies itself; never interpreted.
// The module passes 0 when it asks the factory module for a component itself.
using CreatorId = uint32_t;

}  // namespace zorvi
