#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "allocator_test_support.h"
#include "memalloc/create_memory_allocator.h"
#include "module/live_registry.h"
#include "module/module_state.h"
#include "module_overrides.h"

namespace {

using namespace allocator_test;

class MemoryAllocatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        allocator = CreateAllocator(1);
        ASSERT_NE(allocator, nullptr);
        LogToDebugger(allocator);
    }
    void TearDown() override {
        if (allocator) allocator->Release(1);
        // Blocks left in the allocator at its release still belong to the test.
        for (void* block : heldAtRelease) ::operator delete(block);
    }
    void ReleaseAllocator() {
        allocator->Release(1);
        allocator = nullptr;
    }
    void* AllocAndKeep(uint32_t creator, uint32_t size) {
        void* block = allocator->Alloc(creator, size);
        if (block) heldAtRelease.push_back(block);
        return block;
    }

    testsupport::DebugCapture capture;
    memalloc::MemoryAllocator* allocator = nullptr;
    std::vector<void*> heldAtRelease;
};

// Operations reached the way a holder in another module reaches them: the object's first
// word points to the table, and slot N holds operation N.
using Table = void* const*;
template <class Function>
Function Slot(void* component, int slot) {
    Table table = *static_cast<Table*>(component);
    return reinterpret_cast<Function>(table[slot]);
}

TEST_F(MemoryAllocatorTest, AnswersItsIdentity) {
    EXPECT_EQ(allocator->GetComponentID(), 3);
    EXPECT_EQ(allocator->GetClassConstant(), 1);
    EXPECT_EQ(static_cast<zorvi::IComponent*>(allocator), static_cast<void*>(allocator));
}

TEST_F(MemoryAllocatorTest, RawTableSlotsReachTheirOperations) {
    void* raw = static_cast<zorvi::IComponent*>(allocator);
    using namespace zorvi::slot;
    EXPECT_EQ(Slot<int32_t (*)(void*)>(raw, kGetComponentID)(raw), 3);
    EXPECT_EQ(Slot<int32_t (*)(void*)>(raw, kGetClassConstant)(raw), 1);
    Slot<void (*)(void*, int32_t)>(raw, kSetFreeMapFlag)(raw, 5);
    EXPECT_EQ(Slot<int32_t (*)(void*)>(raw, kGetFreeMapFlag)(raw), 5);

    void* freed = Slot<void* (*)(void*, uint32_t, uint32_t)>(raw, kAlloc)(raw, 7, 16);
    ASSERT_NE(freed, nullptr);
    EXPECT_EQ(Slot<int32_t (*)(void*, void*)>(raw, kFree)(raw, freed), 1);
    void* held = AllocAndKeep(9, 24);

    char out[8] = "zzzzzzz";
    Slot<void (*)(void*, const char*, char*, int32_t)>(raw, kGetRegistryPath)(raw, "abc", out, 4);
    EXPECT_STREQ(out, "abc");

    // Release(1): Finalize reports the held block, then the object is deleted and leaves
    // the live registry.
    Slot<void (*)(void*, int32_t)>(raw, kRelease)(raw, 1);
    allocator = nullptr;
    EXPECT_EQ(ChannelLines(capture), LeakReport({{held, 9, 24}}));
    module::ModuleLockGuard guard;
    EXPECT_FALSE(module::LiveComponents().Contains(raw));
}

int g_breaks = 0;
void CountBreak() { ++g_breaks; }

TEST(MemoryAllocatorSlots, SlotSevenIsFinalize) {
    // Built directly, outside the singleton and the live registry: Finalize is called
    // here through the table, not by a release.
    auto* allocator = new memalloc::MemoryAllocator;
    LogToDebugger(allocator);
    void* held = allocator->Alloc(4, 8);
    ASSERT_NE(held, nullptr);
    testsupport::DebugCapture capture;
    void* raw = static_cast<zorvi::IComponent*>(allocator);

    Slot<void (*)(void*)>(raw, zorvi::slot::kFinalize)(raw);
    EXPECT_EQ(ChannelLines(capture), LeakReport({{held, 4, 8}}));

    // Never released: its destruction breaks into the debugger first.
    g_breaks = 0;
    platform::SetBreakHook(&CountBreak);
    delete static_cast<component::ChildOwner*>(allocator);
    platform::SetBreakHook(nullptr);
    EXPECT_EQ(g_breaks, 1);
    ::operator delete(held);
}

TEST_F(MemoryAllocatorTest, AllocOfZeroBytesGivesNothingAndRecordsNothing) {
    EXPECT_EQ(allocator->Alloc(7, 0), nullptr);
    ReleaseAllocator();
    EXPECT_TRUE(ChannelLines(capture).empty());
}

TEST_F(MemoryAllocatorTest, FinalizingWithNoBlockHeldWritesNothing) {
    void* block = allocator->Alloc(7, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(allocator->Free(block), 1);
    ReleaseAllocator();
    EXPECT_TRUE(ChannelLines(capture).empty());
}

TEST_F(MemoryAllocatorTest, LeakReportListsHeldBlocksInAscendingAddressOrder) {
    std::vector<HeldBlock> held;
    for (uint32_t i = 0; i < 6; ++i) {
        void* block = AllocAndKeep(7 + i, 16 * (i + 1));
        ASSERT_NE(block, nullptr);
        held.push_back({block, 7 + i, 16 * (i + 1)});
    }
    // Two taken back: the report names the other four.
    for (int taken : {1, 4}) {
        EXPECT_EQ(allocator->Free(held[taken].block), 1);
        heldAtRelease.erase(std::find(heldAtRelease.begin(), heldAtRelease.end(), held[taken].block));
    }
    held.erase(held.begin() + 4);
    held.erase(held.begin() + 1);
    std::sort(held.begin(), held.end(),
              [](const HeldBlock& a, const HeldBlock& b) { return a.block < b.block; });

    ReleaseAllocator();
    EXPECT_EQ(ChannelLines(capture), LeakReport(held));
}

TEST_F(MemoryAllocatorTest, FreeTakesBackOnlyItsOwnBlocks) {
    void* kept = AllocAndKeep(7, 16);
    void* twice = allocator->Alloc(8, 32);
    ASSERT_TRUE(kept && twice);
    char foreign[16];
    memset(foreign, 0x5A, sizeof foreign);

    struct Case {
        const char* what;
        void* pMemory;
        int32_t result;
        std::vector<std::string> lines;
    } cases[] = {
        {"null", nullptr, 1, {}},
        {"first free of a block", twice, 1, {}},
        {"second free of the same block", twice, 0, {ForeignFreeLine(twice)}},
        {"memory never handed out", foreign, 0, {ForeignFreeLine(foreign)}},
    };
    for (const Case& c : cases) {
        capture.Clear();
        EXPECT_EQ(allocator->Free(c.pMemory), c.result) << c.what;
        EXPECT_EQ(ChannelLines(capture), c.lines) << c.what;
    }
    EXPECT_EQ(std::count(foreign, foreign + sizeof foreign, 0x5A), 16) << "foreign memory touched";

    // The refused frees changed no record.
    capture.Clear();
    ReleaseAllocator();
    EXPECT_EQ(ChannelLines(capture), LeakReport({{kept, 7, 16}}));
}

TEST(MemoryAllocatorSingleton, OneInstanceRegisteredOnceAndANewOneAfterRelease) {
    testsupport::ReferenceFactory factory;
    ASSERT_TRUE(factory.Loaded()) << "ZorFact.dll did not load";
    testsupport::FactoryHandleOverride handle(factory.Module());
    factory.ClearJournal();
    memalloc::MemoryAllocator* first = CreateAllocator(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CreateAllocator(2), first);
    EXPECT_EQ(memalloc::CreateMemoryAllocator(), first);
    EXPECT_EQ(Registrations(factory), std::vector<std::string>{RegistrationOf(first)});
    first->Release(1);

    // The released instance is never handed out again: a new one is built and registered.
    factory.ClearJournal();
    memalloc::MemoryAllocator* second = CreateAllocator(3);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Registrations(factory), std::vector<std::string>{RegistrationOf(second)});
    EXPECT_EQ(second->GetComponentID(), 3);
    void* block = second->Alloc(5, 10);
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(second->Free(block), 1);
    second->Release(1);
}

}  // namespace
