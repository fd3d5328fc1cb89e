// The component interface shared by separately built modules.
//
// Layout contract, on every target: the first word of a component points to its table of
// operations, one code address per slot, in the slot order declared below. Each operation
// receives the component as its implicit receiver (thiscall on 32-bit Windows). The
// interfaces declare no data and no virtual destructor: a component ends only through its
// own Release, never through delete by its holder.
#pragma once

#include <cstdint>

#include "zorvi/types.h"

namespace zorvi {

class IComponent {
public:
    virtual ComponentId GetComponentID() = 0;         // slot 0
    virtual int32_t GetClassConstant() = 0;           // slot 1
    // force 0 asks for an ordinary release, any other value for a forced one. After a
    // release that deleted the component the pointer must not be used again.
    virtual void Release(int32_t force) = 0;          // slot 2
    virtual int32_t GetFreeMapFlag() = 0;             // slot 3
    virtual void SetFreeMapFlag(int32_t value) = 0;   // slot 4

protected:
    ~IComponent() = default;
};

// Component 3. Its implementation appends Finalize (slot 7) and GetRegistryPath (slot 8).
class IMemoryAllocator : public IComponent {
public:
    // A block of `size` bytes recorded under `creator`, or null (size 0 or no memory).
    virtual void* Alloc(uint32_t creator, uint32_t size) = 0;  // slot 5
    // 1 when the block was returned or pMemory is null; 0 when this allocator did not hand
    // it out (or already took it back): the memory is then left alone.
    virtual int32_t Free(void* pMemory) = 0;                   // slot 6

protected:
    ~IMemoryAllocator() = default;
};

// The interfaces add nothing but the pointer to the table of operations.
static_assert(sizeof(IComponent) == sizeof(void*), "IComponent is one table pointer");
static_assert(sizeof(IMemoryAllocator) == sizeof(void*), "IMemoryAllocator is one table pointer");

// A component class's creation function: the component, or null when it fails.
using CreateFn = IComponent* (*)();

// Slot numbers, for callers that reach operations through the raw table.
namespace slot {
constexpr int kGetComponentID = 0;
constexpr int kGetClassConstant = 1;
constexpr int kRelease = 2;
constexpr int kGetFreeMapFlag = 3;
constexpr int kSetFreeMapFlag = 4;
constexpr int kAlloc = 5;
constexpr int kFree = 6;
constexpr int kFinalize = 7;
constexpr int kGetRegistryPath = 8;
}  // namespace slot

}  // namespace zorvi
