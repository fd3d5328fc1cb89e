#include "log_settings.h"

#include "platform/platform.h"
#include "settings_file.h"

namespace zorfact {

namespace {
constexpr char kSection[] = "Log";
constexpr char kDefaultLogFile[] = "Zorvi.log";
constexpr int kValueSize = 1024;
// The channel's name field holds 63 characters and a terminator.
constexpr size_t kMaxNameLength = 63;

struct KnownOwner {
    zorvi::ComponentId id;
    const char* name;
};
const KnownOwner kKnownOwners[] = {
    {zorvi::kMemoryAllocatorId, "MemAlloc"},
};

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string ReadValue(const std::string& file, const char* key, const char* defaultValue) {
    char value[kValueSize] = {0};
    platform::ReadIniString(kSection, key, defaultValue, value, kValueSize, file.c_str());
    return Trimmed(value);
}

// As the module reads its own flags: only a leading digit 1 sets one.
bool ReadFlag(const std::string& file, const char* key) {
    return ReadValue(file, key, "0").compare(0, 1, "1") == 0;
}

// The module makes the name part of a format string: a percent sign would make it read
// arguments that were never passed.
std::string ChannelName(std::string name) {
    for (char& c : name)
        if (c == '%') c = '_';
    return name.substr(0, kMaxNameLength);
}
}  // namespace

std::string DefaultChannelName(zorvi::ComponentId ownerId) {
    for (const KnownOwner& owner : kKnownOwners)
        if (owner.id == ownerId) return owner.name;
    return "Component" + std::to_string(ownerId);
}

LogSettings ReadLogSettings(const char* registryPath, zorvi::ComponentId ownerId) {
    std::string file = SettingsFile(registryPath);
    LogSettings settings;
    settings.debugOutput = ReadFlag(file, "DebugOutput");
    settings.fileOutput = ReadFlag(file, "FileOutput");
    std::string logFile = ReadValue(file, "File", kDefaultLogFile);
    settings.logFile = BesideFile(file, logFile.empty() ? kDefaultLogFile : logFile);
    std::string name = ReadValue(file, "Name", "");
    settings.name = ChannelName(name.empty() ? DefaultChannelName(ownerId) : name);
    return settings;
}

}  // namespace zorfact
