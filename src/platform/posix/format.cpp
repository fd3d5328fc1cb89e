// Placeholder until the _vsnprintf emulation lands.
#include <cstdio>

#include "platform/platform.h"

namespace platform {

int FormatV(char* destination, size_t count, const char* format, va_list args) {
    char scratch[4096];
    int length = vsnprintf(scratch, sizeof scratch, format, args);
    if (length < 0) return -1;
    size_t n = static_cast<size_t>(length);
    size_t copy = n < count ? n : count;
    for (size_t i = 0; i < copy; ++i) destination[i] = scratch[i];
    if (n < count) destination[n] = '\0';
    return n > count ? -1 : length;
}

}  // namespace platform
