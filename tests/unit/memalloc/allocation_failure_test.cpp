// Allocation failures of the allocator, injected through the unit program's replaced
// allocation functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "allocator_test_support.h"
#include "injected_allocation_failure.h"
#include "log_channel_setup.h"
#include "temp_log_file.h"

namespace {

using namespace allocator_test;

TEST(MemoryAllocatorFailure, AllocReturnsNullAndKeepsNoBlockWhenBlockOrRecordCannotBeHad) {
    struct Case {
        const char* what;
        int failingAllocation;  // counted from the start of Alloc
    } cases[] = {
        {"no memory for the block", 1},
        {"no memory for the block's record", 2},
    };
    memalloc::MemoryAllocator* allocator = CreateAllocator(1);
    ASSERT_NE(allocator, nullptr);
    for (const Case& c : cases) {
        // File output only: writing a line allocates nothing, so the count of outstanding
        // allocations tells whether the block went back.
        testsupport::TempLogFile file;
        testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle()});
        const long outstandingBefore = injected::OutstandingAllocations();
        injected::FailAllocation(c.failingAllocation);
        void* block = allocator->Alloc(7, 64);
        const int countdownLeft = injected::Countdown();
        injected::FailAllocation(0);

        EXPECT_EQ(block, nullptr) << c.what;
        EXPECT_EQ(countdownLeft, 0) << c.what << ": the injected failure was not reached";
        EXPECT_EQ(injected::OutstandingAllocations(), outstandingBefore) << c.what << ": a block stayed allocated";
        EXPECT_EQ(file.ReadFrom(), Line("Memory alloc fail!")) << c.what;
    }
    // Nothing was recorded: the finalising release reports no block.
    testsupport::TempLogFile file;
    testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle()});
    allocator->Release(1);
    EXPECT_EQ(file.ReadFrom(), "");
}

TEST(MemoryAllocatorFailure, LeakReportWithoutStorageForItsSortedCopyStillListsAscending) {
    memalloc::MemoryAllocator* allocator = CreateAllocator(2);
    ASSERT_NE(allocator, nullptr);
    std::vector<HeldBlock> held;
    for (uint32_t i = 0; i < 40; ++i) {
        uint32_t size = 8 + i;
        held.push_back({allocator->Alloc(100 + i, size), 100 + i, size});
    }
    std::sort(held.begin(), held.end(), [](const HeldBlock& a, const HeldBlock& b) {
        return reinterpret_cast<uintptr_t>(a.block) < reinterpret_cast<uintptr_t>(b.block);
    });
    // File output only: writing a line allocates nothing, so the one failing allocation
    // is the report's sorted copy of the records.
    testsupport::TempLogFile file;
    testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle()});
    {
        injected::FailureScope failure(1);
        allocator->Release(1);
        EXPECT_TRUE(failure.Reached());
    }
    std::string expected;
    for (const std::string& line : LeakReport(held)) expected += line;
    EXPECT_EQ(file.ReadFrom(), expected);
    for (const HeldBlock& h : held) ::operator delete(h.block);  // Finalize never frees them
}

TEST(MemoryAllocatorFailure, CreationWithoutStorageReturnsNullAndTheNextCallBuilds) {
    injected::FailAllocation(1);  // the instance's storage
    zorvi::IComponent* failed = CreateComponent(zorvi::kMemoryAllocatorId, 5);
    injected::FailAllocation(0);
    EXPECT_EQ(failed, nullptr);

    memalloc::MemoryAllocator* allocator = CreateAllocator(5);
    ASSERT_NE(allocator, nullptr);
    EXPECT_EQ(allocator->GetComponentID(), 3);
    allocator->Release(1);
}

}  // namespace
