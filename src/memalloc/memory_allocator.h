// Component 3: a process-wide allocator that records, for each block it hands out, the
// creator tag, the address and the size; it takes back only its own blocks and reports
// the blocks still held when it is finalised.
//
// Lock order: the block store's shard locks, then the log file's lock (taken by the
// channel). The module lock is never taken under a shard lock.
#pragma once

#include <cstdint>

#include "component/component_base.h"
#include "component/log_channel.h"
#include "memalloc/block_store.h"
#include "zorvi/component.h"

namespace memalloc {

constexpr int32_t kMemoryAllocatorClassConstant = 1;

class MemoryAllocator final
    : public component::ComponentBase<zorvi::IMemoryAllocator, zorvi::kMemoryAllocatorId,
                                      kMemoryAllocatorClassConstant> {
public:
    MemoryAllocator();
    // Discards the records without freeing their blocks; a later creation builds a new
    // instance instead of handing out this one.
    ~MemoryAllocator() override;

    void* Alloc(uint32_t creator, uint32_t size) override;
    int32_t Free(void* pMemory) override;
    // The leak report: no Alloc or Free may follow.
    void Finalize() override;

    component::ComponentLogChannel& Channel() { return logChannel; }

private:
    void ReportLeakedBlocks();

    component::ComponentLogChannel logChannel;
    BlockStore blocks;  // guarded by its own shard locks
};

}  // namespace memalloc
