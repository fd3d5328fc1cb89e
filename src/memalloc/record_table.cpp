#include "memalloc/record_table.h"

#include <cstring>
#include <new>

namespace memalloc {

namespace {

constexpr size_t kMinCapacity = 16;
// Tables at least this large give storage back when most of their records went: smaller
// ones keep it, so that a batch allocated and freed over and over never resizes them.
constexpr size_t kShrinkFloor = 4096;

// At most four records in five slots: linear probing stays short, and a record costs at
// most 16 / (0.8 / 1.5) = 30 bytes on 64-bit targets right after the table grew by half.
size_t MaxCountFor(size_t capacity) { return capacity - capacity / 5; }
size_t GrownCapacity(size_t capacity) { return capacity ? capacity + capacity / 2 : kMinCapacity; }

}  // namespace

void* SlotStorageFromHeap(size_t bytes) { return ::operator new(bytes, std::nothrow); }

RecordTable::~RecordTable() { ::operator delete(slots_); }

bool RecordTable::InsertOrReplace(const RecordSlot& record) {
    // Growing is needed only for a new address; a replacement never fails for want of storage.
    if (count_ + 1 > MaxCountFor(capacity_) && !Contains(record.address) &&
        !Resize(GrownCapacity(capacity_)))
        return false;
    RecordSlot& slot = slots_[Probe(record.address)];
    if (slot.address == 0) ++count_;
    slot = record;
    return true;
}

bool RecordTable::Remove(uintptr_t address) {
    if (capacity_ == 0) return false;
    size_t hole = Probe(address);
    if (slots_[hole].address == 0) return false;
    // Records further along the run move back into the hole unless that would put them
    // before their home slot, where a probe for them would never look (Knuth's algorithm R).
    for (size_t next = Next(hole); slots_[next].address != 0; next = Next(next)) {
        const size_t home = HomeOf(slots_[next].address);
        const bool homeInRun = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (homeInRun) continue;
        slots_[hole] = slots_[next];
        hole = next;
    }
    slots_[hole].address = 0;
    --count_;
    ShrinkIfSparse();
    return true;
}

bool RecordTable::Resize(size_t newCapacity) {
    // HomeOf maps a 32-bit mix onto the capacity.
    if (newCapacity > UINT32_MAX || newCapacity > SIZE_MAX / sizeof(RecordSlot)) return false;
    const size_t bytes = newCapacity * sizeof(RecordSlot);
    auto* fresh = static_cast<RecordSlot*>(source_(bytes));
    if (!fresh) return false;
    memset(fresh, 0, bytes);

    RecordSlot* old = slots_;
    const size_t oldCapacity = capacity_;
    slots_ = fresh;
    capacity_ = newCapacity;
    for (size_t i = 0; i < oldCapacity; ++i)
        if (old[i].address != 0) slots_[Probe(old[i].address)] = old[i];
    ::operator delete(old);
    return true;
}

void RecordTable::ShrinkIfSparse() {
    if (capacity_ < kShrinkFloor || count_ >= capacity_ / 8) return;
    // Two and a half slots per record, well clear of both this threshold and the growth
    // one, so that the table does not swing between them. When no storage is left for the
    // smaller array, the table simply stays as it is.
    const size_t target = count_ + count_ + count_ / 2;
    Resize(target > kMinCapacity ? target : kMinCapacity);
}

}  // namespace memalloc
