// The seven functions exported by memalloc.dll, by name and with fixed ordinals:
// CreateComponent 1, SetDLLRegistry 2, ZorviDllFreeMap 3, ZorviDllCanUnloadNow 4,
// SetFactoryHandle 5, ZorviSetDllSafe 6, GetComponentIDs 7.
// The typedefs serve hosts that resolve them with GetProcAddress (or dlsym on Linux).
#pragma once

#include <cstdint>

#include "zorvi/component.h"

extern "C" {

// Creates (or, for a single-instance class, returns) a component of class componentId for
// creatorId and records it as live. Null when the class is unknown or its creation fails.
zorvi::IComponent* CreateComponent(zorvi::ComponentId componentId, zorvi::CreatorId creatorId);
// Stores the configuration path (at most 259 characters; null or longer empties it). 0.
int32_t SetDLLRegistry(const char* path);
// Asks every live component whose free-map flag is set for an ordinary release.
void ZorviDllFreeMap();
// 1 when no component of the module is live, else 0.
int32_t ZorviDllCanUnloadNow();
// Hands over an already loaded factory module (null: load it from the configuration).
// Returns the handle stored.
zorvi::ModuleHandle SetFactoryHandle(zorvi::ModuleHandle handle);
// Sets the flag that gates component releases (0: releases do nothing). Returns it.
int32_t ZorviSetDllSafe(int32_t safe);
// Writes up to `capacity` registered class IDs into `ids` and returns how many classes
// are registered. A capacity of 0 (or a null ids) only counts.
int32_t GetComponentIDs(zorvi::ComponentId* ids, uint32_t capacity);

}  // extern "C"

namespace zorvi {
using CreateComponentFn = IComponent* (*)(ComponentId, CreatorId);
using SetDLLRegistryFn = int32_t (*)(const char*);
using ZorviDllFreeMapFn = void (*)();
using ZorviDllCanUnloadNowFn = int32_t (*)();
using SetFactoryHandleFn = ModuleHandle (*)(ModuleHandle);
using ZorviSetDllSafeFn = int32_t (*)(int32_t);
using GetComponentIDsFn = int32_t (*)(ComponentId*, uint32_t);
}  // namespace zorvi
