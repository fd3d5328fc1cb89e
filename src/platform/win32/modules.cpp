#include <windows.h>

#include "platform/platform.h"

namespace platform {

const PathRules& NativePathRules() { return kWindowsPathRules; }

void HostExecutablePath(char* buffer, int size) {
    if (!buffer || size <= 0) return;
    buffer[0] = '\0';
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(size));
    // Older systems leave a name that fills the buffer unterminated.
    if (length >= static_cast<DWORD>(size)) buffer[size - 1] = '\0';
}

ModuleHandle LoadModule(const char* path) {
    if (!path) return nullptr;
    return LoadLibraryA(path);
}

void* FindExport(ModuleHandle module, const char* name) {
    if (!module || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

ModuleHandle FindLoadedModule(const char* fileName) {
    if (!fileName || !*fileName) return nullptr;
    return GetModuleHandleA(fileName);
}

}  // namespace platform
