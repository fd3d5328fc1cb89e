// Where the factory's own settings live: the configuration file that a registry path names.
#pragma once

#include <string>

namespace zorfact {

// Empty or null: "Zorvi.ini" beside the host executable; a relative path: that path beside
// the host executable; an absolute path as it stands. Redirects are not followed.
std::string SettingsFile(const char* registryPath);
// `name` taken relative to the directory of `file`; an absolute name as it stands.
std::string BesideFile(const std::string& file, const std::string& name);

}  // namespace zorfact
