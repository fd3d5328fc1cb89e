// The module frame's "Zorvi[Error]" messages. Each format carries its own prefix and, where
// it has one, its line feed.
#pragma once

namespace module {

// Formats into a 1024-byte stack buffer (output cut to 1023 characters, always
// terminated) and hands it to the debugger output. Takes no lock.
void ReportModuleError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace module
