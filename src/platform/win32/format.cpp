#include <stdio.h>

#include "platform/platform.h"

namespace platform {

// Called by this name on purpose: mingw's headers may route the plain vsnprintf to their
// own formatter, and the module's texts follow the Microsoft C runtime's.
int FormatV(char* destination, size_t count, const char* format, va_list args) {
    return _vsnprintf(destination, count, format, args);
}

}  // namespace platform
