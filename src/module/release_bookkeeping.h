// Release bookkeeping: components leave the live registry here, and the module tells the
// factory when the registry becomes empty.
#pragma once

#include <cstdint>

namespace module {

// Called by a component's release after the object is deleted: `component` is only a key
// to look up and a value to print. With notifyFactory non-zero, a registry left empty is
// reported to the factory service as idle. Holds the module lock throughout.
void UnregisterComponent(const void* component, int32_t notifyFactory);

}  // namespace module
