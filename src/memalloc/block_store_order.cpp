// The records in ascending address order, for the leak report. The tables keep them in
// hash order; the order is made only here, with every shard locked.
#include <algorithm>
#include <new>

#include "memalloc/block_store.h"

namespace memalloc {

namespace {

// Records per pass of the allocation-free walk: 4 KiB of stack on 64-bit targets.
constexpr size_t kSelectionBatch = 256;

bool ByAddress(const RecordSlot& a, const RecordSlot& b) { return a.address < b.address; }

BlockRecord ToRecord(const RecordSlot& slot) { return BlockRecord{slot.creator, slot.address, slot.size}; }

}  // namespace

void BlockStore::Frozen::VisitSorted(RecordVisit visit, void* context) const {
    const size_t count = Count();
    if (count == 0) return;
    RecordSlot* snapshot = nullptr;
    if (count <= SIZE_MAX / sizeof(RecordSlot))
        snapshot = static_cast<RecordSlot*>(::operator new(count * sizeof(RecordSlot), std::nothrow));
    if (!snapshot) {
        VisitByRepeatedSelection(visit, context);
        return;
    }
    // Copied before the first visit: a visit that calls back into the store on this thread
    // changes the tables, not the snapshot.
    FillSnapshot(snapshot);
    std::sort(snapshot, snapshot + count, ByAddress);
    for (size_t i = 0; i < count; ++i) visit(ToRecord(snapshot[i]), context);
    ::operator delete(snapshot);
}

void BlockStore::Frozen::FillSnapshot(RecordSlot* snapshot) const {
    for (size_t s = 0; s < kShardCount; ++s) {
        const RecordTable& table = Store().ShardAt(s).table;
        const RecordSlot* slots = table.Slots();
        for (size_t i = 0; i < table.Capacity(); ++i)
            if (slots[i].address != 0) *snapshot++ = slots[i];
    }
}

// Each pass scans every table for the smallest addresses above the last one visited,
// keeping at most a batch of them in a max-heap on the stack, then visits the batch in
// order. Needs no heap; costs one scan of the tables per batch.
void BlockStore::Frozen::VisitByRepeatedSelection(RecordVisit visit, void* context) const {
    RecordSlot batch[kSelectionBatch];
    uintptr_t above = 0;  // no record lives at address 0
    for (;;) {
        size_t held = 0;
        for (size_t s = 0; s < kShardCount; ++s) {
            const RecordTable& table = Store().ShardAt(s).table;
            const RecordSlot* slots = table.Slots();
            for (size_t i = 0; i < table.Capacity(); ++i) {
                const RecordSlot& slot = slots[i];
                if (slot.address <= above) continue;
                if (held < kSelectionBatch) {
                    batch[held++] = slot;
                    std::push_heap(batch, batch + held, ByAddress);
                } else if (slot.address < batch[0].address) {
                    std::pop_heap(batch, batch + held, ByAddress);
                    batch[held - 1] = slot;
                    std::push_heap(batch, batch + held, ByAddress);
                }
            }
        }
        if (held == 0) return;
        std::sort_heap(batch, batch + held, ByAddress);
        // The batch is a copy: visits may change the tables before the next pass scans them.
        for (size_t i = 0; i < held; ++i) visit(ToRecord(batch[i]), context);
        above = batch[held - 1].address;
    }
}

}  // namespace memalloc
