#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform.h"

namespace platform {

const PathRules& NativePathRules() { return kPosixPathRules; }

void HostExecutablePath(char* buffer, int size) {
    if (!buffer || size <= 0) return;
    buffer[0] = '\0';
    ssize_t length = readlink("/proc/self/exe", buffer, static_cast<size_t>(size - 1));
    // readlink does not terminate; a name that filled the buffer may have been cut, which
    // GetModuleFileNameA does as well.
    buffer[length > 0 ? length : 0] = '\0';
}

ModuleHandle LoadModule(const char* path) {
    // dlopen of an empty name hands out the main program; LoadLibraryA of one fails.
    if (!path || !*path) return nullptr;
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* FindExport(ModuleHandle module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

namespace {
struct LoadedSearch {
    const char* fileName;
    char path[4096];
    bool found;
};

int VisitLoadedObject(struct dl_phdr_info* info, size_t, void* data) {
    LoadedSearch* search = static_cast<LoadedSearch*>(data);
    const char* path = info->dlpi_name;
    if (!path || !*path) return 0;
    const char* slash = strrchr(path, '/');
    const char* lastComponent = slash ? slash + 1 : path;
    if (strcasecmp(lastComponent, search->fileName) != 0) return 0;
    if (strlen(path) >= sizeof search->path) return 0;
    strcpy(search->path, path);
    search->found = true;
    return 1;
}
}  // namespace

ModuleHandle FindLoadedModule(const char* fileName) {
    if (!fileName || !*fileName) return nullptr;
    LoadedSearch search{fileName, {0}, false};
    dl_iterate_phdr(&VisitLoadedObject, &search);
    if (!search.found) return nullptr;
    // RTLD_NOLOAD only hands out the handle of an object already loaded. It counts a
    // reference, which goes straight back: like GetModuleHandleA, the answer holds none.
    ModuleHandle handle = dlopen(search.path, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle;
}

}  // namespace platform
