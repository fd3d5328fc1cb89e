// Allocation failures, injected by replacing the program's global allocation functions:
// the module's code runs unchanged and meets a real std::bad_alloc or a null result.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "allocator_test_support.h"
#include "log_channel_setup.h"
#include "temp_log_file.h"

namespace {

// Per thread, so that other threads' allocations neither trigger nor consume a failure.
thread_local int t_failCountdown = 0;     // 0: never fail; n: the n-th allocation from now fails
thread_local long t_outstanding = 0;      // allocations minus deallocations on this thread

bool ThisAllocationFails() { return t_failCountdown > 0 && --t_failCountdown == 0; }

void* Allocate(std::size_t size) {
    if (ThisAllocationFails()) return nullptr;
    void* block = malloc(size ? size : 1);
    if (block) ++t_outstanding;
    return block;
}

void Deallocate(void* block) {
    if (!block) return;
    --t_outstanding;
    free(block);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Deallocate(block); }
void operator delete[](void* block) noexcept { Deallocate(block); }
void operator delete(void* block, std::size_t) noexcept { Deallocate(block); }
void operator delete[](void* block, std::size_t) noexcept { Deallocate(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Deallocate(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Deallocate(block); }

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
        const long outstandingBefore = t_outstanding;
        t_failCountdown = c.failingAllocation;
        void* block = allocator->Alloc(7, 64);
        const int countdownLeft = t_failCountdown;
        t_failCountdown = 0;

        EXPECT_EQ(block, nullptr) << c.what;
        EXPECT_EQ(countdownLeft, 0) << c.what << ": the injected failure was not reached";
        EXPECT_EQ(t_outstanding, outstandingBefore) << c.what << ": a block stayed allocated";
        EXPECT_EQ(file.ReadFrom(), Line("Memory alloc fail!")) << c.what;
    }
    // Nothing was recorded: the finalising release reports no block.
    testsupport::TempLogFile file;
    testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle()});
    allocator->Release(1);
    EXPECT_EQ(file.ReadFrom(), "");
}

TEST(MemoryAllocatorFailure, CreationWithoutStorageReturnsNullAndTheNextCallBuilds) {
    t_failCountdown = 1;  // the instance's storage
    zorvi::IComponent* failed = CreateComponent(zorvi::kMemoryAllocatorId, 5);
    t_failCountdown = 0;
    EXPECT_EQ(failed, nullptr);

    memalloc::MemoryAllocator* allocator = CreateAllocator(5);
    ASSERT_NE(allocator, nullptr);
    EXPECT_EQ(allocator->GetComponentID(), 3);
    allocator->Release(1);
}

}  // namespace
