// The one log file that the factory opens for the channels of every component module, and
// the lock that serialises their appends.
#pragma once

#include <string>

#include "zorvi/log_channel.h"

namespace zorfact {

// The first call that succeeds opens `path` for appending and creates the lock; that file
// is kept open, and its target handed out, for the rest of the process, whatever path later
// calls name. Null while no file could be opened.
zorvi::LogTarget* SharedLogTarget(const std::string& path);

}  // namespace zorfact
