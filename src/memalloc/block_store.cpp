#include "memalloc/block_store.h"

#include "platform/platform.h"

namespace memalloc {

bool BlockStore::InsertOrReplace(const BlockRecord& record) {
    Shard& shard = ShardOf(record.Location);
    ShardEntry entry(shard);
    return shard.table.InsertOrReplace(RecordSlot{record.Location, record.Creator, record.Size});
}

bool BlockStore::ShardEntry::TakeContended(Shard& shard) {
    // Taken: by another thread, or by this one around a callout that called back in. Only
    // this thread writes its own id there, so the answer cannot change while we look.
    if (shard.calloutThread.load(std::memory_order_relaxed) == platform::CurrentThreadId()) return false;
    shard.lock.LockContended();
    return true;
}

bool BlockStore::CalloutMark::Mark(Shard& shard) {
    const uintptr_t self = platform::CurrentThreadId();
    if (shard.calloutThread.load(std::memory_order_relaxed) == self) return false;
    shard.calloutThread.store(self, std::memory_order_relaxed);
    return true;
}

BlockStore::Frozen::AllShardsLocked::AllShardsLocked(BlockStore& store) : store(store) {
    // Always in shard order; every other path holds one shard at a time, so this cannot
    // deadlock with them.
    for (size_t i = 0; i < kShardCount; ++i) {
        Shard& shard = store.ShardAt(i);
        if (ShardEntry::Take(shard)) taken |= uint64_t{1} << i;
        if (CalloutMark::Mark(shard)) marked |= uint64_t{1} << i;
    }
}

BlockStore::Frozen::AllShardsLocked::~AllShardsLocked() {
    for (size_t i = 0; i < kShardCount; ++i) {
        Shard& shard = store.ShardAt(i);
        if (marked & (uint64_t{1} << i)) CalloutMark::Unmark(shard);
        if (taken & (uint64_t{1} << i)) shard.lock.Unlock();
    }
}

BlockStore::Frozen::Frozen(BlockStore& store) : locked_(store) {}

size_t BlockStore::Frozen::Count() const {
    size_t count = 0;
    for (size_t i = 0; i < kShardCount; ++i) count += Store().ShardAt(i).table.Count();
    return count;
}

}  // namespace memalloc
