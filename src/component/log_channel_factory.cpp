// Configuration of a channel by a factory module that is already loaded in the process.
#include "component/log_channel.h"

#include "module/module_state.h"
#include "zorvi/exports.h"

namespace component {

void ComponentLogChannel::ConfigureFromFactory(zorvi::ComponentId ownerId) {
    if (zorvi::IComponentFactory* factory = FindLoadedFactory()) ConfigureWith(factory, ownerId);
}

void ComponentLogChannel::ConfigureWith(zorvi::IComponentFactory* factory, zorvi::ComponentId ownerId) {
    zorvi::LogTarget* target = nullptr;
    factory->ConfigureLogChannel(module::State().registryPath, ownerId, &record_,
                                 &record_.fileOutput, &target);
    if (!target) return;
    // The pair holds the lock first, the record the handle first.
    record_.fileLock = target->fileLock;
    record_.file = target->file;
}

zorvi::IComponentFactory* ComponentLogChannel::FindLoadedFactory() {
    return FactoryFromModule(platform::FindLoadedModule(kFactoryFileName));
}

zorvi::IComponentFactory* ComponentLogChannel::FactoryFromModule(platform::ModuleHandle module) {
    if (!module) return nullptr;
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(
        platform::FindExport(module, "CreateComponent"));
    if (!create) {
        platform::DebugOutput("Can't find CreateComponent() in ZorFact.dll or ZorFact.dll is missed\n");
        return nullptr;
    }
    zorvi::IComponent* factory = create(zorvi::kComponentFactoryId, 0);
    if (!factory) platform::DebugOutput("Invoke CreateComponent() in ZorFact.dll return null.\n");
    return static_cast<zorvi::IComponentFactory*>(factory);
}

}  // namespace component
