// Component 3: a process-wide allocator that records, for each block it hands out, the
// creator tag, the address and the size; it takes back only its own blocks and reports
// the blocks still held when it is finalised.
//
// Lock order: blockLock, then the log file's lock (taken by the channel). The module lock
// is never taken under blockLock.
#pragma once

#include <cstdint>
#include <map>

#include "component/component_base.h"
#include "component/log_channel.h"
#include "platform/platform.h"
#include "zorvi/component.h"

namespace memalloc {

constexpr int32_t kMemoryAllocatorClassConstant = 1;

struct BlockRecord {
    uint32_t Creator;    // the caller's tag, never interpreted
    uintptr_t Location;  // the block's full address, equal to its key in the block map
    uint32_t Size;       // in bytes, as requested
};
// Three 32-bit fields in the 32-bit product; Location widens with the address elsewhere.
static_assert(sizeof(void*) != 4 || sizeof(BlockRecord) == 12, "BlockRecord in a 32-bit process");

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
    // The leak report, then blockLock goes: no Alloc or Free may follow.
    void Finalize() override;

    component::ComponentLogChannel& Channel() { return logChannel; }

private:
    // False when no storage was left for the record; the map is then unchanged.
    bool RecordBlock(uint32_t creator, void* block, uint32_t size);
    void ReportLeakedBlocks();

    component::ComponentLogChannel logChannel;
    std::map<uintptr_t, BlockRecord> blockMap;  // ascending address order
    platform::RecursiveLock blockLock;          // guards blockMap
};

}  // namespace memalloc
