#include "memalloc/memory_allocator.h"

#include <new>

#include "memalloc/create_memory_allocator.h"
#include "memalloc/scoped_lock.h"

namespace memalloc {

namespace {
uintptr_t BlockKey(const void* block) { return reinterpret_cast<uintptr_t>(block); }
}  // namespace

MemoryAllocator::MemoryAllocator() : logChannel(zorvi::kMemoryAllocatorId) {
    platform::InitLock(&blockLock);
}

MemoryAllocator::~MemoryAllocator() { ForgetInstance(this); }

void* MemoryAllocator::Alloc(uint32_t creator, uint32_t size) {
    if (size == 0) return nullptr;
    // Obtained outside blockLock: only the record needs it.
    void* block = ::operator new(size, std::nothrow);
    // A block whose record cannot be stored goes straight back: an untracked block could
    // never be freed through Free.
    if (block && !RecordBlock(creator, block, size)) {
        ::operator delete(block);
        block = nullptr;
    }
    if (!block) logChannel.ReportError("Memory alloc fail!");
    return block;
}

bool MemoryAllocator::RecordBlock(uint32_t creator, void* block, uint32_t size) {
    ScopedLock guard(blockLock);
    try {
        // A record already under this address is replaced.
        blockMap[BlockKey(block)] = BlockRecord{creator, BlockKey(block), size};
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int32_t MemoryAllocator::Free(void* pMemory) {
    ScopedLock guard(blockLock);
    auto found = blockMap.find(BlockKey(pMemory));
    if (found != blockMap.end()) {
        ::operator delete(pMemory);
        blockMap.erase(found);
        return 1;
    }
    if (!pMemory) return 1;
    // Not ours, or already taken back: the memory is left alone.
    logChannel.ReportError("Try to free memory not alloced by me. pMemory=0x%p", pMemory);
    return 0;
}

void MemoryAllocator::Finalize() {
    ReportLeakedBlocks();
    platform::DeleteLock(&blockLock);
}

}  // namespace memalloc
