#include <windows.h>

#include "platform/platform.h"

namespace platform {

// No thread of a user process has the id 0.
uintptr_t CurrentThreadId() { return GetCurrentThreadId(); }

}  // namespace platform
