#include "config_scratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "factory_link/path_ops.h"

namespace cfgtest {

namespace fs = std::filesystem;

namespace {
char Separator() { return platform::NativePathRules().joinSeparator; }

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The Windows INI reader caches files and notices a change only by a different write
// time; files rewritten within one tick of the file system's clock would look unchanged.
// Every write therefore gets a time of its own.
void WriteWithFreshTime(const std::string& path, const std::string& text) {
    static const fs::file_time_type base = fs::file_time_type::clock::now();
    static int writes = 0;
    std::ofstream(path, std::ios::binary) << text;
    fs::last_write_time(path, base + std::chrono::seconds(++writes));
}

// The Windows INI reader also keeps serving a cached file after it is deleted. Emptying
// it and reading it once before deleting leaves the cache as empty as a missing file.
void Forget(const std::string& path) {
    WriteWithFreshTime(path, "");
    char value[8];
    platform::ReadIniString("Redirect", "Path", "", value, sizeof value, path.c_str());
    std::error_code ignored;
    fs::remove(path, ignored);
}
}  // namespace

ConfigScratch::ConfigScratch(const std::string& name)
    : host_(factory_link::HostDirectory()), relative_("cfgtest_" + name) {
    defaultConfig_ = host_ + Separator() + "Zorvi.ini";
    hadDefaultConfig_ = fs::exists(defaultConfig_);
    if (hadDefaultConfig_) {
        savedDefaultConfig_ = ReadWhole(defaultConfig_);
        Forget(defaultConfig_);
    }
    std::error_code ignored;
    fs::remove_all(Expand("{cfg}"), ignored);
    fs::create_directories(Expand("{cfg}"));
}

ConfigScratch::~ConfigScratch() {
    for (const std::string& path : written_) Forget(path);
    std::error_code ignored;
    fs::remove_all(Expand("{cfg}"), ignored);
    if (hadDefaultConfig_) WriteWithFreshTime(defaultConfig_, savedDefaultConfig_);
}

std::string ConfigScratch::Expand(const std::string& pattern) const {
    const std::string separator(1, Separator());
    std::string text = pattern;
    ReplaceAll(text, "\\", separator);
    ReplaceAll(text, "{abs}", "{cfg}" + separator + "abs");
    ReplaceAll(text, "{cfg}", "{host}" + separator + relative_);
    ReplaceAll(text, "{host}", host_);
    ReplaceAll(text, "{rel}", relative_);
    return text;
}

void ConfigScratch::Write(const std::string& pathPattern, const std::string& textPattern) {
    const std::string path = Expand(pathPattern);
    fs::create_directories(fs::path(path).parent_path());
    WriteWithFreshTime(path, Expand(textPattern));
    written_.push_back(path);
    ASSERT_TRUE(fs::exists(path)) << path;
}

std::string CurrentTestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "_" + info->name();
}

}  // namespace cfgtest
