#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "module_files.h"
#include "platform/platform.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void Append(platform::FileHandle file, const std::string& text) {
    ASSERT_EQ(platform::SeekToEnd(file), 0u);
    platform::WriteToFile(file, text.data(), static_cast<uint32_t>(text.size()));
}

TEST(LogFileTest, OpensForAppendingAndSharesTheFileWithOtherOpeners) {
    const std::string path = testsupport::BesideExecutable("append_test.log");
    std::remove(path.c_str());

    platform::FileHandle first = platform::OpenFileForAppend(path.c_str());
    ASSERT_NE(first, platform::NoFile());
    Append(first, "one\n");
    platform::FileHandle second = platform::OpenFileForAppend(path.c_str());
    ASSERT_NE(second, platform::NoFile()) << "a second opener must be let in";
    Append(second, "two\n");
    Append(first, "three\n");
    platform::CloseFile(first);
    platform::CloseFile(second);

    platform::FileHandle reopened = platform::OpenFileForAppend(path.c_str());
    Append(reopened, "four\n");
    platform::CloseFile(reopened);
    EXPECT_EQ(ReadWholeFile(path), "one\ntwo\nthree\nfour\n");
    std::remove(path.c_str());
}

TEST(LogFileTest, FailureGivesNoFile) {
    const std::string missingDirectory = testsupport::BesideExecutable("no such directory") +
                                         platform::NativePathRules().joinSeparator + "x.log";
    for (const char* path : {static_cast<const char*>(nullptr), "", missingDirectory.c_str()})
        EXPECT_EQ(platform::OpenFileForAppend(path), platform::NoFile()) << (path ? path : "(null)");
    platform::CloseFile(platform::NoFile());  // left alone
}

}  // namespace
