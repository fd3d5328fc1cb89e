// Class 3 joins the module's class table during static start-up: after the live registry
// (init priority 200) is constructed and before the entry point's process attach.
#include "memalloc/create_memory_allocator.h"
#include "module/class_table.h"

namespace memalloc {

namespace {
struct MemoryAllocatorClassRegistration {
    MemoryAllocatorClassRegistration() {
        module::RegisterComponentClass(zorvi::kMemoryAllocatorId, &CreateMemoryAllocator);
    }
};
__attribute__((init_priority(201))) MemoryAllocatorClassRegistration g_registration;
}  // namespace

}  // namespace memalloc
