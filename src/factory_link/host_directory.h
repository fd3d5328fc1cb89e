// The host-directory cache behind HostDirectory(), exposed so that its filling can be
// tested with paths and fill functions of the test's choosing.
#pragma once

#include <atomic>

#include "platform/platform.h"

namespace factory_link {

constexpr int kPathBufferSize = 260;

// The part of an executable's path before its last primary separator, cut to size - 1
// characters; a path without one stays whole. Secondary separators are not looked for:
// the loader always reports the executable with its primary ones.
void ExecutableDirectory(const char* executablePath, char* destination, int size,
                         const platform::PathRules& rules);

// A directory text filled on first use and never changed after. One thread at a time
// fills it: the text is computed aside and published whole, so a thread that meets a
// concurrent first use waits for it and then sees the finished text. An empty result is
// not kept: the next use asks again.
// Every member is constant-initialised (std::mutex is not, under mingw's threads), so the
// module's cache works from its first static initialiser to its last static destructor.
class HostDirectoryCache {
public:
    using Fill = void (*)(char* destination, int size);
    constexpr explicit HostDirectoryCache(Fill fill) : fill_(fill) {}
    HostDirectoryCache(const HostDirectoryCache&) = delete;
    HostDirectoryCache& operator=(const HostDirectoryCache&) = delete;

    const char* Get();

private:
    const char* FillUnlessReady();

    Fill fill_;
    std::atomic<bool> filling_{false};
    std::atomic<bool> ready_{false};
    char text_[kPathBufferSize] = {};
};

}  // namespace factory_link
