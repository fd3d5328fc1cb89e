// From the registry path to the factory module's file: the configuration file (with its
// redirect chain) and the factory path it describes. Reads INI values only; checks no file
// and loads nothing. Failure shows only in the text written.
#pragma once

namespace factory_link {

// At most this many absolute redirects are followed; a file reached after them that names
// yet another is taken as final and reported on the debugger output, so that files naming
// themselves or each other still end.
constexpr int kMaxRedirectDepth = 16;

void ResolveConfigFile(const char* hint, char* destination, int size);
void FollowRedirect(const char* file, char* destination, int size);
void ResolveFactoryPath(const char* configFile, char* destination, int size);
void ResolveRelativeFactoryPath(const char* configFile, const char* value, char* destination,
                                int size);

}  // namespace factory_link
