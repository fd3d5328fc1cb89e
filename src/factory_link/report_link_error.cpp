#include <cstdarg>
#include <cstring>

#include "factory_link/bounded_string.h"
#include "factory_link/factory_scope.h"

namespace factory_link {

namespace {
constexpr int kMessageSize = 1024;
// Passed as both size and count: the text holds at most 1022 characters, so the buffer's
// last two bytes stay zero whatever the formatter does at the limit.
constexpr int kFormatLimit = kMessageSize - 1;
}  // namespace

void ReportLinkError(const char* format, ...) {
    char message[kMessageSize];
    memset(message, 0, sizeof message);
    va_list args;
    va_start(args, format);
    kStringFunctions.SafeFormatV(message, kFormatLimit, kFormatLimit, format, args);
    va_end(args);
    platform::DebugOutput(message);
}

}  // namespace factory_link
