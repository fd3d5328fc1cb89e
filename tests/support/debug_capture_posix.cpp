#include "debug_capture.h"
#include "platform/platform.h"

namespace testsupport {

namespace {
void Sink(const char* text, void* context) { static_cast<DebugCapture*>(context)->Add(text); }
}  // namespace

void DebugCapture::Install() { platform::SetDebugOutputSink(&Sink, this); }
void DebugCapture::Uninstall() { platform::SetDebugOutputSink(nullptr, nullptr); }

}  // namespace testsupport
