#include "debug_capture.h"

namespace testsupport {

DebugCapture::DebugCapture() { Install(); }
DebugCapture::~DebugCapture() { Uninstall(); }

std::vector<std::string> DebugCapture::Messages() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return messages_;
}

std::string DebugCapture::Joined() const {
    std::string all;
    for (const std::string& message : Messages()) all += message;
    return all;
}

void DebugCapture::Clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    messages_.clear();
}

void DebugCapture::Add(const char* text) {
    std::lock_guard<std::mutex> guard(mutex_);
    messages_.emplace_back(text ? text : "");
}

}  // namespace testsupport
