// Real configuration files for the resolution tests, in a scratch directory beside the
// test program (which is the host directory the module sees).
//
// Paths and file texts are written as patterns: a backslash stands for the platform's
// separator, and these names are replaced:
//   {host}  the host directory
//   {rel}   the scratch directory, relative to the host directory
//   {cfg}   the scratch directory, absolute
//   {abs}   a second absolute directory inside the scratch one (the "other drive")
// A Zorvi.ini already beside the test program is put aside while the scratch lives and
// written back afterwards.
#pragma once

#include <string>
#include <vector>

namespace cfgtest {

class ConfigScratch {
public:
    // `name` must differ between scratches of one test run: see Forget in the source.
    explicit ConfigScratch(const std::string& name);
    ~ConfigScratch();
    ConfigScratch(const ConfigScratch&) = delete;
    ConfigScratch& operator=(const ConfigScratch&) = delete;

    std::string Expand(const std::string& pattern) const;
    // Creates the file and its directories.
    void Write(const std::string& pathPattern, const std::string& textPattern);

private:
    std::string host_;
    std::string relative_;
    std::string defaultConfig_;
    bool hadDefaultConfig_ = false;
    std::string savedDefaultConfig_;
    std::vector<std::string> written_;
};

// The name of the running test, usable as a directory name.
std::string CurrentTestName();

}  // namespace cfgtest
