#include "settings_file.h"

#include "platform/platform.h"

namespace zorfact {

namespace {
constexpr char kDefaultSettingsName[] = "Zorvi.ini";
constexpr int kExecutablePathSize = 4096;

bool IsAbsolute(const std::string& path, const platform::PathRules& rules) {
    if (!path.empty() && path[0] == rules.absoluteLead) return true;
    return rules.colonMakesAbsolute && path.find(':') != std::string::npos;
}

// The directory part with its closing separator, or "" when the path has no separator.
std::string DirectoryWithSeparator(const std::string& file, const platform::PathRules& rules) {
    size_t cut = file.find_last_of(rules.primarySeparator);
    if (cut == std::string::npos && rules.secondarySeparator)
        cut = file.find_last_of(rules.secondarySeparator);
    return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

std::string HostDirectoryWithSeparator() {
    char executable[kExecutablePathSize] = {0};
    platform::HostExecutablePath(executable, kExecutablePathSize);
    return DirectoryWithSeparator(executable, platform::NativePathRules());
}
}  // namespace

std::string SettingsFile(const char* registryPath) {
    std::string path = registryPath ? registryPath : "";
    if (path.empty()) return HostDirectoryWithSeparator() + kDefaultSettingsName;
    if (IsAbsolute(path, platform::NativePathRules())) return path;
    return HostDirectoryWithSeparator() + path;
}

std::string BesideFile(const std::string& file, const std::string& name) {
    const platform::PathRules& rules = platform::NativePathRules();
    if (IsAbsolute(name, rules)) return name;
    return DirectoryWithSeparator(file, rules) + name;
}

}  // namespace zorfact
