#include <cstring>

#include "factory_link/bounded_string.h"
#include "factory_link/config_resolution.h"
#include "factory_link/host_directory.h"
#include "factory_link/path_ops.h"

namespace factory_link {

namespace {
constexpr char kDefaultConfigName[] = "Zorvi.ini";
constexpr char kRedirectSection[] = "Redirect";
constexpr char kRedirectKey[] = "Path";
constexpr int kMessageSize = 1024;

void ReportChainTooDeep(const char* file) {
    char message[kMessageSize] = {0};
    FormatBounded(message, kMessageSize, kMessageSize - 1,
                  "[Zorvi_Error] Redirect chain too deep, stopped at %s.\n", file);
    platform::DebugOutput(message);
}
}  // namespace

void ResolveConfigFile(const char* hint, char* destination, int size) {
    const bool noHint = !hint || hint[0] == '\0';
    if (!noHint && !IsRelativePath(hint)) {
        FollowRedirect(hint, destination, size);
        return;
    }
    char start[kPathBufferSize] = {0};
    HostRelativePath(noHint ? kDefaultConfigName : hint, start, kPathBufferSize);
    FollowRedirect(start, destination, size);
}

// Absolute redirects are followed, each target read for a redirect of its own; a blank
// one ends the chain at the file reached, a relative one names the final file. The loop
// keeps one path buffer whatever the length of the chain.
void FollowRedirect(const char* file, char* destination, int size) {
    // Without a file the INI reader would fall back to a system-wide file.
    if (!file) return;
    char reached[kPathBufferSize] = {0};
    const char* current = file;
    for (int steps = 0;; ++steps) {
        char target[kPathBufferSize] = {0};
        platform::ReadIniString(kRedirectSection, kRedirectKey, nullptr, target, kPathBufferSize, current);
        if (IsBlank(target)) break;
        if (IsRelativePath(target)) {
            ResolveAgainstFileDir(current, target, destination, size);
            return;
        }
        if (steps == kMaxRedirectDepth) {
            ReportChainTooDeep(current);
            break;
        }
        memcpy(reached, target, sizeof reached);
        current = reached;
    }
    CopyIfFits(destination, size, current);
}

}  // namespace factory_link
