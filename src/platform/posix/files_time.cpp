#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/platform.h"

namespace platform {

namespace {
int AsDescriptor(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)); }
}  // namespace

LocalTime GetLocalTimeNow() {
    struct timeval now;
    gettimeofday(&now, nullptr);
    struct tm parts;
    time_t seconds = now.tv_sec;
    localtime_r(&seconds, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                     parts.tm_min,         parts.tm_sec,     static_cast<int>(now.tv_usec / 1000)};
}

uint32_t SeekToEnd(FileHandle file) {
    if (lseek(AsDescriptor(file), 0, SEEK_END) >= 0) return 0;
    return errno ? static_cast<uint32_t>(errno) : static_cast<uint32_t>(EBADF);
}

void WriteToFile(FileHandle file, const char* text, uint32_t length) {
    ssize_t ignored = write(AsDescriptor(file), text, length);
    (void)ignored;
}

}  // namespace platform
