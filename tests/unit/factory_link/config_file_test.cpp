#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_scratch.h"
#include "debug_capture.h"
#include "factory_link/config_resolution.h"

namespace {

using cfgtest::ConfigScratch;

// One configuration file; a null redirect writes a file without a "Redirect" section.
struct ConfigFile {
    const char* path;
    const char* redirect;
};

std::string IniText(const ConfigFile& file) {
    if (!file.redirect) return "[Other]\nKey=1\n";
    return std::string("[Other]\nKey=1\n[Redirect]\nPath=") + file.redirect + "\n";
}

void WriteFiles(ConfigScratch& scratch, const std::vector<ConfigFile>& files) {
    for (const ConfigFile& file : files) scratch.Write(file.path, IniText(file));
}

std::string ResolveFrom(const char* hint) {
    char destination[260] = {0};
    factory_link::ResolveConfigFile(hint, destination, sizeof destination);
    return destination;
}

// The design's worked examples, with {host} for C:\App, {abs} for D:\Conf's drive and
// relative names kept inside the scratch directory {rel}.
TEST(ResolveConfigFileTest, FollowsTheRedirectChain) {
    const struct {
        const char* label;
        const char* hint;  // null: no hint at all; patterns are expanded
        std::vector<ConfigFile> files;
        const char* expected;
    } cases[] = {
        {"no hint", nullptr, {}, "{host}\\Zorvi.ini"},
        {"empty hint", "", {}, "{host}\\Zorvi.ini"},
        {"empty hint, file without redirect", "", {{"{host}\\Zorvi.ini", nullptr}}, "{host}\\Zorvi.ini"},
        {"relative hint", "{rel}\\cfg\\my.ini", {}, "{cfg}\\cfg\\my.ini"},
        {"blank hint is a relative name", "  ", {}, "{host}\\  "},
        {"absolute hint", "{abs}\\Conf\\site.ini", {{"{abs}\\Conf\\site.ini", nullptr}}, "{abs}\\Conf\\site.ini"},
        {"relative redirect is final",
         "",
         {{"{host}\\Zorvi.ini", "{rel}\\conf\\main.ini"}, {"{cfg}\\conf\\main.ini", "{abs}\\elsewhere.ini"}},
         "{cfg}\\conf\\main.ini"},
        {"relative redirect ignores a relative one behind it",
         "",
         {{"{host}\\Zorvi.ini", "{rel}\\conf\\a.ini"}, {"{cfg}\\conf\\a.ini", "b.ini"}},
         "{cfg}\\conf\\a.ini"},
        {"absolute redirect to a file without redirect",
         "",
         {{"{host}\\Zorvi.ini", "{abs}\\Conf\\main.ini"}, {"{abs}\\Conf\\main.ini", nullptr}},
         "{abs}\\Conf\\main.ini"},
        {"absolute redirect to a missing file", "", {{"{host}\\Zorvi.ini", "{abs}\\Conf\\none.ini"}},
         "{abs}\\Conf\\none.ini"},
        {"absolute, then relative",
         "",
         {{"{host}\\Zorvi.ini", "{abs}\\Conf\\main.ini"}, {"{abs}\\Conf\\main.ini", "sub\\other.ini"}},
         "{abs}\\Conf\\sub\\other.ini"},
        {"absolute hint, relative redirect", "{abs}\\Conf\\site.ini", {{"{abs}\\Conf\\site.ini", "other.ini"}},
         "{abs}\\Conf\\other.ini"},
        {"blank redirect is none", "{abs}\\site.ini", {{"{abs}\\site.ini", "\" \t \""}}, "{abs}\\site.ini"},
    };
    int row = 0;
    for (const auto& c : cases) {
        ConfigScratch scratch(cfgtest::CurrentTestName() + std::to_string(row++));
        WriteFiles(scratch, c.files);
        const std::string hint = c.hint ? scratch.Expand(c.hint) : std::string();
        EXPECT_EQ(ResolveFrom(c.hint ? hint.c_str() : nullptr), scratch.Expand(c.expected)) << c.label;
    }
}

// A chain of `files` files, each naming the next by its absolute path; the last names none.
std::vector<std::string> WriteAbsoluteChain(ConfigScratch& scratch, int files) {
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) paths.push_back(scratch.Expand("{abs}\\f" + std::to_string(i) + ".ini"));
    for (int i = 0; i < files; ++i) {
        const bool last = i + 1 == files;
        scratch.Write(paths[i], last ? "[Other]\nKey=1\n" : "[Redirect]\nPath=" + paths[i + 1] + "\n");
    }
    return paths;
}

std::string TooDeepMessage(const std::string& file) {
    return "[Zorvi_Error] Redirect chain too deep, stopped at " + file + ".\n";
}

TEST(ResolveConfigFileTest, AbsoluteRedirectsStopAtTheBound) {
    const struct {
        int redirects;
        int expectedFile;
        bool reported;
    } cases[] = {
        {factory_link::kMaxRedirectDepth, factory_link::kMaxRedirectDepth, false},
        {factory_link::kMaxRedirectDepth + 1, factory_link::kMaxRedirectDepth, true},
    };
    int row = 0;
    for (const auto& c : cases) {
        ConfigScratch scratch(cfgtest::CurrentTestName() + std::to_string(row++));
        const std::vector<std::string> paths = WriteAbsoluteChain(scratch, c.redirects + 1);
        testsupport::DebugCapture capture;
        EXPECT_EQ(ResolveFrom(paths[0].c_str()), paths[c.expectedFile]) << c.redirects;
        const std::string expectedOutput = c.reported ? TooDeepMessage(paths[c.expectedFile]) : "";
        EXPECT_EQ(capture.Joined(), expectedOutput) << c.redirects;
    }
}

TEST(ResolveConfigFileTest, CircularRedirectsEndAndAreReported) {
    const struct {
        const char* label;
        std::vector<ConfigFile> files;
    } cases[] = {
        {"names itself", {{"{abs}\\a.ini", "{abs}\\a.ini"}}},
        {"two name each other", {{"{abs}\\a.ini", "{abs}\\b.ini"}, {"{abs}\\b.ini", "{abs}\\a.ini"}}},
    };
    int row = 0;
    for (const auto& c : cases) {
        ConfigScratch scratch(cfgtest::CurrentTestName() + std::to_string(row++));
        WriteFiles(scratch, c.files);
        const std::string start = scratch.Expand("{abs}\\a.ini");
        testsupport::DebugCapture capture;
        // An even bound brings the pair back to where it started.
        EXPECT_EQ(ResolveFrom(start.c_str()), start) << c.label;
        EXPECT_EQ(capture.Joined(), TooDeepMessage(start)) << c.label;
    }
}

}  // namespace
