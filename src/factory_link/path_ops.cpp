#include <cstring>

#include "factory_link/bounded_string.h"
#include "factory_link/path_ops.h"

namespace factory_link {

namespace {
struct SeparatorText {
    char text[2];
};
SeparatorText JoinSeparatorOf(const platform::PathRules& rules) { return {{rules.joinSeparator, '\0'}}; }

// The directory part of filePath, its separator included; a path without any separator is
// taken as a directory and gets one. False when that part does not fit.
bool CopyDirectoryPart(const char* filePath, char* destination, int size,
                       const platform::PathRules& rules) {
    if (const char* separator = LastSeparator(filePath, rules))
        return CopyPrefix(destination, size, filePath, static_cast<int>(separator - filePath) + 1) == 1;
    return CopyIfFits(destination, size, filePath) == 1 &&
           AppendIfFits(destination, size, JoinSeparatorOf(rules).text) == 1;
}
}  // namespace

int IsRelativePath(const char* path, const platform::PathRules& rules) {
    if (!path || path[0] == '\0') return 1;
    if (rules.colonMakesAbsolute && strchr(path, ':')) return 0;
    return path[0] == rules.absoluteLead ? 0 : 1;
}

const char* LastSeparator(const char* path, const platform::PathRules& rules) {
    if (!path) return nullptr;
    if (const char* primary = strrchr(path, rules.primarySeparator)) return primary;
    // strrchr finds the terminator when asked for '\0', which is not a separator.
    if (rules.secondarySeparator == '\0') return nullptr;
    return strrchr(path, rules.secondarySeparator);
}

int HostRelativePath(const char* name, char* destination, int size) {
    if (!name || !destination || size < 2) return 0;
    // One byte short of the buffer on purpose: the result holds at most size - 2 characters.
    FormatBounded(destination, size - 1, size - 1, "%s%c%s", HostDirectory(),
                  platform::NativePathRules().joinSeparator, name);
    destination[size - 1] = '\0';
    return 1;
}

// A directory that does not fit ends the join: the name alone would be a different path,
// rooted elsewhere, rather than a shortened one.
void JoinDirectory(const char* directory, const char* name, char* destination, int size,
                   const platform::PathRules& rules) {
    if (!destination || size <= 0) return;
    destination[0] = '\0';
    if (IsBlank(directory)) {
        CopyIfFits(destination, size, name);
        return;
    }
    if (!AppendIfFits(destination, size, directory)) return;
    AppendIfFits(destination, size, JoinSeparatorOf(rules).text);
    AppendIfFits(destination, size, name);
}

// As in JoinDirectory, the name is appended only behind its directory.
int ResolveAgainstFileDir(const char* filePath, const char* name, char* destination, int size,
                          const platform::PathRules& rules) {
    if (!filePath || !name || !destination || size <= 0) return 0;
    destination[0] = '\0';
    if (CopyDirectoryPart(filePath, destination, size, rules)) AppendIfFits(destination, size, name);
    return 1;
}

}  // namespace factory_link
