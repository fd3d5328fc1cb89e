// The records of one block-store shard: an open-addressing hash table keyed by the block's
// address, with linear probing and no tombstones (a removal shifts the records behind it
// back). A record takes one slot of the table's array, with no heap node of its own:
// 16 bytes on 64-bit targets, 12 on 32-bit ones.
//
// Not thread-safe: the shard's lock guards it. Never throws: storage that cannot be had is
// reported as a false result, and the table is then unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace memalloc {

// One record; the address is the key, and 0 marks a free slot (no block lives at 0).
struct RecordSlot {
    uintptr_t address;
    uint32_t creator;
    uint32_t size;
};

// Where the table's slot arrays come from: the global allocation (::operator new, which
// tests replace to inject failures), unless a test hands the table another source.
using SlotStorageSource = void* (*)(size_t bytes);  // null when there is none
void* SlotStorageFromHeap(size_t bytes);

class RecordTable {
public:
    explicit RecordTable(SlotStorageSource source = &SlotStorageFromHeap) : source_(source) {}
    ~RecordTable();
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;

    // Stores the record under its address, replacing the record already there. False when
    // the table had to grow and no storage was left; it then holds what it held before.
    bool InsertOrReplace(const RecordSlot& record);
    // Removes the record of `address`; false when there is none.
    bool Remove(uintptr_t address);
    size_t Count() const { return count_; }
    // The slot array and its length, for walks over every record; free slots have
    // address 0. Valid until the next insertion or removal.
    const RecordSlot* Slots() const { return slots_; }
    size_t Capacity() const { return capacity_; }

private:
    // Inline: they run several times per operation, and a function of a shared library
    // that is not inline is called, not inlined, by the library's own code.
    size_t HomeOf(uintptr_t address) const {
        // Fibonacci hashing spreads neighbouring blocks over the whole table; the
        // multiply-shift then maps the 32-bit mix onto a capacity of any size.
        const uint32_t mix = static_cast<uint32_t>((static_cast<uint64_t>(address) * 0x9E3779B97F4A7C15ull) >> 32);
        return static_cast<size_t>((static_cast<uint64_t>(mix) * capacity_) >> 32);
    }
    size_t Next(size_t index) const { return index + 1 == capacity_ ? 0 : index + 1; }
    // The slot holding `address`, or the free slot where the probe for it ended.
    size_t Probe(uintptr_t address) const {
        size_t index = HomeOf(address);
        while (slots_[index].address != 0 && slots_[index].address != address) index = Next(index);
        return index;
    }
    bool Contains(uintptr_t address) const { return capacity_ && slots_[Probe(address)].address; }
    bool Resize(size_t newCapacity);
    void ShrinkIfSparse();

    SlotStorageSource source_;
    RecordSlot* slots_ = nullptr;
    size_t capacity_ = 0;
    size_t count_ = 0;
};

}  // namespace memalloc
