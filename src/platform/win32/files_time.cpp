#include <windows.h>

#include "platform/platform.h"

namespace platform {

LocalTime GetLocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour,
                     now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t SeekToEnd(FileHandle file) {
    LONG high = 0;
    DWORD position = SetFilePointer(static_cast<HANDLE>(file), 0, &high, FILE_END);
    DWORD error = GetLastError();
    // All bits set is also a valid low position word; only the error code tells.
    if (position == INVALID_SET_FILE_POINTER && error != 0) return error;
    return 0;
}

void WriteToFile(FileHandle file, const char* text, uint32_t length) {
    DWORD written = 0;
    WriteFile(static_cast<HANDLE>(file), text, length, &written, nullptr);
}

}  // namespace platform
