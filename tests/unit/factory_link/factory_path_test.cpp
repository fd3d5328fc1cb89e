#include <gtest/gtest.h>

#include <string>

#include "config_scratch.h"
#include "factory_link/config_resolution.h"

namespace {

using cfgtest::ConfigScratch;

// The three keys of one configuration file; null leaves a key out. Values are patterns
// (see config_scratch.h); quotes keep blanks around a value past the INI reader.
struct FactoryKeys {
    const char* dll;
    const char* besideConfig;  // NotUseDefaultDllPath
    const char* dllPath;
};

std::string IniText(const FactoryKeys& keys) {
    std::string text = "[361]\n";
    if (keys.dll) text += std::string("DLL=") + keys.dll + "\n";
    if (keys.besideConfig) text += std::string("NotUseDefaultDllPath=") + keys.besideConfig + "\n";
    text += "[DefaultValue]\n";
    if (keys.dllPath) text += std::string("DllPath=") + keys.dllPath + "\n";
    return text;
}

std::string ResolveFactory(const std::string& configFile) {
    char destination[260] = {0};
    factory_link::ResolveFactoryPath(configFile.c_str(), destination, sizeof destination);
    return destination;
}

// The design's worked examples for a configuration file C:\App\Zorvi.ini, here
// {cfg}\Zorvi.ini, with {abs} standing for the other drive, followed by the edge cases.
TEST(ResolveFactoryPathTest, PlacesTheFactoryModuleAsTheConfigurationSays) {
    const std::string tooLong = "\"  " + std::string(260, 'x') + "  \"";
    const struct {
        const char* label;
        FactoryKeys keys;
        const char* expected;
    } cases[] = {
        {"absolute DLL", {"{abs}\\Fact\\ZorFact.dll", "1", "lib"}, "{abs}\\Fact\\ZorFact.dll"},
        {"relative DLL alone", {"ZorFact.dll", nullptr, nullptr}, "{cfg}\\ZorFact.dll"},
        {"absolute DllPath", {"ZorFact.dll", nullptr, "{abs}\\Shared"}, "{abs}\\Shared\\ZorFact.dll"},
        {"relative DllPath", {"ZorFact.dll", nullptr, "lib"}, "{cfg}\\lib\\ZorFact.dll"},
        {"flag set", {"ZorFact.dll", "1", "{abs}\\Shared"}, "{cfg}\\ZorFact.dll"},
        {"DllPath with a closing separator", {"bin\\ZorFact.dll", "0", "{abs}\\Shared\\"},
         "{abs}\\Shared\\\\bin\\ZorFact.dll"},
        {"blanks around an absolute DLL", {"\"  {abs}\\Program Files\\F\\ZorFact.dll \t\"", "1", "lib"},
         "{abs}\\Program Files\\F\\ZorFact.dll"},
        {"no DLL", {nullptr, nullptr, nullptr}, "{cfg}\\"},
        {"empty DLL, absolute DllPath", {"", nullptr, "{abs}\\Shared"}, "{abs}\\Shared\\"},
        {"no DLL, relative DllPath", {nullptr, nullptr, "lib"}, "{cfg}\\lib\\"},
        {"DLL too long once trimmed", {tooLong.c_str(), nullptr, nullptr}, "{cfg}\\"},
        {"inner blanks of DLL stay", {"\" my factory.dll \"", nullptr, nullptr}, "{cfg}\\my factory.dll"},
        {"blanks around DllPath stay", {"ZorFact.dll", nullptr, "\" lib \""}, "{cfg}\\ lib \\ZorFact.dll"},
        {"flag 1 within blanks", {"ZorFact.dll", "\" 1 \"", "{abs}\\Shared"}, "{cfg}\\ZorFact.dll"},
        {"flag 10", {"ZorFact.dll", "10", "{abs}\\Shared"}, "{cfg}\\ZorFact.dll"},
        {"flag 1x", {"ZorFact.dll", "1x", "{abs}\\Shared"}, "{cfg}\\ZorFact.dll"},
        {"flag 0", {"ZorFact.dll", "0", "{abs}\\Shared"}, "{abs}\\Shared\\ZorFact.dll"},
        {"flag true", {"ZorFact.dll", "true", "{abs}\\Shared"}, "{abs}\\Shared\\ZorFact.dll"},
        {"flag yes", {"ZorFact.dll", "yes", "{abs}\\Shared"}, "{abs}\\Shared\\ZorFact.dll"},
        {"flag too long once trimmed", {"ZorFact.dll", "1234567890", "{abs}\\Shared"},
         "{abs}\\Shared\\ZorFact.dll"},
    };
    int row = 0;
    for (const auto& c : cases) {
        ConfigScratch scratch(cfgtest::CurrentTestName() + std::to_string(row++));
        scratch.Write("{cfg}\\Zorvi.ini", IniText(c.keys));
        EXPECT_EQ(ResolveFactory(scratch.Expand("{cfg}\\Zorvi.ini")), scratch.Expand(c.expected)) << c.label;
    }
}

TEST(ResolveFactoryPathTest, AMissingConfigurationFileGivesItsDirectory) {
    ConfigScratch scratch(cfgtest::CurrentTestName());
    EXPECT_EQ(ResolveFactory(scratch.Expand("{cfg}\\none.ini")), scratch.Expand("{cfg}\\"));
}

// What the factory loader does: the configuration file first, then the factory path in it.
TEST(ResolveFactoryPathTest, FromTheDefaultConfigurationThroughARedirect) {
    ConfigScratch scratch(cfgtest::CurrentTestName());
    scratch.Write("{host}\\Zorvi.ini", "[Redirect]\nPath={abs}\\Conf\\main.ini\n[361]\nDLL=wrong.dll\n");
    scratch.Write("{abs}\\Conf\\main.ini", "[361]\nDLL=ZorFact.dll\n");
    char configFile[260] = {0};
    factory_link::ResolveConfigFile(nullptr, configFile, sizeof configFile);
    EXPECT_EQ(ResolveFactory(configFile), scratch.Expand("{abs}\\Conf\\ZorFact.dll"));
}

}  // namespace
