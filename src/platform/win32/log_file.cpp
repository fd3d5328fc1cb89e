#include <windows.h>

#include "platform/platform.h"

namespace platform {

// INVALID_HANDLE_VALUE has all bits set: CreateFileA's failure already is NoFile().
static_assert(sizeof(HANDLE) == sizeof(FileHandle), "a file handle is a HANDLE");

FileHandle OpenFileForAppend(const char* path) {
    if (!path || !*path) return NoFile();
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end, even one
    // from another process between a holder's seek and its write.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return static_cast<FileHandle>(file);
}

void CloseFile(FileHandle file) {
    if (file == NoFile()) return;
    CloseHandle(static_cast<HANDLE>(file));
}

}  // namespace platform
