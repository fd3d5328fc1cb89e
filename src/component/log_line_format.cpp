// Formatting of one log line in two steps: a header that carries the time stamp, level,
// name and the caller's format as text, then the caller's arguments applied to it.
#include <cstring>

#include "component/log_channel.h"
#include "factory_link/bounded_string.h"

namespace component {

namespace {
constexpr int32_t kHeaderSize = 256;
// "yyyy-mm-dd hh:mm:ss:mmm " is formatted but not emitted.
constexpr int32_t kTimeStampLength = 24;
constexpr size_t kNameFieldSize = sizeof(zorvi::LogChannel::name);
// Every character of the longest readable name doubled, and a terminator.
constexpr size_t kEscapedNameSize = 2 * (kNameFieldSize - 1) + 1;

// The name becomes part of the second step's format, so each percent sign is doubled to
// print as itself. A name the factory left unterminated is read no further than the
// field allows, less one for the terminator it should have had.
void EscapeNameForFormat(const char* name, char (&escaped)[kEscapedNameSize]) {
    size_t out = 0;
    for (size_t in = 0; in < kNameFieldSize - 1 && name[in] != '\0'; ++in) {
        if (name[in] == '%') escaped[out++] = '%';
        escaped[out++] = name[in];
    }
    escaped[out] = '\0';
}
}  // namespace

const char* ComponentLogChannel::FormatLine(char* buffer, int32_t size, const char* level,
                                            const char* format, va_list args) const {
    const platform::LocalTime now = platform::GetLocalTimeNow();
    char escapedName[kEscapedNameSize];
    EscapeNameForFormat(record_.name, escapedName);

    char header[kHeaderSize];
    memset(header, 0, sizeof header);
    factory_link::FormatBounded(header, kHeaderSize, kHeaderSize - 1,
                                "%04d-%02d-%02d %02d:%02d:%02d:%03d %s_%s %s\n", now.year,
                                now.month, now.day, now.hour, now.minute, now.second,
                                now.milliseconds, level, escapedName, format);
    if (!buffer) return buffer;
    factory_link::kStringFunctions.SafeFormatV(buffer, size, size - 1, header, args);
    return size - 1 > kTimeStampLength ? buffer + kTimeStampLength : buffer;
}

}  // namespace component
