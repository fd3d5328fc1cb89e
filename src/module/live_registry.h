// The live components: one record per address, created through CreateComponent and not yet
// unregistered. The registry holds addresses only and never releases what it records.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>

#include "zorvi/component.h"

namespace module {

struct LiveComponentRecord {
    zorvi::ComponentId ComponentID;
    zorvi::CreatorId CreatorID;
    zorvi::IComponent* Pointer;  // always equal to the entry's key
};
static_assert(sizeof(LiveComponentRecord) == (sizeof(void*) == 4 ? 12 : 16), "record layout");

class LiveComponentRegistry {
public:
    using Map = std::map<uintptr_t, LiveComponentRecord>;  // ascending address order

    // Records the component; an address already present keeps its entry and takes the new
    // record. Throws std::bad_alloc when no storage is left, changing nothing.
    void Record(const LiveComponentRecord& record);
    // Removes the entry; false when there was none.
    bool Remove(const void* component);
    bool Contains(const void* component) const;
    const LiveComponentRecord* Find(const void* component) const;
    // The entry with the lowest address, and the one after `address`; null when none.
    const LiveComponentRecord* First() const;
    const LiveComponentRecord* After(const void* component) const;

    // Readable without the module lock; a snapshot that may be out of date at once.
    int32_t Count() const { return count_.load(std::memory_order_acquire); }
    const Map& Entries() const { return entries_; }

private:
    void UpdateCount() { count_.store(static_cast<int32_t>(entries_.size()), std::memory_order_release); }

    Map entries_;
    std::atomic<int32_t> count_{0};
};

// The module's registry, guarded by the module lock.
LiveComponentRegistry& LiveComponents();

// "Zorvi[Error]" report of every entry, in ascending address order; changes nothing.
void WriteLeakReport(const LiveComponentRegistry& registry);
// The report over the module's registry, under the module lock (run at process detach).
void ReportLeakedComponents();

}  // namespace module
