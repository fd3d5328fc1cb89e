#include <windows.h>

#include "platform/platform.h"

namespace platform {

void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   char* buffer, int size, const char* file) {
    if (!buffer || size <= 0) return;
    GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", buffer,
                             static_cast<DWORD>(size), file);
}

}  // namespace platform
