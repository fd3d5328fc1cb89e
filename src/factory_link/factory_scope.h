// Reaching the framework's factory: the factory module, its ComponentFactory (component
// 361) and the factory service object, bundled in short-lived scopes around one call.
#pragma once

#include "platform/platform.h"
#include "zorvi/factory.h"

namespace factory_link {

// "[Zorvi_Error]" messages on the debugger output; at most 1022 characters.
void ReportLinkError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The module's CreateComponent export called with (componentId, 0), or null (reported).
zorvi::IComponent* CreateFromModule(platform::ModuleHandle module, zorvi::ComponentId componentId);
// The handle set by SetFactoryHandle, else the factory module loaded from the path that
// the configuration reached from `hint` names; null when loading fails.
platform::ModuleHandle LoadFactoryModule(const char* hint);

// Construction obtains the ComponentFactory and its service as far as it can; users make
// their one call only when `service` is non-null. Never copied.
class FactoryScope {
public:
    FactoryScope(const FactoryScope&) = delete;
    FactoryScope& operator=(const FactoryScope&) = delete;
    virtual ~FactoryScope() = default;

    zorvi::IFactoryService* service = nullptr;
    zorvi::IComponentFactory* factory = nullptr;

protected:
    // `freeMapFlag` is handed to the service's SetFreeMapFlag once it is obtained.
    explicit FactoryScope(int32_t freeMapFlag);

private:
    void OpenFactory(const char* hint);
};

// For the idle notification; its end releases nothing.
class IdleNotificationScope : public FactoryScope {
public:
    IdleNotificationScope() : FactoryScope(1) {}
};

// For a singleton's registration; its end releases the service with Release(0).
class SingletonRegistrationScope : public FactoryScope {
public:
    SingletonRegistrationScope() : FactoryScope(0) {}
    ~SingletonRegistrationScope() override;
};

}  // namespace factory_link
