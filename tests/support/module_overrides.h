// Scoped changes of the module state that tests make through the module's own setters,
// each put back as it was when the scope ends.
#pragma once

#include <string>

#include "module/module_state.h"
#include "platform/platform.h"
#include "zorvi/exports.h"

namespace testsupport {

class FactoryHandleOverride {
public:
    explicit FactoryHandleOverride(zorvi::ModuleHandle handle)
        : saved_(module::State().factoryModule.load()) {
        SetFactoryHandle(handle);
    }
    ~FactoryHandleOverride() { SetFactoryHandle(saved_); }
    FactoryHandleOverride(const FactoryHandleOverride&) = delete;
    FactoryHandleOverride& operator=(const FactoryHandleOverride&) = delete;

private:
    zorvi::ModuleHandle saved_;
};

class DllSafeOverride {
public:
    explicit DllSafeOverride(int32_t safe) : saved_(module::State().dllSafe.load()) {
        ZorviSetDllSafe(safe);
    }
    ~DllSafeOverride() { ZorviSetDllSafe(saved_); }
    DllSafeOverride(const DllSafeOverride&) = delete;
    DllSafeOverride& operator=(const DllSafeOverride&) = delete;

private:
    int32_t saved_;
};

class RegistryPathOverride {
public:
    explicit RegistryPathOverride(const char* path) : saved_(module::State().registryPath) {
        SetDLLRegistry(path);
    }
    ~RegistryPathOverride() { SetDLLRegistry(saved_.c_str()); }
    RegistryPathOverride(const RegistryPathOverride&) = delete;
    RegistryPathOverride& operator=(const RegistryPathOverride&) = delete;

private:
    std::string saved_;
};

}  // namespace testsupport
