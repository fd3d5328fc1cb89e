// Captures what the module hands to the debugger output while an instance lives: on POSIX
// through the platform's sink, on Windows from the real OutputDebugStringA (a vectored
// exception handler sees DBG_PRINTEXCEPTION_C). One entry per call, text as handed over.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Messages() const;
    std::string Joined() const;  // every message, concatenated
    void Clear();

    void Add(const char* text);  // called by the platform hook

private:
    void Install();
    void Uninstall();
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

}  // namespace testsupport
