#include "component/log_channel.h"

#include <cstring>

namespace component {

namespace {
constexpr char kErrorLevel[] = "Error";
constexpr int32_t kLineBufferSize = 1024;
}  // namespace

ComponentLogChannel::ComponentLogChannel(zorvi::ComponentId ownerId) {
    Reset();
    ConfigureFromFactory(ownerId);
}

void ComponentLogChannel::Reset() {
    memset(&record_, 0, sizeof record_);
    record_.file = platform::NoFile();
}

void ComponentLogChannel::ReportError(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    // Only bit 0 of each flag counts: 2 is off, 3 is on.
    EmitLine(record_.debugOutput & 1, record_.fileOutput & 1, kErrorLevel, format, args);
    va_end(args);
}

void ComponentLogChannel::EmitLine(int32_t toDebugger, int32_t toFile, const char* level,
                                   const char* format, va_list args) const {
    if (!toDebugger && !toFile) return;  // before any formatting or clock reading
    char line[kLineBufferSize];
    memset(line, 0, sizeof line);
    const char* text = FormatLine(line, sizeof line, level, format, args);
    if (toDebugger) platform::DebugOutput(text);
    if (toFile) AppendToFile(text);
}

}  // namespace component
