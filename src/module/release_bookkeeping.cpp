#include "module/release_bookkeeping.h"

#include "factory_link/factory_scope.h"
#include "module/live_registry.h"
#include "module/module_state.h"
#include "module/report.h"
#include "zorvi/exports.h"

namespace module {

namespace {
// The factory is foreign code called from a component's release: whatever it throws stays
// here, so that nothing crosses the release.
void NotifyFactoryIdle() {
    try {
        factory_link::IdleNotificationScope scope;
        if (scope.service) scope.service->NotifyModuleIdle(State().moduleHandle);
    } catch (...) {
    }
}
}  // namespace

void UnregisterComponent(const void* component, int32_t notifyFactory) {
    ModuleLockGuard guard;
    LiveComponentRegistry& registry = LiveComponents();
    if (!registry.Remove(component)) {
        ReportModuleError("Zorvi[Error]: To remove a component not exist\n");
        ReportModuleError("Zorvi[Error]: IComponent* = 0x%p\n", component);
    }
    // Also when the address was unknown: nothing records an earlier notification.
    if (registry.Count() == 0 && notifyFactory) NotifyFactoryIdle();
}

}  // namespace module

void ZorviDllFreeMap() {
    module::ModuleLockGuard guard;
    module::LiveComponentRegistry& registry = module::LiveComponents();
    // The next entry is always found again from the noted address, so releases that remove
    // other entries do not disturb the walk; when the current entry itself went away, the
    // walk starts over at the lowest address.
    const module::LiveComponentRecord* current = registry.First();
    while (current) {
        const void* address = current->Pointer;
        zorvi::IComponent* component = current->Pointer;
        if (component->GetFreeMapFlag()) component->Release(0);
        current = registry.Contains(address) ? registry.After(address) : registry.First();
    }
}
