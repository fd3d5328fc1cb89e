#include <windows.h>

#include <atomic>

#include "platform/platform.h"

namespace platform {

namespace {
std::atomic<BreakHook> g_breakHook{nullptr};
}

void DebugOutput(const char* text) {
    if (text) OutputDebugStringA(text);
}

// The real debugger output is always used on Windows; tests read it back through a
// vectored exception handler.
void SetDebugOutputSink(DebugOutputSink, void*) {}

void BreakIntoDebugger() {
    if (BreakHook hook = g_breakHook.load()) {
        hook();
        return;
    }
    DebugBreak();
}

void SetBreakHook(BreakHook hook) { g_breakHook.store(hook); }

}  // namespace platform
