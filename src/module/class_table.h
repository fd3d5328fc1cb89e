// The component classes the module carries: rows appended by static start-up, never
// changed or removed afterwards.
#pragma once

#include <cstdint>

#include "zorvi/component.h"

namespace module {

struct ComponentClassEntry {
    zorvi::ComponentId componentId;  // never 0
    zorvi::CreateFn createFn;        // never null
};
static_assert(sizeof(ComponentClassEntry) == (sizeof(void*) == 4 ? 8 : 16), "row layout");

class ComponentClassTable {
public:
    static constexpr int32_t kCapacity = 512;

    // Appends a row; ignored without a message for ID 0, a null function or a full table.
    // An ID already present gets a second row.
    void Register(zorvi::ComponentId componentId, zorvi::CreateFn createFn);
    // The function of the first row with this ID, or null.
    zorvi::CreateFn Find(zorvi::ComponentId componentId) const;
    // Writes the IDs of rows 0 .. min(count, capacity) - 1; returns the row count. A null
    // `ids` only counts.
    int32_t ListIds(zorvi::ComponentId* ids, uint32_t capacity) const;
    int32_t Count() const { return classCount_; }

private:
    int32_t classCount_;
    ComponentClassEntry entries_[kCapacity];
};

// The module's table, guarded by the module lock.
void RegisterComponentClass(zorvi::ComponentId componentId, zorvi::CreateFn createFn);
zorvi::CreateFn FindComponentClass(zorvi::ComponentId componentId);

}  // namespace module
