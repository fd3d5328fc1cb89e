// The allocator's creation function and its one instance.
#pragma once

#include "zorvi/component.h"

namespace memalloc {

class MemoryAllocator;

// Class 3's CreateFn: the one instance, built at the first call (and again after the
// instance was released), or null when no storage was left. Only the call that built
// the instance registers it with the factory, after it became visible to other callers,
// so that a call the factory makes back while it registers gets the same instance.
zorvi::IComponent* CreateMemoryAllocator();

// Called by the instance's destruction: the next creation must not hand it out.
void ForgetInstance(MemoryAllocator* instance);

}  // namespace memalloc
