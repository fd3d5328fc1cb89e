#include "memalloc/memory_allocator.h"

#include <new>

#include "memalloc/create_memory_allocator.h"

namespace memalloc {

namespace {
uintptr_t BlockKey(const void* block) { return reinterpret_cast<uintptr_t>(block); }
}  // namespace

MemoryAllocator::MemoryAllocator() : logChannel(zorvi::kMemoryAllocatorId) {}

MemoryAllocator::~MemoryAllocator() { ForgetInstance(this); }

void* MemoryAllocator::Alloc(uint32_t creator, uint32_t size) {
    if (size == 0) return nullptr;
    // Obtained outside the store's locks: only the record needs them.
    void* block = ::operator new(size, std::nothrow);
    // A block whose record cannot be stored goes straight back: an untracked block could
    // never be freed through Free.
    if (block && !blocks.InsertOrReplace(BlockRecord{creator, BlockKey(block), size})) {
        ::operator delete(block);
        block = nullptr;
    }
    if (!block) logChannel.ReportError("Memory alloc fail!");
    return block;
}

int32_t MemoryAllocator::Free(void* pMemory) {
    // No record is ever kept under null.
    if (!pMemory) return 1;
    const bool taken = blocks.RemoveOr(BlockKey(pMemory), [&] {
        // Not ours, or already taken back: the memory is left alone.
        logChannel.ReportError("Try to free memory not alloced by me. pMemory=0x%p", pMemory);
    });
    if (!taken) return 0;
    // The record is gone, so no other Free can take this block too; until it is returned,
    // the runtime cannot hand its address out again, so no new record can meet it.
    ::operator delete(pMemory);
    return 1;
}

void MemoryAllocator::Finalize() { ReportLeakedBlocks(); }

}  // namespace memalloc
