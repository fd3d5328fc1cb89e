// The ComponentFactory (component 361) of the reference factory module: hands out the
// factory service and configures the log channels of component modules.
#pragma once

#include <atomic>

#include "zorvi/factory.h"

namespace zorfact {

class ComponentFactory final : public zorvi::IComponentFactory {
public:
    zorvi::ComponentId GetComponentID() override;
    int32_t GetClassConstant() override;
    // The one factory lives as long as the module: a release is only recorded.
    void Release(int32_t force) override;
    int32_t GetFreeMapFlag() override;
    void SetFreeMapFlag(int32_t value) override;
    // The service for 361; null for any other ID.
    zorvi::IFactoryService* GetFactoryService(zorvi::ComponentId componentId,
                                              const char* registryPath) override;
    // Fills the outputs and the name from section "Log" of the configuration file; hands
    // over the shared log file when file output is on and the file is open. Returns 1 when
    // the channel was filled, 0 for a null channel.
    int32_t ConfigureLogChannel(const char* registryPath, zorvi::ComponentId ownerId,
                                zorvi::LogChannel* channel, int32_t* fileOutput,
                                zorvi::LogTarget** target) override;

private:
    std::atomic<int32_t> freeMapFlag_{0};
};

ComponentFactory& Factory();

}  // namespace zorfact
