// Allocation failures of the allocator, injected through the unit program's replaced
// allocation functions.
#include <gtest/gtest.h>

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
