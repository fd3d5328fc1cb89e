#include "injected_allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int t_failCountdown = 0;  // 0: never fail; n: the n-th allocation from now fails
thread_local long t_outstanding = 0;

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

namespace injected {
void FailAllocation(int n) { t_failCountdown = n; }
int Countdown() { return t_failCountdown; }
long OutstandingAllocations() { return t_outstanding; }
}  // namespace injected

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
