#include "debug_capture.h"
#include "process_debug_capture.h"

namespace testsupport {

// On Windows every module's OutputDebugStringA reaches the same exception handler.
struct ProcessDebugCapture::Impl {
    DebugCapture capture;
};

ProcessDebugCapture::ProcessDebugCapture() : impl_(new Impl) {}
ProcessDebugCapture::~ProcessDebugCapture() = default;

std::string ProcessDebugCapture::Text() const { return impl_->capture.Joined(); }

}  // namespace testsupport
