#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "factory_link/path_ops.h"

namespace {

using namespace factory_link;
using platform::kPosixPathRules;
using platform::kWindowsPathRules;
using platform::PathRules;

constexpr int kBufferSize = 300;

const char* RulesName(const PathRules& rules) {
    return &rules == &kWindowsPathRules ? "windows" : "posix";
}

TEST(BlankTextTest, IsBlankKnowsOnlySpaceAndTab) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {{nullptr, 1}, {"", 1}, {" \t  ", 1}, {" a ", 0}, {"\n", 0}, {"\r", 0}};
    for (const auto& c : cases) EXPECT_EQ(IsBlank(c.text), c.expected) << (c.text ? c.text : "(null)");
}

TEST(BlankTextTest, TrimBlanksKeepsInnerBlanksAndEmptiesWhatDoesNotFit) {
    const struct {
        const char* source;
        int size;
        const char* expected;
    } cases[] = {
        {"  a b  ", 8, "a b"},
        {"\ta\t", 8, "a"},
        {"   ", 8, ""},
        {"", 8, ""},
        {nullptr, 8, ""},
        {" 1234567 ", 8, "1234567"},   // span of size - 1, blanks behind it
        {"  1234567", 8, "1234567"},   // span of size - 1, running to the end
        {" 12345678 ", 8, ""},         // span of size
        {"12345678", 8, ""},
    };
    for (const auto& c : cases) {
        char buffer[kBufferSize] = "prior";
        TrimBlanks(c.source, buffer, c.size);
        EXPECT_STREQ(buffer, c.expected) << (c.source ? c.source : "(null)");
    }
}

TEST(PathRulesTest, IsRelativePathUnderBothRuleSets) {
    const struct {
        const char* path;
        int windows;
        int posix;
    } cases[] = {
        {"C:\\x", 0, 1},           {"\\\\server\\share\\x", 0, 1}, {"x:y", 0, 1},
        {"/x", 1, 0},              {"sub\\x", 1, 1},               {"sub/x", 1, 1},
        {"", 1, 1},                {nullptr, 1, 1},
    };
    for (const auto& c : cases) {
        const char* label = c.path ? c.path : "(null)";
        EXPECT_EQ(IsRelativePath(c.path, kWindowsPathRules), c.windows) << label;
        EXPECT_EQ(IsRelativePath(c.path, kPosixPathRules), c.posix) << label;
    }
}

TEST(PathRulesTest, LastSeparatorPrefersAnyPrimaryOverALaterSecondary) {
    const struct {
        const char* path;
        const PathRules& rules;
        int expectedOffset;  // -1: none
    } cases[] = {
        {"C:\\a/b", kWindowsPathRules, 2}, {"a/b", kWindowsPathRules, 1}, {"a\\b\\c", kWindowsPathRules, 3},
        {"abc", kWindowsPathRules, -1},    {"C:\\a/b", kPosixPathRules, 4}, {"a\\b", kPosixPathRules, -1},
        {"abc", kPosixPathRules, -1},      {nullptr, kWindowsPathRules, -1},
    };
    for (const auto& c : cases) {
        const char* found = LastSeparator(c.path, c.rules);
        const int offset = found ? static_cast<int>(found - c.path) : -1;
        EXPECT_EQ(offset, c.expectedOffset) << (c.path ? c.path : "(null)") << " " << RulesName(c.rules);
    }
}

TEST(PathJoinTest, JoinDirectoryUsesTheDirectoryUnchanged) {
    const std::string longDirectory = "D:\\" + std::string(247, 'd');  // 250 characters
    const std::string longName(20, 'n');
    const struct {
        std::string directory;
        const char* name;
        int size;
        const PathRules& rules;
        std::string expected;
    } cases[] = {
        {"D:\\Mods\\", "f.dll", 260, kWindowsPathRules, "D:\\Mods\\\\f.dll"},
        {"D:\\Mods", "f.dll", 260, kWindowsPathRules, "D:\\Mods\\f.dll"},
        {" \t ", "f.dll", 260, kWindowsPathRules, "f.dll"},
        {"", "f.dll", 260, kPosixPathRules, "f.dll"},
        {"/mods", "f.so", 260, kPosixPathRules, "/mods/f.so"},
        {" lib ", "f.so", 260, kPosixPathRules, " lib /f.so"},
        {longDirectory, longName.c_str(), 260, kWindowsPathRules, longDirectory + "\\"},
        // The name is never joined without its directory.
        {"abcdefgh", "x", 8, kPosixPathRules, ""},
        {"", "12345678", 8, kPosixPathRules, ""},
    };
    for (const auto& c : cases) {
        char buffer[kBufferSize] = "prior";
        JoinDirectory(c.directory.c_str(), c.name, buffer, c.size, c.rules);
        EXPECT_EQ(std::string(buffer), c.expected) << c.directory << " + " << c.name;
    }
    JoinDirectory("a", "b", nullptr, 8, kPosixPathRules);
    char untouched[8] = "prior";
    JoinDirectory("a", "b", untouched, 0, kPosixPathRules);
    EXPECT_STREQ(untouched, "prior");
}

TEST(PathJoinTest, ResolveAgainstFileDirKeepsTheSeparatorItFound) {
    const struct {
        const char* filePath;
        const char* name;
        int size;
        const PathRules& rules;
        int expectedResult;
        const char* expected;
    } cases[] = {
        {"C:\\App\\main.ini", "sub\\x.ini", 260, kWindowsPathRules, 1, "C:\\App\\sub\\x.ini"},
        {"C:main.ini", "x.ini", 260, kWindowsPathRules, 1, "C:main.ini\\x.ini"},
        {"C:\\App\\main.ini", "", 260, kWindowsPathRules, 1, "C:\\App\\"},
        {"conf/main.ini", "x.ini", 260, kWindowsPathRules, 1, "conf/x.ini"},
        {"/app/main.ini", "sub/x.ini", 260, kPosixPathRules, 1, "/app/sub/x.ini"},
        {"main.ini", "x.ini", 260, kPosixPathRules, 1, "main.ini/x.ini"},
        {"C:\\App\\main.ini", "longname", 10, kWindowsPathRules, 1, "C:\\App\\"},
        {"C:\\App\\main.ini", "x", 6, kWindowsPathRules, 1, ""},
        {nullptr, "x", 260, kWindowsPathRules, 0, "prior"},
        {"C:\\a.ini", nullptr, 260, kWindowsPathRules, 0, "prior"},
        {"C:\\a.ini", "x", 0, kWindowsPathRules, 0, "prior"},
    };
    for (const auto& c : cases) {
        char buffer[kBufferSize] = "prior";
        EXPECT_EQ(ResolveAgainstFileDir(c.filePath, c.name, buffer, c.size, c.rules), c.expectedResult)
            << (c.filePath ? c.filePath : "(null)");
        EXPECT_STREQ(buffer, c.expected) << (c.filePath ? c.filePath : "(null)");
    }
}

TEST(HostRelativePathTest, JoinsTheHostDirectoryAndCutsTwoShortOfTheBuffer) {
    const std::string host = HostDirectory();
    ASSERT_FALSE(host.empty());
    const std::string separator(1, platform::NativePathRules().joinSeparator);

    char buffer[kBufferSize] = {0};
    EXPECT_EQ(HostRelativePath("x.ini", buffer, 260), 1);
    EXPECT_EQ(std::string(buffer), host + separator + "x.ini");

    ASSERT_LT(host.size(), 250u);
    const std::string name(300 - host.size() - 1, 'n');
    EXPECT_EQ(HostRelativePath(name.c_str(), buffer, 260), 1);
    EXPECT_EQ(std::string(buffer), (host + separator + name).substr(0, 258));

    strcpy(buffer, "prior");
    EXPECT_EQ(HostRelativePath("x.ini", buffer, 2), 1);
    EXPECT_STREQ(buffer, "");

    const struct {
        const char* name;
        int size;
    } refused[] = {{"x.ini", 1}, {"x.ini", 0}, {nullptr, 260}};
    for (const auto& c : refused) {
        strcpy(buffer, "prior");
        EXPECT_EQ(HostRelativePath(c.name, buffer, c.size), 0) << c.size;
        EXPECT_STREQ(buffer, "prior") << c.size;
    }
    EXPECT_EQ(HostRelativePath("x.ini", nullptr, 260), 0);
}

}  // namespace
