// The allocator's records of the blocks it handed out, one per address. The records are
// spread over shards chosen from the block's address, each with its own lock and table,
// so that threads working on their own blocks seldom meet; they are put in address order
// only when the leak report asks for it.
//
// A thread that holds shard locks while it calls out (to write a message or the report)
// may call back into the store: the shards it holds are not taken again. Every other
// thread waits for them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "memalloc/record_table.h"
#include "memalloc/shard_lock.h"

namespace memalloc {

struct BlockRecord {
    uint32_t Creator;    // the caller's tag, never interpreted
    uintptr_t Location;  // the block's full address, the record's key
    uint32_t Size;       // in bytes, as requested
};
// Three 32-bit fields in the 32-bit product; Location widens with the address elsewhere.
static_assert(sizeof(void*) != 4 || sizeof(BlockRecord) == 12, "BlockRecord in a 32-bit process");

class BlockStore {
    struct Shard {
        ShardLock lock;
        // The thread that holds `lock` while it calls out, else 0. Written only by the
        // holder; other threads read it only to learn that it is not theirs.
        std::atomic<uintptr_t> calloutThread{0};
        RecordTable table;
    };

    // Holds a shard's lock for a scope, unless this thread already holds it for a callout.
    class ShardEntry {
    public:
        explicit ShardEntry(Shard& shard) : shard_(shard), taken_(Take(shard)) {}
        ~ShardEntry() {
            if (taken_) shard_.lock.Unlock();
        }
        ShardEntry(const ShardEntry&) = delete;
        ShardEntry& operator=(const ShardEntry&) = delete;
        // False when the lock was not taken because this thread holds it for a callout.
        static bool Take(Shard& shard) { return shard.lock.TryLock() || TakeContended(shard); }
        static bool TakeContended(Shard& shard);

    private:
        Shard& shard_;
        bool taken_;
    };

    // Marks a shard whose lock this thread holds as held for a callout, for a scope. Marks
    // nest: a callout may call into the store, which may call out again; the outermost
    // mark is the one that is taken away.
    class CalloutMark {
    public:
        explicit CalloutMark(Shard& shard) : shard_(shard), marked_(Mark(shard)) {}
        ~CalloutMark() {
            if (marked_) Unmark(shard_);
        }
        CalloutMark(const CalloutMark&) = delete;
        CalloutMark& operator=(const CalloutMark&) = delete;
        // False when an outer callout of this thread marked it already.
        static bool Mark(Shard& shard);
        static void Unmark(Shard& shard) { shard.calloutThread.store(0, std::memory_order_relaxed); }

    private:
        Shard& shard_;
        bool marked_;
    };

public:
    static constexpr int kShardBits = 6;
    static constexpr size_t kShardCount = size_t{1} << kShardBits;

    BlockStore() = default;
    // Discards the records; the blocks they name are not freed.
    ~BlockStore() = default;
    BlockStore(const BlockStore&) = delete;
    BlockStore& operator=(const BlockStore&) = delete;

    // Records the block, replacing a record already under its address (never 0). False
    // when no storage was left for the record: the store then holds what it held before.
    bool InsertOrReplace(const BlockRecord& record);

    // Removes the record of `address` and returns true. When there is none, calls
    // `whenAbsent()` with the lock that guards `address` still held, so that what it writes
    // cannot interleave with a report, and returns false.
    template <class Callout>
    bool RemoveOr(uintptr_t address, Callout&& whenAbsent);

    // Every shard locked, in shard order, for the object's lifetime: no other thread adds or
    // removes a record meanwhile. What the holder writes meanwhile counts as a callout.
    class Frozen {
    public:
        explicit Frozen(BlockStore& store);
        Frozen(const Frozen&) = delete;
        Frozen& operator=(const Frozen&) = delete;

        size_t Count() const;
        // Calls `visit(const BlockRecord&)` for every record, in ascending address order.
        template <class Visit>
        void VisitInOrder(Visit&& visit) const;
        // The same, without the sorted snapshot that VisitInOrder takes from the heap: the
        // walk it falls back on when no snapshot can be had. Slower on large stores.
        template <class Visit>
        void VisitInOrderWithoutSnapshot(Visit&& visit) const;

    private:
        // Every shard's lock, taken in shard order and marked as held for a callout; the
        // marks go before the locks are given back.
        struct AllShardsLocked {
            explicit AllShardsLocked(BlockStore& store);
            ~AllShardsLocked();
            BlockStore& store;
            uint64_t taken = 0;   // bit i: shard i's lock was taken here
            uint64_t marked = 0;  // bit i: shard i was marked here
        };
        using RecordVisit = void (*)(const BlockRecord& record, void* context);
        template <class Visit>
        static void CallVisit(const BlockRecord& record, void* context) {
            (*static_cast<std::remove_reference_t<Visit>*>(context))(record);
        }
        template <class Visit>
        static void* AsContext(Visit& visit) {
            return const_cast<void*>(static_cast<const void*>(&visit));
        }
        void VisitSorted(RecordVisit visit, void* context) const;
        void VisitByRepeatedSelection(RecordVisit visit, void* context) const;
        void FillSnapshot(RecordSlot* snapshot) const;
        const BlockStore& Store() const { return locked_.store; }

        AllShardsLocked locked_;
    };

private:
    // Shards lie this far apart, so that the lock and table header of one never share a
    // cache line with another's, whatever the alignment of the store.
    static constexpr size_t kShardStride = 128;
    static_assert(sizeof(Shard) <= kShardStride - 64, "a shard's hot fields fit in one stride");
    static_assert(kShardCount <= 64, "Frozen keeps one bit per shard");
    struct PaddedShard {
        Shard shard;
        unsigned char padding[kShardStride - sizeof(Shard)];
    };

    // Blocks of one 64 KiB region share a shard: a thread's recent blocks mostly lie
    // together (each thread allocates from a heap area of its own), so threads working on
    // their own blocks seldom meet in a shard. Inline, as it runs in every operation.
    static constexpr int kRegionBits = 16;
    Shard& ShardOf(uintptr_t address) {
        const uint64_t region = static_cast<uint64_t>(address) >> kRegionBits;
        // A multiplier of its own, unrelated to the table's hash, spreads neighbouring regions.
        return ShardAt(static_cast<size_t>((region * 0xD6E8FEB86659FD93ull) >> (64 - kShardBits)));
    }
    Shard& ShardAt(size_t index) { return shards_[index].shard; }
    const Shard& ShardAt(size_t index) const { return shards_[index].shard; }

    PaddedShard shards_[kShardCount];
};

template <class Callout>
bool BlockStore::RemoveOr(uintptr_t address, Callout&& whenAbsent) {
    Shard& shard = ShardOf(address);
    ShardEntry entry(shard);
    if (shard.table.Remove(address)) return true;
    CalloutMark callout(shard);
    whenAbsent();
    return false;
}

template <class Visit>
void BlockStore::Frozen::VisitInOrder(Visit&& visit) const {
    VisitSorted(&CallVisit<Visit>, AsContext(visit));
}

template <class Visit>
void BlockStore::Frozen::VisitInOrderWithoutSnapshot(Visit&& visit) const {
    VisitByRepeatedSelection(&CallVisit<Visit>, AsContext(visit));
}

}  // namespace memalloc
