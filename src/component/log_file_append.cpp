#include <cstring>

#include "component/log_channel.h"
#include "factory_link/bounded_string.h"

namespace component {

namespace {
void ReportSeekFailure(uint32_t errorCode) {
    char message[1024];
    memset(message, 0, sizeof message);
    factory_link::FormatBounded(message, sizeof message, sizeof message - 1,
                                "Set log file pointer at end fail , error id = %d !\n",
                                static_cast<int>(errorCode));
    // Whatever debugOutput says: a log file that cannot be written is worth a word.
    platform::DebugOutput(message);
}
}  // namespace

// The seek and the write run inside the factory's lock, so that the appends of every
// holder of that lock stay whole. The lock entered is the one left, even if the record
// changed in between.
void ComponentLogChannel::AppendToFile(const char* text) const {
    auto* fileLock = static_cast<platform::RecursiveLock*>(record_.fileLock);
    if (fileLock) platform::EnterLock(fileLock);
    const platform::FileHandle file = record_.file;
    if (file != platform::NoFile()) {
        if (uint32_t errorCode = platform::SeekToEnd(file))
            ReportSeekFailure(errorCode);
        else
            platform::WriteToFile(file, text, static_cast<uint32_t>(strlen(text)));
    }
    if (fileLock) platform::LeaveLock(fileLock);
}

}  // namespace component
