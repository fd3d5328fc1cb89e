#include "platform/platform.h"

namespace platform {

// Windows: a backslash joins; the directory of a file ends at its last backslash, else at
// its last slash; a path holding a colon or beginning with a backslash is absolute.
const PathRules kWindowsPathRules = {'\\', '\\', '/', '\\', true};
// POSIX: a slash joins and separates; a path beginning with a slash is absolute.
const PathRules kPosixPathRules = {'/', '/', '\0', '/', false};

}  // namespace platform
