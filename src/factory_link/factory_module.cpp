// Finding the factory module and asking its CreateComponent export for a component.
#include <cstring>

#include "factory_link/config_resolution.h"
#include "factory_link/factory_scope.h"
#include "factory_link/host_directory.h"
#include "module/module_state.h"
#include "zorvi/exports.h"

namespace factory_link {

zorvi::IComponent* CreateFromModule(platform::ModuleHandle module, zorvi::ComponentId componentId) {
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(module, "CreateComponent"));
    if (!create) {
        ReportLinkError("[Zorvi_Error] Can't find CreateComponent().\n");
        return nullptr;
    }
    zorvi::IComponent* component = nullptr;
    // The export is foreign code: an exception out of it counts as a null result, as one
    // out of the module's own creation functions does.
    try {
        component = create(componentId, 0);
    } catch (...) {
        component = nullptr;
    }
    if (!component)
        ReportLinkError("[Zorvi_Error] CreateComponent(ComponentId=%u) return null.\n",
                        static_cast<unsigned>(componentId));
    return component;
}

platform::ModuleHandle LoadFactoryModule(const char* hint) {
    // Trusted as it stands: the host that handed it over vouches for it.
    if (platform::ModuleHandle handedOver = module::State().factoryModule.load()) return handedOver;
    char configFile[kPathBufferSize];
    memset(configFile, 0, sizeof configFile);
    ResolveConfigFile(hint, configFile, kPathBufferSize);
    char factoryPath[kPathBufferSize];
    memset(factoryPath, 0, sizeof factoryPath);
    ResolveFactoryPath(configFile, factoryPath, kPathBufferSize);
    // The resolution's outcome is not examined: at worst the path names a directory, which
    // fails to load and is reported by the caller.
    return platform::LoadModule(factoryPath);
}

}  // namespace factory_link
