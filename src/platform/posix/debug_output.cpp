#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

namespace {
// Tests install and remove the sink while no module call is in flight; the mutex only
// keeps function and context consistent with each other.
std::mutex g_sinkMutex;
DebugOutputSink g_sinkFunction = nullptr;
void* g_sinkContext = nullptr;
std::atomic<BreakHook> g_breakHook{nullptr};

bool DebuggerAttached() {
    FILE* status = fopen("/proc/self/status", "r");
    if (!status) return false;
    char line[256];
    bool attached = false;
    while (fgets(line, sizeof line, status)) {
        if (strncmp(line, "TracerPid:", 10) == 0) {
            attached = atoi(line + 10) != 0;
            break;
        }
    }
    fclose(status);
    return attached;
}
}  // namespace

void DebugOutput(const char* text) {
    if (!text) return;
    {
        std::lock_guard<std::mutex> guard(g_sinkMutex);
        if (g_sinkFunction) {
            g_sinkFunction(text, g_sinkContext);
            return;
        }
    }
    // One write per message, so that lines of different threads do not interleave.
    ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
    (void)ignored;
}

void SetDebugOutputSink(DebugOutputSink sink, void* context) {
    std::lock_guard<std::mutex> guard(g_sinkMutex);
    g_sinkFunction = sink;
    g_sinkContext = sink ? context : nullptr;
}

void BreakIntoDebugger() {
    if (BreakHook hook = g_breakHook.load()) {
        hook();
        return;
    }
    if (DebuggerAttached()) {
        raise(SIGTRAP);
        return;
    }
    abort();
}

void SetBreakHook(BreakHook hook) { g_breakHook.store(hook); }

}  // namespace platform
