// Captures the debugger output of every module in the process, for programs that load the
// module as a shared library (the module has its own copy of the platform seam, so the
// in-process sink of DebugCapture does not reach it). Windows: the real OutputDebugStringA
// through a vectored exception handler. POSIX: the module writes debugger output to
// standard error, which is redirected into a temporary file while the capture lives.
#pragma once

#include <memory>
#include <string>

namespace testsupport {

class ProcessDebugCapture {
public:
    ProcessDebugCapture();
    ~ProcessDebugCapture();
    ProcessDebugCapture(const ProcessDebugCapture&) = delete;
    ProcessDebugCapture& operator=(const ProcessDebugCapture&) = delete;

    // Everything captured so far, concatenated in the order it was written.
    std::string Text() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace testsupport
