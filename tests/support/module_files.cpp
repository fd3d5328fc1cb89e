#include "module_files.h"

namespace testsupport {

std::string ExecutableDirectory() {
    char path[4096] = {0};
    platform::HostExecutablePath(path, sizeof path);
    std::string text(path);
    const char separator = platform::NativePathRules().primarySeparator;
    size_t cut = text.find_last_of(separator);
    return cut == std::string::npos ? std::string() : text.substr(0, cut);
}

std::string BesideExecutable(const std::string& fileName) {
    return ExecutableDirectory() + platform::NativePathRules().joinSeparator + fileName;
}

const char* MemallocFileName() {
    return platform::NativePathRules().joinSeparator == '\\' ? "memalloc.dll" : "memalloc.so";
}

}  // namespace testsupport
