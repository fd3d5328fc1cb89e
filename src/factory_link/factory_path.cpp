#include "factory_link/bounded_string.h"
#include "factory_link/config_resolution.h"
#include "factory_link/host_directory.h"
#include "factory_link/path_ops.h"

namespace factory_link {

namespace {
constexpr char kFactorySection[] = "361";  // the ComponentFactory's component ID
constexpr char kDllKey[] = "DLL";
constexpr char kBesideConfigKey[] = "NotUseDefaultDllPath";
constexpr char kDefaultsSection[] = "DefaultValue";
constexpr char kDllPathKey[] = "DllPath";
constexpr int kRawValueSize = 1024;
constexpr int kFlagSize = 10;

// Only the first character of the trimmed flag counts: "1", "10" and "1x" all set it.
bool FactoryBesideConfigFile(const char* configFile) {
    char raw[kRawValueSize] = {0};
    platform::ReadIniString(kFactorySection, kBesideConfigKey, "0", raw, kRawValueSize, configFile);
    char flag[kFlagSize] = {0};
    TrimBlanks(raw, flag, kFlagSize);
    return flag[0] == '1';
}
}  // namespace

void ResolveFactoryPath(const char* configFile, char* destination, int size) {
    // Without a file the INI reader would fall back to a system-wide file.
    if (!configFile) return;
    char raw[kRawValueSize] = {0};
    platform::ReadIniString(kFactorySection, kDllKey, nullptr, raw, kRawValueSize, configFile);
    char value[kPathBufferSize] = {0};
    TrimBlanks(raw, value, kPathBufferSize);
    if (IsRelativePath(value)) {
        ResolveRelativeFactoryPath(configFile, value, destination, size);
        return;
    }
    CopyIfFits(destination, size, value);
}

// "DllPath" is used as the reader gives it, blanks included.
void ResolveRelativeFactoryPath(const char* configFile, const char* value, char* destination,
                                int size) {
    if (!configFile) return;
    if (FactoryBesideConfigFile(configFile)) {
        ResolveAgainstFileDir(configFile, value, destination, size);
        return;
    }
    char directory[kPathBufferSize] = {0};
    platform::ReadIniString(kDefaultsSection, kDllPathKey, nullptr, directory, kPathBufferSize, configFile);
    char joined[kPathBufferSize] = {0};
    JoinDirectory(directory, value, joined, kPathBufferSize);
    if (IsRelativePath(joined)) {
        ResolveAgainstFileDir(configFile, joined, destination, size);
        return;
    }
    CopyIfFits(destination, size, joined);
}

}  // namespace factory_link
