// Placeholder until the INI reader lands: always gives the default.
#include <cstring>

#include "platform/platform.h"

namespace platform {

void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   char* buffer, int size, const char* file) {
    if (!buffer || size <= 0) return;
    const char* value = defaultValue ? defaultValue : "";
    strncpy(buffer, value, static_cast<size_t>(size - 1));
    buffer[size - 1] = '\0';
}

}  // namespace platform
