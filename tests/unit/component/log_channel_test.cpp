#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "component/log_channel.h"
#include "debug_capture.h"
#include "log_channel_setup.h"
#include "module_files.h"
#include "module_overrides.h"
#include "reference_factory.h"
#include "temp_log_file.h"

namespace {

using testsupport::ChannelSetup;
using testsupport::ConfigureChannel;

// A channel as its owner has it, then configured by the test rather than by whatever
// factory module the process may have loaded.
class LogChannelTest : public ::testing::Test {
protected:
    void Configure(const ChannelSetup& setup) { ConfigureChannel(channel.Record(), setup); }
    std::vector<std::string> DebugLines() const { return capture.Messages(); }

    component::ComponentLogChannel channel{zorvi::kMemoryAllocatorId};
    testsupport::TempLogFile file;
    testsupport::DebugCapture capture;
};

const char* FormatLineWith(const component::ComponentLogChannel& channel, char* buffer,
                           int32_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const char* text = channel.FormatLine(buffer, size, "Error", format, args);
    va_end(args);
    return text;
}

TEST_F(LogChannelTest, EachOutputFollowsBitZeroOfItsFlag) {
    struct Case {
        int32_t debugOutput, fileOutput;
        bool toDebugger, toFile;
    } cases[] = {
        {0, 0, false, false}, {1, 0, true, false}, {0, 1, false, true}, {1, 1, true, true},
        {2, 2, false, false}, {3, 0, true, false}, {0, 3, false, true}, {-1, -2, true, false},
    };
    const std::string line = "Error_Heap n=7\n";
    for (const Case& c : cases) {
        testsupport::TempLogFile caseFile;
        Configure({c.debugOutput, c.fileOutput, "Heap", caseFile.Handle()});
        capture.Clear();
        channel.ReportError("n=%d", 7);
        const std::vector<std::string> noLines;
        EXPECT_EQ(DebugLines(), c.toDebugger ? std::vector<std::string>{line} : noLines)
            << c.debugOutput << "/" << c.fileOutput;
        EXPECT_EQ(caseFile.ReadFrom(), c.toFile ? line : "") << c.debugOutput << "/" << c.fileOutput;
    }
}

TEST_F(LogChannelTest, TheNameIsPrintedAsItStands) {
    struct Case {
        std::string name;
        std::string expected;
    } cases[] = {
        {"", "Error_ v=42\n"},
        {"Heap", "Error_Heap v=42\n"},
        {"50%d%s", "Error_50%d%s v=42\n"},
        {"%", "Error_% v=42\n"},
        {"100%%", "Error_100%% v=42\n"},
        // Left unterminated by the factory: cut at 63 characters.
        {std::string(64, 'N'), "Error_" + std::string(63, 'N') + " v=42\n"},
        {std::string(64, '%'), "Error_" + std::string(63, '%') + " v=42\n"},
    };
    for (const Case& c : cases) {
        Configure({1, 0});
        memcpy(channel.Record().name, c.name.data(), c.name.size());
        capture.Clear();
        channel.ReportError("v=%d", 42);
        EXPECT_EQ(DebugLines(), std::vector<std::string>{c.expected}) << c.name;
    }
}

TEST_F(LogChannelTest, OverlongMessagesAreCutAtTheHeaderAndAtTheLine) {
    const std::string longFormat(300, 'h');
    const std::string longArgument(2000, 'x');
    Configure({0, 1, "Heap", file.Handle()});
    channel.ReportError("before");
    // The caller's format enters the header as text, and the header holds 255 characters:
    // the time stamp (24), "Error_Heap " (11) and 220 of the format; its line feed is lost.
    channel.ReportError(longFormat.c_str());
    // The line holds 1023 characters with the time stamp: 999 are emitted.
    channel.ReportError("%s", longArgument.c_str());
    channel.ReportError("after");
    EXPECT_EQ(file.ReadFrom(), "Error_Heap before\n"
                               "Error_Heap " + std::string(220, 'h') +
                               "Error_Heap " + std::string(988, 'x') +
                               "Error_Heap after\n");
}

TEST_F(LogChannelTest, FormatLineStampsTheTimeButPointsPastIt) {
    Configure({1, 0, "Heap"});
    struct Case {
        int32_t size;
        ptrdiff_t textOffset;
    } cases[] = {{1024, 24}, {26, 24}, {25, 0}, {2, 0}};
    for (const Case& c : cases) {
        char buffer[1024];
        memset(buffer, 0, sizeof buffer);
        const char* text = FormatLineWith(channel, buffer, c.size, "n=%d", 5);
        EXPECT_EQ(text - buffer, c.textOffset) << c.size;
        EXPECT_EQ(strlen(buffer), std::min<size_t>(static_cast<size_t>(c.size) - 1, 39)) << c.size;
    }
    char buffer[1024] = {0};
    FormatLineWith(channel, buffer, sizeof buffer, "n=%d", 5);
    const char kStampShape[] = "####-##-## ##:##:##:### ";
    for (size_t i = 0; i < sizeof kStampShape - 1; ++i) {
        if (kStampShape[i] == '#')
            EXPECT_TRUE(isdigit(static_cast<unsigned char>(buffer[i]))) << buffer;
        else
            EXPECT_EQ(buffer[i], kStampShape[i]) << buffer;
    }
    EXPECT_STREQ(buffer + 24, "Error_Heap n=5\n");
}

TEST_F(LogChannelTest, WithoutAFileNothingIsWrittenOrReportedAndTheLockIsLeft) {
    platform::RecursiveLock lock;
    platform::InitLock(&lock);
    Configure({0, 1, "Heap", platform::NoFile(), &lock});
    channel.ReportError("dropped");
    EXPECT_TRUE(DebugLines().empty());

    // Another holder of the lock can still append: this thread left it.
    component::ComponentLogChannel other{zorvi::kMemoryAllocatorId};
    ConfigureChannel(other.Record(), {0, 1, "Other", file.Handle(), &lock});
    std::thread([&other] { other.ReportError("written"); }).join();
    EXPECT_EQ(file.ReadFrom(), "Error_Other written\n");
    platform::DeleteLock(&lock);
}

TEST_F(LogChannelTest, AFailedSeekIsReportedWhateverDebugOutputSaysAndDropsTheLine) {
    testsupport::TempLogFile closedFile;
    closedFile.Close();
    struct Case {
        const char* what;
        platform::FileHandle handle;
    } cases[] = {
        {"a handle that was closed", closedFile.Handle()},
        {"a value that was never a handle", reinterpret_cast<platform::FileHandle>(0x7FFFFFF0)},
    };
    const std::string prefix = "Set log file pointer at end fail , error id = ";
    for (const Case& c : cases) {
        Configure({0, 1, "Heap", c.handle});
        capture.Clear();
        channel.ReportError("lost");
        const std::vector<std::string> lines = DebugLines();
        ASSERT_EQ(lines.size(), 1u) << c.what;
        const std::string& message = lines[0];
        ASSERT_EQ(message.compare(0, prefix.size(), prefix), 0) << message;
        ASSERT_GE(message.size(), prefix.size() + 3);
        EXPECT_EQ(message.substr(message.size() - 3), " !\n") << message;
        const int errorCode = atoi(message.c_str() + prefix.size());
        EXPECT_NE(errorCode, 0) << message;
    }
}

TEST_F(LogChannelTest, AFilePositionWithAllLowBitsSetIsNotAFailure) {
    // SetFilePointer answers 0xFFFFFFFF for this end position; only its error code of 0
    // tells it from a failure.
    const uint64_t kEnd = 0xFFFFFFFFull;
    file.Resize(kEnd);
    Configure({0, 1, "Heap", file.Handle()});
    channel.ReportError("tail");
    EXPECT_TRUE(DebugLines().empty());
    EXPECT_EQ(file.ReadFrom(kEnd), "Error_Heap tail\n");
}

TEST_F(LogChannelTest, FactoryFromModuleNeedsAnExportThatCreatesTheFactory) {
    struct Case {
        const char* module;  // beside the program; null for no module
        bool factory;
        std::vector<std::string> messages;
    } cases[] = {
        {nullptr, false, {}},
        {"NoExport.dll", false, {"Can't find CreateComponent() in ZorFact.dll or ZorFact.dll is missed\n"}},
        {"NullExport.dll", false, {"Invoke CreateComponent() in ZorFact.dll return null.\n"}},
        {"ZorFact.dll", true, {}},
    };
    for (const Case& c : cases) {
        platform::ModuleHandle module =
            c.module ? platform::LoadModule(testsupport::BesideExecutable(c.module).c_str()) : nullptr;
        ASSERT_TRUE(module || !c.module) << c.module << " did not load";
        capture.Clear();
        zorvi::IComponentFactory* factory = component::ComponentLogChannel::FactoryFromModule(module);
        EXPECT_EQ(factory != nullptr, c.factory) << (c.module ? c.module : "(none)");
        EXPECT_EQ(DebugLines(), c.messages) << (c.module ? c.module : "(none)");
    }
}

// A ComponentFactory that notes what the channel passes and hands over a chosen target.
class RecordingFactory : public zorvi::IComponentFactory {
public:
    zorvi::ComponentId GetComponentID() override { return zorvi::kComponentFactoryId; }
    int32_t GetClassConstant() override { return 1; }
    void Release(int32_t) override { ++releases; }
    int32_t GetFreeMapFlag() override { return 0; }
    void SetFreeMapFlag(int32_t) override {}
    zorvi::IFactoryService* GetFactoryService(zorvi::ComponentId, const char*) override { return nullptr; }
    int32_t ConfigureLogChannel(const char* registryPath, zorvi::ComponentId ownerId,
                                zorvi::LogChannel* channel, int32_t* fileOutput,
                                zorvi::LogTarget** target) override {
        seenRegistryPath = registryPath;
        seenOwner = ownerId;
        seenChannel = channel;
        seenFileOutput = fileOutput;
        targetStartedNull = *target == nullptr;
        *fileOutput = 1;
        strcpy(channel->name, "Given");
        *target = handOver;
        return 1;
    }

    zorvi::LogTarget* handOver = nullptr;
    const char* seenRegistryPath = nullptr;
    zorvi::ComponentId seenOwner = 0;
    zorvi::LogChannel* seenChannel = nullptr;
    int32_t* seenFileOutput = nullptr;
    bool targetStartedNull = false;
    int releases = 0;
};

TEST_F(LogChannelTest, ConfigureWithTakesOverTheFileAndLockTheFactoryHandsBack) {
    platform::RecursiveLock lock;
    platform::InitLock(&lock);
    testsupport::RegistryPathOverride registry("C:\\zorvi.ini");
    struct Case {
        bool handsOverTarget;
        std::string written;
    } cases[] = {{true, "Error_Given reached the file\n"}, {false, ""}};
    for (const Case& c : cases) {
        testsupport::TempLogFile caseFile;
        zorvi::LogTarget target{&lock, caseFile.Handle()};
        RecordingFactory factory;
        factory.handOver = c.handsOverTarget ? &target : nullptr;
        component::ComponentLogChannel configured{zorvi::kMemoryAllocatorId};
        ConfigureChannel(configured.Record(), {});

        configured.ConfigureWith(&factory, 42);

        const zorvi::LogChannel& record = configured.Record();
        EXPECT_STREQ(factory.seenRegistryPath, "C:\\zorvi.ini");
        EXPECT_EQ(factory.seenOwner, 42);
        EXPECT_EQ(factory.seenChannel, &record);
        EXPECT_EQ(factory.seenFileOutput, &record.fileOutput);
        EXPECT_TRUE(factory.targetStartedNull);
        EXPECT_EQ(factory.releases, 0);
        EXPECT_EQ(record.fileLock, c.handsOverTarget ? static_cast<void*>(&lock) : nullptr);
        EXPECT_EQ(record.file, c.handsOverTarget ? caseFile.Handle() : platform::NoFile());
        configured.ReportError("reached the file");
        EXPECT_EQ(caseFile.ReadFrom(), c.written);
    }
    platform::DeleteLock(&lock);
}

// The reference factory opens one log file for the whole process, at the first
// configuration that asks for one; this test leaves that choice to the factory's own tests.
TEST(LogChannelFromFactory, ANewChannelIsConfiguredByTheLoadedFactory) {
    testsupport::ReferenceFactory factory;
    ASSERT_TRUE(factory.Loaded()) << "ZorFact.dll did not load";
    const std::string configPath = testsupport::BesideExecutable("channel_config.ini");
    std::ofstream(configPath) << "[Log]\nDebugOutput=1\nFileOutput=0\nName=TestHeap\n";
    testsupport::RegistryPathOverride registry(configPath.c_str());
    factory.ClearJournal();

    // Found by its file name among the loaded modules; the factory handle is not used.
    testsupport::FactoryHandleOverride noHandle(nullptr);
    component::ComponentLogChannel channel{zorvi::kMemoryAllocatorId};
    // One configuration, and the ComponentFactory is not released.
    EXPECT_EQ(factory.Journal(), (std::vector<std::string>{"CreateComponent 361 0",
                                                           "ConfigureLogChannel 3 " + configPath}));
    const zorvi::LogChannel& record = channel.Record();
    EXPECT_EQ(record.debugOutput, 1);
    EXPECT_EQ(record.fileOutput, 0);
    EXPECT_EQ(record.file, platform::NoFile());
    EXPECT_EQ(record.fileLock, nullptr);
    EXPECT_STREQ(record.name, "TestHeap");

    testsupport::DebugCapture capture;
    channel.ReportError("configured %d", 1);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"Error_TestHeap configured 1\n"});
    std::remove(configPath.c_str());
}

TEST(LogChannelConcurrency, AppendsUnderTheSharedLockStayWhole) {
    constexpr int kThreads = 6;
    constexpr int kLinesEach = 200;
    testsupport::TempLogFile file;
    platform::RecursiveLock lock;
    platform::InitLock(&lock);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&file, &lock, t] {
            // One channel per thread, as components that share the factory's file.
            component::ComponentLogChannel channel{zorvi::kMemoryAllocatorId};
            const std::string name = "T" + std::to_string(t);
            ConfigureChannel(channel.Record(), {0, 1, name.c_str(), file.Handle(), &lock});
            for (int i = 0; i < kLinesEach; ++i) channel.ReportError("line %d", i);
        });
    }
    for (std::thread& thread : threads) thread.join();
    platform::DeleteLock(&lock);

    std::vector<int> nextLine(kThreads, 0);
    const std::string text = file.ReadFrom();
    size_t start = 0, lines = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
        int thread = -1, index = -1;
        ASSERT_EQ(sscanf(text.substr(start, end - start).c_str(), "Error_T%d line %d", &thread, &index), 2)
            << text.substr(start, end - start);
        ASSERT_TRUE(thread >= 0 && thread < kThreads);
        EXPECT_EQ(index, nextLine[thread]++) << "thread " << thread;
    }
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(lines, static_cast<size_t>(kThreads * kLinesEach));
}

}  // namespace
