#include "module/report.h"

#include <cstdarg>
#include <cstring>

#include "platform/platform.h"

namespace module {

void ReportModuleError(const char* format, ...) {
    char buffer[1024];
    memset(buffer, 0, sizeof buffer);
    va_list args;
    va_start(args, format);
    // A count of 1023 leaves the last byte zero even when the text is cut.
    platform::FormatV(buffer, sizeof buffer - 1, format, args);
    va_end(args);
    platform::DebugOutput(buffer);
}

}  // namespace module
