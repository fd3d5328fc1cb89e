// The three contestants of the allocation benchmark, behind one small interface:
//   raw        the C runtime's malloc/free: the floor;
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

class Contestant {
public:
    virtual ~Contestant() = default;
    virtual const char* Name() const = 0;
    virtual void* Alloc(uint32_t creator, uint32_t size) = 0;
    virtual int32_t Free(void* block) = 0;
};

class RawContestant final : public Contestant {
public:
    const char* Name() const override { return "raw"; }
    void* Alloc(uint32_t, uint32_t size) override {
        void* block = malloc(size);
        Escape(block);
        return block;
    }
    int32_t Free(void* block) override {
        Escape(block);
        free(block);
        return 1;
    }
};

class TextbookContestant final : public Contestant {
public:
    const char* Name() const override { return "textbook"; }
    void* Alloc(uint32_t creator, uint32_t size) override {
        void* block = malloc(size);
        if (!block) return nullptr;
        std::lock_guard<std::mutex> guard(lock_);
        records_[reinterpret_cast<uintptr_t>(block)] = Record{creator, reinterpret_cast<uintptr_t>(block), size};
        return block;
    }
    int32_t Free(void* block) override {
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

class ModuleContestant final : public Contestant {
public:
    explicit ModuleContestant(zorvi::IMemoryAllocator* allocator) : allocator_(allocator) {}
    const char* Name() const override { return "memalloc"; }
    void* Alloc(uint32_t creator, uint32_t size) override { return allocator_->Alloc(creator, size); }
    int32_t Free(void* block) override { return allocator_->Free(block); }

private:
    zorvi::IMemoryAllocator* allocator_;
};

}  // namespace bench
