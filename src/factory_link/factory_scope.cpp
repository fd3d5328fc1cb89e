#include "factory_link/factory_scope.h"

#include "module/module_state.h"

namespace factory_link {

namespace {

// The factory's operations are foreign code; a scope is built and ended in code that must
// not see an exception, so one out of the factory counts as the operation's failure.
zorvi::IFactoryService* RequestService(zorvi::IComponentFactory* factory, const char* registryPath) {
    try {
        return factory->GetFactoryService(zorvi::kComponentFactoryId, registryPath);
    } catch (...) {
        return nullptr;
    }
}

void MarkForFreeMap(zorvi::IFactoryService* service, int32_t freeMapFlag) {
    try {
        service->SetFreeMapFlag(freeMapFlag);
    } catch (...) {
    }
}

void ReleaseService(zorvi::IFactoryService* service) {
    try {
        service->Release(0);
    } catch (...) {
    }
}
}  // namespace

FactoryScope::FactoryScope(int32_t freeMapFlag) {
    const char* registryPath = module::State().registryPath;
    OpenFactory(registryPath);
    if (!factory) return;
    service = RequestService(factory, registryPath);
    if (service) MarkForFreeMap(service, freeMapFlag);
}

void FactoryScope::OpenFactory(const char* hint) {
    platform::ModuleHandle factoryModule = LoadFactoryModule(hint);
    if (!factoryModule) {
        ReportLinkError("[Zorvi_Error] Load ZorFact.dll Fail.\n");
        return;
    }
    // The ComponentFactory is the factory module's own object: the scope never releases it.
    factory = static_cast<zorvi::IComponentFactory*>(CreateFromModule(factoryModule, zorvi::kComponentFactoryId));
    if (!factory) ReportLinkError("[Zorvi_Error] Create ComponentFactory in ZorFact.dll Fail\n");
}

SingletonRegistrationScope::~SingletonRegistrationScope() {
    if (!service) return;
    ReleaseService(service);
    service = nullptr;
}

}  // namespace factory_link
