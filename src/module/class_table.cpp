#include "module/class_table.h"

#include "module/module_state.h"
#include "zorvi/exports.h"

namespace module {

namespace {
// Zero at load: no constructor runs, so the registration made by static start-up finds a
// valid empty table whatever the order of initialisation.
ComponentClassTable g_classTable;
}  // namespace

void ComponentClassTable::Register(zorvi::ComponentId componentId, zorvi::CreateFn createFn) {
    if (classCount_ >= kCapacity || componentId == 0 || !createFn) return;
    entries_[classCount_] = ComponentClassEntry{componentId, createFn};
    ++classCount_;
}

zorvi::CreateFn ComponentClassTable::Find(zorvi::ComponentId componentId) const {
    for (int32_t row = 0; row < classCount_; ++row)
        if (entries_[row].componentId == componentId) return entries_[row].createFn;
    return nullptr;
}

int32_t ComponentClassTable::ListIds(zorvi::ComponentId* ids, uint32_t capacity) const {
    if (ids) {
        for (int32_t row = 0; row < classCount_ && static_cast<uint32_t>(row) < capacity; ++row)
            ids[row] = entries_[row].componentId;
    }
    return classCount_;
}

void RegisterComponentClass(zorvi::ComponentId componentId, zorvi::CreateFn createFn) {
    ModuleLockGuard guard;
    g_classTable.Register(componentId, createFn);
}

zorvi::CreateFn FindComponentClass(zorvi::ComponentId componentId) {
    ModuleLockGuard guard;
    return g_classTable.Find(componentId);
}

}  // namespace module

int32_t GetComponentIDs(zorvi::ComponentId* ids, uint32_t capacity) {
    module::ModuleLockGuard guard;
    return module::g_classTable.ListIds(ids, capacity);
}
