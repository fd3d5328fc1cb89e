// The reference factory module's ConfigureLogChannel, loaded for real and driven by real
// configuration files beside the test program.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "factory_modules.h"
#include "reference_factory.h"
#include "module_files.h"
#include "platform/platform.h"
#include "zorvi/exports.h"

namespace {

using factorytest::ConfigFileBesideProgram;

struct Configured {
    zorvi::LogChannel channel;
    zorvi::LogTarget* target;
};

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ReferenceFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(factory_, nullptr) << "ZorFact.dll did not load";
        reference_.ClearJournal();
    }

    // A channel as the module leaves it before asking the factory, with marks in the tags
    // that the factory must leave alone.
    Configured Configure(const std::string& registryPath, zorvi::ComponentId owner) {
        Configured result;
        memset(&result.channel, 0, sizeof result.channel);
        result.channel.file = platform::NoFile();
        strcpy(result.channel.tagA, "tag a");
        strcpy(result.channel.tagB, "tag b");
        result.target = nullptr;
        factory_->ConfigureLogChannel(registryPath.c_str(), owner, &result.channel,
                                                &result.channel.fileOutput, &result.target);
        return result;
    }

    testsupport::ReferenceFactory reference_;
    zorvi::IComponentFactory* factory_ = factorytest::ComponentFactoryOf(reference_.Module());
};

TEST_F(ReferenceFactoryTest, TheLogSectionChoosesTheDebuggerOutputAndTheName) {
    ConfigFileBesideProgram config("reference_log.ini", "");
    struct Case {
        const char* label;
        std::string text;
        zorvi::ComponentId owner;
        int32_t debugOutput;
        std::string name;
    } cases[] = {
        {"no section", "", 3, 0, "MemAlloc"},
        {"other owner", "[Log]\nDebugOutput=1\n", 42, 1, "Component42"},
        {"flag is its leading 1", "[Log]\nDebugOutput=2\n", 3, 0, "MemAlloc"},
        {"percent signs", "[Log]\nDebugOutput= 1 \nName=Heap %d%%\n", 3, 1, "Heap _d__"},
        {"long name", "[Log]\nName=" + std::string(100, 'n') + "\n", 3, 0, std::string(63, 'n')},
        {"file output without a file", "[Log]\nFileOutput=0\nFile=never.log\n", 3, 0, "MemAlloc"},
    };
    for (const Case& c : cases) {
        config.Rewrite(c.text);
        reference_.ClearJournal();
        Configured result = Configure(config.Path(), c.owner);
        EXPECT_EQ(result.channel.debugOutput, c.debugOutput) << c.label;
        EXPECT_EQ(result.channel.fileOutput, 0) << c.label;
        EXPECT_EQ(result.target, nullptr) << c.label;
        EXPECT_EQ(std::string(result.channel.name), c.name) << c.label;
        EXPECT_STREQ(result.channel.tagA, "tag a") << c.label;
        EXPECT_STREQ(result.channel.tagB, "tag b") << c.label;
        EXPECT_EQ(reference_.Journal(),
                  (std::vector<std::string>{"ConfigureLogChannel " + std::to_string(c.owner) + " " + config.Path()}))
            << c.label;
    }
}

TEST_F(ReferenceFactoryTest, ARelativeRegistryPathIsTakenBesideTheHost) {
    ConfigFileBesideProgram config("reference_relative.ini", "[Log]\nName=Relative\n");
    EXPECT_STREQ(Configure(config.Name(), 3).channel.name, "Relative");
    EXPECT_STREQ(Configure(config.Path(), 3).channel.name, "Relative");
}

// The factory opens one log file for the process, at the first configuration that asks for
// file output and can open its file, so the steps below run in this order.
TEST_F(ReferenceFactoryTest, FileOutputHandsOverTheSharedFileAndItsLock) {
    ConfigFileBesideProgram config("reference_file.ini", "[Log]\nFileOutput=1\nFile=no such dir/x.log\n");
    Configured unopened = Configure(config.Path(), 3);
    EXPECT_EQ(unopened.channel.fileOutput, 0) << "a file that cannot be opened turns file output off";
    EXPECT_EQ(unopened.target, nullptr);

    config.Rewrite("[Log]\nFileOutput=1\nFile=reference_factory.log\n");
    Configured opened = Configure(config.Path(), 3);
    ASSERT_NE(opened.target, nullptr);
    EXPECT_EQ(opened.channel.fileOutput, 1);
    EXPECT_NE(opened.target->file, platform::NoFile());
    ASSERT_NE(opened.target->fileLock, nullptr);
    EXPECT_EQ(opened.channel.file, platform::NoFile()) << "the module copies the target, not the factory";

    // Appending as the module's channel does: under the lock, seek to the end, write.
    const std::string logPath = testsupport::BesideExecutable("reference_factory.log");
    const std::string before = ReadWholeFile(logPath);
    const std::string line = "Error_MemAlloc written through the shared target\n";
    auto* lock = static_cast<platform::RecursiveLock*>(opened.target->fileLock);
    platform::EnterLock(lock);
    EXPECT_EQ(platform::SeekToEnd(opened.target->file), 0u);
    platform::WriteToFile(opened.target->file, line.data(), static_cast<uint32_t>(line.size()));
    platform::LeaveLock(lock);
    EXPECT_EQ(ReadWholeFile(logPath), before + line);

    config.Rewrite("[Log]\nFileOutput=1\nFile=another.log\n");
    Configured later = Configure(config.Path(), 42);
    EXPECT_EQ(later.target, opened.target) << "every channel shares the first file";
    EXPECT_EQ(later.channel.fileOutput, 1);
}

TEST_F(ReferenceFactoryTest, NullPointersAreLeftAlone) {
    ConfigFileBesideProgram config("reference_null.ini", "[Log]\nDebugOutput=1\n");
    zorvi::IComponentFactory* factory = factory_;
    EXPECT_EQ(factory->ConfigureLogChannel(config.Path().c_str(), 3, nullptr, nullptr, nullptr), 0);
    zorvi::LogChannel channel;
    memset(&channel, 0, sizeof channel);
    EXPECT_EQ(factory->ConfigureLogChannel(nullptr, 3, &channel, nullptr, nullptr), 1);
    EXPECT_STREQ(channel.name, "MemAlloc");
}

TEST_F(ReferenceFactoryTest, CreatesOnlyTheComponentFactory) {
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(reference_.Module(), "CreateComponent"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(361, 9), factory_);
    EXPECT_EQ(create(3, 9), nullptr);
    EXPECT_EQ(factory_->GetFactoryService(3, "x.ini"), nullptr);
    EXPECT_EQ(reference_.Journal(), (std::vector<std::string>{"CreateComponent 361 9", "CreateComponent 3 9",
                                                          "GetFactoryService 3 x.ini"}));
}

}  // namespace
