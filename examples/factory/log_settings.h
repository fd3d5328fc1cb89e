// The factory's settings for the log channels of component modules, section "Log" of the
// configuration file.
#pragma once

#include <string>

#include "zorvi/types.h"

namespace zorfact {

struct LogSettings {
    bool debugOutput;      // "DebugOutput": lines go to the debugger output
    bool fileOutput;       // "FileOutput": lines are appended to the log file
    std::string logFile;   // "File", resolved against the configuration file's directory
    std::string name;      // "Name", else a name derived from the owner; never holds '%'
};

LogSettings ReadLogSettings(const char* registryPath, zorvi::ComponentId ownerId);
// "MemAlloc" for the memory allocator, "Component<ID>" for any other owner.
std::string DefaultChannelName(zorvi::ComponentId ownerId);

}  // namespace zorfact
