#include "module/live_registry.h"

#include "module/module_state.h"
#include "module/report.h"
#include "platform/address_text.h"

namespace module {

namespace {
uintptr_t Key(const void* component) { return reinterpret_cast<uintptr_t>(component); }

// The first of the module's two static initialisers (the class registration is the second,
// at the next priority): constructed before any other static object of the module, its
// destruction queued in the at-exit list that runs after process detach.
__attribute__((init_priority(200))) LiveComponentRegistry g_liveComponents;
}  // namespace

void LiveComponentRegistry::Record(const LiveComponentRecord& record) {
    // operator[] may throw before anything is inserted; the assignment cannot throw.
    entries_[Key(record.Pointer)] = record;
    UpdateCount();
}

bool LiveComponentRegistry::Remove(const void* component) {
    bool removed = entries_.erase(Key(component)) > 0;
    UpdateCount();
    return removed;
}

bool LiveComponentRegistry::Contains(const void* component) const {
    return entries_.count(Key(component)) > 0;
}

const LiveComponentRecord* LiveComponentRegistry::Find(const void* component) const {
    auto found = entries_.find(Key(component));
    return found == entries_.end() ? nullptr : &found->second;
}

const LiveComponentRecord* LiveComponentRegistry::First() const {
    return entries_.empty() ? nullptr : &entries_.begin()->second;
}

const LiveComponentRecord* LiveComponentRegistry::After(const void* component) const {
    auto next = entries_.upper_bound(Key(component));
    return next == entries_.end() ? nullptr : &next->second;
}

LiveComponentRegistry& LiveComponents() { return g_liveComponents; }

void WriteLeakReport(const LiveComponentRegistry& registry) {
    int32_t count = static_cast<int32_t>(registry.Entries().size());
    if (count == 0) return;
    static const char kSeparator[] =
        "Zorvi[Error]:=================================================================\n";
    ReportModuleError("%s", kSeparator);
    ReportModuleError("Zorvi[Error]:Found leak Zorvi components. Count:%d\n", count);
    for (const auto& entry : registry.Entries()) {
        const LiveComponentRecord& record = entry.second;
        ReportModuleError("Zorvi[Error]:ComponentID:0x%08x CreatorID:0x%08x Pointer:0x" ZORVI_ADDRESS_HEX "\n",
                          static_cast<unsigned>(record.ComponentID), record.CreatorID,
                          platform::AddressValue(record.Pointer));
    }
    ReportModuleError("%s", kSeparator);
}

void ReportLeakedComponents() {
    ModuleLockGuard guard;
    WriteLeakReport(g_liveComponents);
}

}  // namespace module
