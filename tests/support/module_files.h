// Locating and loading the module files that a test program finds beside itself.
#pragma once

#include <string>

#include "platform/platform.h"

namespace testsupport {

// The directory of the running test program, without a trailing separator.
std::string ExecutableDirectory();
// `fileName` in that directory, joined with the platform's separator.
std::string BesideExecutable(const std::string& fileName);
// The memalloc module's file name on this platform: memalloc.dll, or memalloc.so on Linux.
const char* MemallocFileName();

}  // namespace testsupport
