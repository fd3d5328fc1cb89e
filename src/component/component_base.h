// The shared implementation of the module's component classes: identity, the release
// protocol, the free-map flag and the registry-path query, over a class's own interface.
//
// Table of operations: the interface's slots first, then Finalize and GetRegistryPath
// (slots 7 and 8 for the allocator). The destructor is declared after those two on
// purpose: it overrides ChildOwner's, so the Itanium ABI (g++ and mingw) also gives it
// entries in the primary table, at the position of its declaration.
#pragma once

#include <cstdint>

#include "component/child_owner.h"
#include "zorvi/component.h"

namespace component {

// The non-generic steps, kept out of the template.
bool ReleasesAllowed();  // the module's DLL-safe flag is non-zero
// Takes the deleted component's address out of the live registry; the factory hears of
// an idle module unless the component was the ComponentFactory itself.
void UnregisterDeleted(const void* formerAddress, zorvi::ComponentId componentId);
void CopyRegistryPath(const char* preferred, char* out, int32_t outSize);
// Destroying a component that skipped its finalising release, or one that asked not to
// be deleted, is a caller's fault worth stopping for; the destruction then completes.
void BreakIfDestroyedEarly(int32_t needsFinalize, int32_t noDelete);

template <class Interface, zorvi::ComponentId kComponentId, int32_t kClassConstant>
class ComponentBase : public Interface, public ChildOwner {
public:
    zorvi::ComponentId GetComponentID() override { return kComponentId; }
    int32_t GetClassConstant() override { return kClassConstant; }
    void Release(int32_t force) override;
    int32_t GetFreeMapFlag() override { return freeMapFlag; }
    void SetFreeMapFlag(int32_t value) override { freeMapFlag = value; }

    // Runs once, at the first release that takes effect, while the keyed children exist.
    virtual void Finalize() = 0;
    // `preferred` when it is a non-empty text, else the module's registry path, copied
    // whole into `out` or not at all.
    virtual void GetRegistryPath(const char* preferred, char* out, int32_t outSize) {
        CopyRegistryPath(preferred, out, outSize);
    }

    ~ComponentBase() override { BreakIfDestroyedEarly(needsFinalize, noDelete); }

protected:
    ComponentBase() = default;

    int32_t needsFinalize = 1;
    int32_t noDelete = 0;
    int32_t forcedReleaseOnly = 1;
    int32_t freeMapFlag = 0;
};

template <class Interface, zorvi::ComponentId kComponentId, int32_t kClassConstant>
void ComponentBase<Interface, kComponentId, kClassConstant>::Release(int32_t force) {
    if (!ReleasesAllowed()) return;
    if (forcedReleaseOnly && force == 0) return;
    if (needsFinalize) {
        Finalize();
        DeleteKeyedChildren();
        needsFinalize = 0;
    }
    if (noDelete) return;
    // Both read while the object still exists; afterwards the address is only a key.
    const zorvi::ComponentId componentId = this->GetComponentID();
    const void* formerAddress = static_cast<Interface*>(this);
    delete static_cast<ChildOwner*>(this);
    UnregisterDeleted(formerAddress, componentId);
}

}  // namespace component
