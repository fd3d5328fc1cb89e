// The module's handling of the platform's entry notifications. The platform's glue (DllMain
// on Windows, the shared object's constructor and destructor on POSIX) forwards to it.
#pragma once

#include "zorvi/types.h"

namespace module {

enum class Notification { ProcessAttach, ProcessDetach, ThreadAttach, ThreadDetach };

// Always returns 1: the module never refuses to load.
int ModuleEntryPoint(zorvi::ModuleHandle instance, Notification notification);

}  // namespace module
