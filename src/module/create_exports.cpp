// The exports that create components and answer questions about the live registry.
#include <new>

#include "module/class_table.h"
#include "module/live_registry.h"
#include "module/module_state.h"
#include "module/report.h"
#include "zorvi/exports.h"

namespace {

// Records the new component; false (and the registry unchanged) when no storage is left.
bool RecordLiveComponent(zorvi::IComponent* component, zorvi::ComponentId componentId,
                         zorvi::CreatorId creatorId) {
    module::ModuleLockGuard guard;
    try {
        module::LiveComponents().Record(module::LiveComponentRecord{componentId, creatorId, component});
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Calls the class's creation function; an exception out of it counts as a null result, so
// that none crosses the export.
zorvi::IComponent* CallCreateFn(zorvi::CreateFn create) {
    try {
        return create();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

zorvi::IComponent* CreateComponent(zorvi::ComponentId componentId, zorvi::CreatorId creatorId) {
    using module::ReportModuleError;
    zorvi::IComponent* component = nullptr;
    zorvi::CreateFn create = module::FindComponentClass(componentId);
    if (!create) {
        ReportModuleError("Zorvi[Error]: Can't find the factory method of Component\n");
    } else if (!(component = CallCreateFn(create))) {  // outside the module lock: it may call back in
        ReportModuleError("Zorvi[Error]:CreateComponent method return NULL.\n");
    } else if (!RecordLiveComponent(component, componentId, creatorId)) {
        // The component itself stays as its class left it; only its record is missing, so
        // it is not handed out as if it were tracked.
        ReportModuleError("Zorvi[Error]: No memory to record the component in the live registry.\n");
        component = nullptr;
    } else {
        return component;
    }
    ReportModuleError("Zorvi[Error]: ComponentID=%d CreatorID=%u", componentId, creatorId);
    return nullptr;
}

int32_t ZorviDllCanUnloadNow() { return module::LiveComponents().Count() == 0 ? 1 : 0; }
