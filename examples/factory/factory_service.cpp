#include "factory_service.h"

#include <string>

#include "journal.h"

namespace zorfact {

zorvi::ComponentId FactoryService::GetComponentID() { return zorvi::kComponentFactoryId; }
int32_t FactoryService::GetClassConstant() { return 1; }

void FactoryService::Release(int32_t force) { JournalLine("Release " + std::to_string(force)); }

int32_t FactoryService::GetFreeMapFlag() { return freeMapFlag_.load(); }

void FactoryService::SetFreeMapFlag(int32_t value) {
    freeMapFlag_.store(value);
    JournalLine("SetFreeMapFlag " + std::to_string(value));
}

int32_t FactoryService::ReservedSlot5() { return 0; }
int32_t FactoryService::ReservedSlot6() { return 0; }
int32_t FactoryService::ReservedSlot8() { return 0; }
int32_t FactoryService::ReservedSlot9() { return 0; }

int32_t FactoryService::RegisterSingleton(zorvi::IComponent* singleton) {
    JournalLine("RegisterSingleton " + AddressText(singleton));
    return 0;
}

int32_t FactoryService::NotifyModuleIdle(zorvi::ModuleHandle module) {
    JournalLine("NotifyModuleIdle " + AddressText(module));
    return 0;
}

FactoryService& Service() {
    static FactoryService service;
    return service;
}

}  // namespace zorfact
