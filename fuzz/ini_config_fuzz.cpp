// Fuzz target: arbitrary bytes as a configuration file, read through the POSIX INI reader
// and the factory-path resolution. Every value must come back terminated within its
// buffer, and nothing may be written past it (AddressSanitizer and a guard pattern watch).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "factory_link/config_resolution.h"
#include "factory_link/path_ops.h"
#include "platform/platform.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = "/tmp/zorvi-fuzz-" + std::to_string(getpid()) + ".ini";
    return path;
}

void WriteScratch(const uint8_t* data, size_t size) {
    FILE* file = fopen(ScratchFile().c_str(), "wb");
    if (!file) abort();
    if (size) fwrite(data, 1, size, file);
    fclose(file);
}

// Fills `size` bytes through `fill`, then checks the terminator and the guard after them.
template <typename Fill>
void CheckBounded(int size, Fill fill) {
    constexpr int kGuard = 16;
    char buffer[1024 + kGuard];
    memset(buffer, 0x5A, sizeof buffer);
    fill(buffer, size);
    if (!memchr(buffer, '\0', static_cast<size_t>(size))) abort();  // not terminated within size
    for (int i = size; i < size + kGuard; ++i)
        if (buffer[i] != 0x5A) abort();  // written past the buffer
}

struct Query {
    const char* section;
    const char* key;
};
const Query kQueries[] = {{"361", "DLL"},          {"361", "NotUseDefaultDllPath"},
                          {"Redirect", "Path"},    {"DefaultValue", "DllPath"},
                          {"Log", "File"},         {"", ""}};
const int kSizes[] = {1, 2, 10, 260, 1024};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratch(data, size);
    const char* file = ScratchFile().c_str();
    for (const Query& query : kQueries) {
        for (int bufferSize : kSizes) {
            CheckBounded(bufferSize, [&](char* buffer, int n) {
                platform::ReadIniString(query.section, query.key, "default", buffer, n, file);
            });
            CheckBounded(bufferSize, [&](char* buffer, int n) {
                char value[1024] = {0};
                platform::ReadIniString(query.section, query.key, "", value, sizeof value, file);
                memset(buffer, 0, static_cast<size_t>(n));
                factory_link::TrimBlanks(value, buffer, n);
            });
        }
    }
    // Redirects are not followed here: a fuzzed redirect could name any file or device.
    CheckBounded(260, [&](char* buffer, int n) {
        memset(buffer, 0, static_cast<size_t>(n));
        factory_link::ResolveFactoryPath(file, buffer, n);
    });
    return 0;
}
