#include "factory_link/host_directory.h"

#include <cstring>
#include <thread>

#include "factory_link/path_ops.h"

namespace factory_link {

namespace {
// Room for a directory of kPathBufferSize - 1 characters and a file name behind it, so
// that a long executable name never hides where its directory ends.
constexpr int kExecutablePathSize = 1024;

void FillFromHostExecutable(char* destination, int size) {
    char executable[kExecutablePathSize] = {0};
    platform::HostExecutablePath(executable, sizeof executable);
    ExecutableDirectory(executable, destination, size, platform::NativePathRules());
}

// Constant-initialised, so it is ready before any static initialiser of the module runs.
HostDirectoryCache g_hostDirectory(&FillFromHostExecutable);
}  // namespace

void ExecutableDirectory(const char* executablePath, char* destination, int size,
                         const platform::PathRules& rules) {
    if (!destination || size <= 0) return;
    destination[0] = '\0';
    if (!executablePath) return;
    const char* separator = strrchr(executablePath, rules.primarySeparator);
    size_t length = separator ? static_cast<size_t>(separator - executablePath) : strlen(executablePath);
    // A directory longer than the buffer is cut rather than overrun.
    if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
    memcpy(destination, executablePath, length);
    destination[length] = '\0';
}

const char* HostDirectoryCache::Get() {
    if (ready_.load(std::memory_order_acquire)) return text_;
    // Waiters wait for one look-up of the executable's path at most.
    while (filling_.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
    const char* text = FillUnlessReady();
    filling_.store(false, std::memory_order_release);
    return text;
}

const char* HostDirectoryCache::FillUnlessReady() {
    if (ready_.load(std::memory_order_relaxed)) return text_;
    char computed[kPathBufferSize] = {0};
    fill_(computed, sizeof computed);
    if (computed[0] == '\0') return "";
    memcpy(text_, computed, sizeof text_);
    ready_.store(true, std::memory_order_release);
    return text_;
}

const char* HostDirectory() { return g_hostDirectory.Get(); }

}  // namespace factory_link
