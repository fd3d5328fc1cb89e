// The allocator as its callers get it, and the texts its log channel writes.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "debug_capture.h"
#include "log_channel_setup.h"
#include "memalloc/memory_allocator.h"
#include "reference_factory.h"
#include "zorvi/exports.h"

namespace allocator_test {

// Through the module's CreateComponent, which also records it as live.
inline memalloc::MemoryAllocator* CreateAllocator(zorvi::CreatorId creator) {
    return static_cast<memalloc::MemoryAllocator*>(CreateComponent(zorvi::kMemoryAllocatorId, creator));
}

// The channel writes its lines to the debugger output as "Error_Heap ...".
inline void LogToDebugger(memalloc::MemoryAllocator* allocator) {
    testsupport::ConfigureChannel(allocator->Channel().Record(), {1, 0, "Heap"});
}

inline std::string Line(const std::string& message) { return "Error_Heap " + message + "\n"; }

// Only the allocator's lines: the factory link may write messages of its own.
inline std::vector<std::string> ChannelLines(const testsupport::DebugCapture& capture) {
    std::vector<std::string> lines;
    for (const std::string& message : capture.Messages())
        if (message.compare(0, 11, "Error_Heap ") == 0) lines.push_back(message);
    return lines;
}

// The platform formatter's own rendering, whatever it is on this target.
inline std::string FormatLikeTheModule(const char* format, ...) {
    char text[256] = {0};
    va_list args;
    va_start(args, format);
    platform::FormatV(text, sizeof text - 1, format, args);
    va_end(args);
    return text;
}

// Every digit of the address, lower-case: 8 on 32-bit targets, 16 on 64-bit ones.
inline std::string AddressDigits(const void* address) {
    char text[32];
    snprintf(text, sizeof text, "%0*llx", static_cast<int>(2 * sizeof(void*)),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    return text;
}

inline std::string BlockLine(uint32_t creator, uint32_t size, const void* block) {
    char text[128];
    snprintf(text, sizeof text, "Creator:0x%08x Size:%u Location:0x", creator, size);
    return Line(text + AddressDigits(block));
}

inline std::string ForeignFreeLine(const void* pMemory) {
    return Line("Try to free memory not alloced by me. pMemory=0x" + FormatLikeTheModule("%p", pMemory));
}

// The singletons the reference factory was told about, as its journal names them.
inline std::vector<std::string> Registrations(const testsupport::ReferenceFactory& factory) {
    return factory.JournalLinesStartingWith("RegisterSingleton ");
}

inline std::string RegistrationOf(const void* singleton) {
    return "RegisterSingleton " + testsupport::JournalAddress(singleton);
}

struct HeldBlock {
    void* block;
    uint32_t creator;
    uint32_t size;
};

// The whole leak report for blocks given in ascending address order.
inline std::vector<std::string> LeakReport(const std::vector<HeldBlock>& held) {
    const std::string separator = Line(std::string(69, '='));
    std::vector<std::string> lines{separator,
                                   Line("Detect memory leak, block count = " + std::to_string(held.size()))};
    for (const HeldBlock& h : held) lines.push_back(BlockLine(h.creator, h.size, h.block));
    lines.push_back(separator);
    return lines;
}

}  // namespace allocator_test
