// Several threads at once on the allocator. Natively these also run under
// ThreadSanitizer (suite names carry "Concurrency").
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "allocator_test_support.h"
#include "module_overrides.h"
#include "temp_log_file.h"

namespace {

using namespace allocator_test;

// Lets threads start their work together, without any timing.
class StartingGate {
public:
    explicit StartingGate(int threads) : waiting_(threads) {}
    void ArriveAndWait() {
        waiting_.fetch_sub(1);
        while (waiting_.load() > 0) std::this_thread::yield();
    }

private:
    std::atomic<int> waiting_;
};

TEST(MemoryAllocatorConcurrency, FirstCreationFromManyThreadsBuildsAndRegistersOneInstance) {
    constexpr int kThreads = 8;
    testsupport::ReferenceFactory factory;
    ASSERT_TRUE(factory.Loaded()) << "ZorFact.dll did not load";
    testsupport::FactoryHandleOverride handle(factory.Module());
    factory.ClearJournal();
    StartingGate gate(kThreads);
    std::vector<zorvi::IComponent*> created(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            gate.ArriveAndWait();
            created[t] = CreateComponent(zorvi::kMemoryAllocatorId, static_cast<zorvi::CreatorId>(t));
        });
    }
    for (std::thread& thread : threads) thread.join();

    ASSERT_NE(created[0], nullptr);
    EXPECT_EQ(std::count(created.begin(), created.end(), created[0]), kThreads);
    EXPECT_EQ(Registrations(factory), std::vector<std::string>{RegistrationOf(created[0])});
    created[0]->Release(1);
}

TEST(MemoryAllocatorConcurrency, TheLeakReportNamesExactlyTheBlocksStillHeld) {
    constexpr int kWorkers = 6;
    constexpr uint32_t kBlocksEach = 150;
    StartingGate gate(kWorkers + 1);
    std::vector<std::vector<HeldBlock>> keptBy(kWorkers);
    std::vector<std::thread> threads;
    // One thread only creates; the workers create (and so meet the same instance), then
    // allocate, free every other block and keep the rest.
    threads.emplace_back([&gate] {
        gate.ArriveAndWait();
        CreateComponent(zorvi::kMemoryAllocatorId, 99);
    });
    for (int w = 0; w < kWorkers; ++w) {
        threads.emplace_back([&, w] {
            gate.ArriveAndWait();
            zorvi::IComponent* component = CreateComponent(zorvi::kMemoryAllocatorId, 100 + w);
            auto* allocator = static_cast<zorvi::IMemoryAllocator*>(
                static_cast<memalloc::MemoryAllocator*>(component));
            const uint32_t creator = 100 + w;
            for (uint32_t i = 0; i < kBlocksEach; ++i) {
                const uint32_t size = 1 + (i % 64);
                void* block = allocator->Alloc(creator, size);
                if (i % 2 == 0)
                    allocator->Free(block);
                else
                    keptBy[w].push_back({block, creator, size});
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    std::vector<HeldBlock> kept;
    for (const auto& blocks : keptBy) kept.insert(kept.end(), blocks.begin(), blocks.end());
    std::sort(kept.begin(), kept.end(),
              [](const HeldBlock& a, const HeldBlock& b) { return a.block < b.block; });
    memalloc::MemoryAllocator* allocator = CreateAllocator(1);
    ASSERT_NE(allocator, nullptr);
    LogToDebugger(allocator);
    testsupport::DebugCapture capture;
    allocator->Release(1);
    EXPECT_EQ(ChannelLines(capture), LeakReport(kept));
    for (const HeldBlock& h : kept) ::operator delete(h.block);
}

TEST(MemoryAllocatorConcurrency, ForeignFreesFromManyThreadsLogWholeLinesUnderBothLocks) {
    constexpr int kThreads = 6;
    constexpr int kRoundsEach = 100;
    memalloc::MemoryAllocator* allocator = CreateAllocator(1);
    ASSERT_NE(allocator, nullptr);
    testsupport::TempLogFile file;
    platform::RecursiveLock fileLock;
    platform::InitLock(&fileLock);
    testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle(), &fileLock});

    StartingGate gate(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            gate.ArriveAndWait();
            char foreign[4];
            for (int i = 0; i < kRoundsEach; ++i) {
                void* block = allocator->Alloc(7, 8);
                allocator->Free(block);
                allocator->Free(foreign);  // blockLock held, then the file's lock
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    allocator->Release(1);
    platform::DeleteLock(&fileLock);

    const std::string text = file.ReadFrom();
    const std::string prefix = "Error_Heap Try to free memory not alloced by me. pMemory=0x";
    size_t start = 0, lines = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1, ++lines)
        ASSERT_EQ(text.compare(start, prefix.size(), prefix), 0) << text.substr(start, end - start);
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(lines, static_cast<size_t>(kThreads * kRoundsEach));
}

}  // namespace
