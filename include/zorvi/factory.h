// What a factory module offers the memalloc module: its CreateComponent export (same
// signature as the module's own), the ComponentFactory (component 361) and the factory
// service object. Slots not used by the module are declared as reserved so that the
// used ones keep their numbers.
#pragma once

#include <cstdint>

#include "zorvi/component.h"
#include "zorvi/log_channel.h"

namespace zorvi {

// The factory's service object, a component with further operations.
class IFactoryService : public IComponent {
public:
    virtual int32_t ReservedSlot5() = 0;                           // slot 5
    virtual int32_t ReservedSlot6() = 0;                           // slot 6
    virtual int32_t RegisterSingleton(IComponent* singleton) = 0;  // slot 7
    virtual int32_t ReservedSlot8() = 0;                           // slot 8
    virtual int32_t ReservedSlot9() = 0;                           // slot 9
    virtual int32_t NotifyModuleIdle(ModuleHandle module) = 0;     // slot 10

protected:
    ~IFactoryService() = default;
};

// Component 361 of the factory module.
class IComponentFactory : public IComponent {
public:
    // The service object for `componentId` (361), or null.
    virtual IFactoryService* GetFactoryService(ComponentId componentId,
                                               const char* registryPath) = 0;  // slot 5
    // May fill `channel` (whose address is also that of its debugOutput) and `*fileOutput`;
    // a non-null *target on return hands over the log file and its lock, which must stay
    // valid while the channel is used.
    virtual int32_t ConfigureLogChannel(const char* registryPath, ComponentId ownerId,
                                        LogChannel* channel, int32_t* fileOutput,
                                        LogTarget** target) = 0;  // slot 6

protected:
    ~IComponentFactory() = default;
};

namespace slot {
constexpr int kGetFactoryService = 5;
constexpr int kConfigureLogChannel = 6;
constexpr int kRegisterSingleton = 7;
constexpr int kNotifyModuleIdle = 10;
}  // namespace slot

}  // namespace zorvi
