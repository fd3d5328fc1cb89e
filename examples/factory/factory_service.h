// The factory service object: hears about the singletons and the idle state of the component
// modules. This reference factory records what it hears and acts on nothing.
#pragma once

#include <atomic>

#include "zorvi/factory.h"

namespace zorfact {

class FactoryService final : public zorvi::IFactoryService {
public:
    zorvi::ComponentId GetComponentID() override;
    int32_t GetClassConstant() override;
    // The one service lives as long as the factory module: a release is only recorded.
    void Release(int32_t force) override;
    int32_t GetFreeMapFlag() override;
    void SetFreeMapFlag(int32_t value) override;
    int32_t ReservedSlot5() override;
    int32_t ReservedSlot6() override;
    int32_t RegisterSingleton(zorvi::IComponent* singleton) override;
    int32_t ReservedSlot8() override;
    int32_t ReservedSlot9() override;
    int32_t NotifyModuleIdle(zorvi::ModuleHandle module) override;

private:
    std::atomic<int32_t> freeMapFlag_{0};
};

FactoryService& Service();

}  // namespace zorfact
