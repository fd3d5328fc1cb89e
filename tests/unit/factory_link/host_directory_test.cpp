#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "factory_link/host_directory.h"
#include "factory_link/path_ops.h"
#include "module_files.h"

namespace {

using factory_link::ExecutableDirectory;
using factory_link::HostDirectoryCache;
using platform::kPosixPathRules;
using platform::kWindowsPathRules;

TEST(ExecutableDirectoryTest, CutsAtTheLastPrimarySeparator) {
    const struct {
        const char* executable;
        const platform::PathRules& rules;
        const char* expected;
    } cases[] = {
        {"C:\\App\\host.exe", kWindowsPathRules, "C:\\App"},
        {"C:\\host.exe", kWindowsPathRules, "C:"},
        {"C:/App/host.exe", kWindowsPathRules, "C:/App/host.exe"},  // slashes are not looked for
        {"host.exe", kWindowsPathRules, "host.exe"},
        {"/opt/app/host", kPosixPathRules, "/opt/app"},
        {"/host", kPosixPathRules, ""},
        {"", kPosixPathRules, ""},
    };
    for (const auto& c : cases) {
        char buffer[260] = "prior";
        ExecutableDirectory(c.executable, buffer, sizeof buffer, c.rules);
        EXPECT_STREQ(buffer, c.expected) << c.executable;
    }
}

TEST(ExecutableDirectoryTest, ALongDirectoryIsCutWithinTheBuffer) {
    const std::string directory = "/" + std::string(299, 'd');
    const std::string executable = directory + "/host";
    char buffer[400];
    memset(buffer, '#', sizeof buffer);
    ExecutableDirectory(executable.c_str(), buffer, 260, kPosixPathRules);
    EXPECT_EQ(std::string(buffer), directory.substr(0, 259));
    EXPECT_EQ(buffer[260], '#');
}

TEST(HostDirectoryTest, IsTheTestProgramsDirectoryAndStaysPut) {
    const char* first = factory_link::HostDirectory();
    EXPECT_EQ(std::string(first), testsupport::ExecutableDirectory());
    EXPECT_EQ(factory_link::HostDirectory(), first);
}

// Fill functions for caches built by the tests; each test resets the counter.
std::atomic<int> g_fills{0};

void FillEmptyOnce(char* destination, int size) {
    const char* text = g_fills.fetch_add(1) == 0 ? "" : "C:\\App";
    strncpy(destination, text, static_cast<size_t>(size - 1));
}

void FillLong(char* destination, int size) {
    g_fills.fetch_add(1);
    // Written a character at a time: a cache that let readers into its buffer while it is
    // being filled would show them a shorter text.
    for (int i = 0; i < size - 1; ++i) destination[i] = static_cast<char>('a' + i % 26);
    destination[size - 1] = '\0';
}

TEST(HostDirectoryCacheTest, AnEmptyResultIsAskedForAgain) {
    g_fills = 0;
    HostDirectoryCache cache(&FillEmptyOnce);
    EXPECT_STREQ(cache.Get(), "");
    EXPECT_STREQ(cache.Get(), "C:\\App");
    EXPECT_STREQ(cache.Get(), "C:\\App");
    EXPECT_EQ(g_fills.load(), 2);
}

TEST(HostDirectoryCacheTest, ConcurrentFirstUsesSeeTheWholeText) {
    g_fills = 0;
    HostDirectoryCache cache(&FillLong);
    char expected[260];
    FillLong(expected, sizeof expected);
    g_fills = 0;

    constexpr int kThreads = 8;
    std::atomic<int> waiting{kThreads};
    std::vector<std::string> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            waiting.fetch_sub(1);
            while (waiting.load() > 0) std::this_thread::yield();
            seen[t] = cache.Get();
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::string& text : seen) EXPECT_EQ(text, expected);
    EXPECT_EQ(g_fills.load(), 1);
}

}  // namespace
