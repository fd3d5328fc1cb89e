#include "shared_log_file.h"

#include <mutex>

#include "platform/platform.h"

namespace zorfact {

namespace {
std::mutex g_openMutex;
// Plain storage, never destroyed: channels of other modules may still write while the
// process ends, after this module's static destructors have run.
platform::RecursiveLock g_fileLock;
zorvi::LogTarget g_target = {nullptr, nullptr};
}  // namespace

zorvi::LogTarget* SharedLogTarget(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_openMutex);
    if (g_target.fileLock) return &g_target;
    platform::FileHandle file = platform::OpenFileForAppend(path.c_str());
    if (file == platform::NoFile()) return nullptr;
    platform::InitLock(&g_fileLock);
    g_target.file = file;
    // The lock's storage is the critical section (a pthread mutex on POSIX) itself.
    g_target.fileLock = &g_fileLock;
    return &g_target;
}

}  // namespace zorfact
