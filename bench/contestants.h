// The three contestants of the allocation benchmark. The harness calls each through its
// own concrete type, so every contestant is called as its users call it:
//   raw        the C runtime's malloc/free, called directly: the floor;
//   textbook   one ordered map under one lock, written here: the baseline;
//   memalloc   the module's allocator, created through the loaded module's CreateComponent
//              and called through its table of operations, as a host calls it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

#include "zorvi/component.h"

namespace bench {

// Keeps the compiler from proving a block unused and dropping a malloc/free pair.
inline void Escape(void* p) { asm volatile("" : : "r"(p) : "memory"); }

class RawContestant {
public:
    const char* Name() const { return "raw"; }
    void* Alloc(uint32_t, uint32_t size) {
        void* block = malloc(size);
        Escape(block);
        return block;
    }
    int32_t Free(void* block) {
        Escape(block);
        free(block);
        return 1;
    }
};

class TextbookContestant {
public:
    const char* Name() const { return "textbook"; }
    void* Alloc(uint32_t creator, uint32_t size) {
        void* block = malloc(size);
        if (!block) return nullptr;
        std::lock_guard<std::mutex> guard(lock_);
        records_[reinterpret_cast<uintptr_t>(block)] = Record{creator, reinterpret_cast<uintptr_t>(block), size};
        return block;
    }
    int32_t Free(void* block) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = records_.find(reinterpret_cast<uintptr_t>(block));
        if (found == records_.end()) return block ? 0 : 1;
        free(block);
        records_.erase(found);
        return 1;
    }

private:
    struct Record {
        uint32_t creator;
        uintptr_t location;
        uint32_t size;
    };
    std::mutex lock_;
    std::map<uintptr_t, Record> records_;
};

class ModuleContestant {
public:
    explicit ModuleContestant(zorvi::IMemoryAllocator* allocator) : allocator_(allocator) {}
    const char* Name() const { return "memalloc"; }
    // The pointer came from another module: the call always goes through the table.
    void* Alloc(uint32_t creator, uint32_t size) { return allocator_->Alloc(creator, size); }
    int32_t Free(void* block) { return allocator_->Free(block); }

private:
    zorvi::IMemoryAllocator* allocator_;
};

}  // namespace bench
