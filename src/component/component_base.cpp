#include "component/component_base.h"

#include "factory_link/bounded_string.h"
#include "module/module_state.h"
#include "module/release_bookkeeping.h"
#include "platform/platform.h"

namespace component {

bool ReleasesAllowed() { return module::State().dllSafe.load() != 0; }

void UnregisterDeleted(const void* formerAddress, zorvi::ComponentId componentId) {
    const int32_t notifyFactory = componentId != zorvi::kComponentFactoryId ? 1 : 0;
    module::UnregisterComponent(formerAddress, notifyFactory);
}

void CopyRegistryPath(const char* preferred, char* out, int32_t outSize) {
    const char* source = (preferred && preferred[0]) ? preferred : module::State().registryPath;
    if (!out || outSize <= 0) return;
    // Refuses a source that does not fit and leaves `out` as it was; nobody needs the code.
    factory_link::kStringFunctions.SafeCopy(out, outSize, source);
}

void BreakIfDestroyedEarly(int32_t needsFinalize, int32_t noDelete) {
    if (needsFinalize || noDelete) platform::BreakIntoDebugger();
}

}  // namespace component
