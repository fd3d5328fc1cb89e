// Fills a log channel's record the way a factory module would, so that tests choose the
// outputs, the name, the file and its lock themselves.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "zorvi/log_channel.h"

namespace testsupport {

struct ChannelSetup {
    int32_t debugOutput = 0;
    int32_t fileOutput = 0;
    const char* name = "";
    platform::FileHandle file = platform::NoFile();
    platform::RecursiveLock* fileLock = nullptr;
};

inline void ConfigureChannel(zorvi::LogChannel& record, const ChannelSetup& setup) {
    memset(&record, 0, sizeof record);
    record.debugOutput = setup.debugOutput;
    record.fileOutput = setup.fileOutput;
    record.file = setup.file;
    record.fileLock = setup.fileLock;
    strncpy(record.name, setup.name, sizeof record.name - 1);
}

}  // namespace testsupport
