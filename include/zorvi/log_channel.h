// The log-channel record that a factory module fills through ConfigureLogChannel, and the
// file pair it hands over. Both are exchange formats between separately built modules.
//
// 32-bit layout (112 bytes):  debugOutput 0, fileOutput 4, file 8, fileLock 12, name 16,
//                             tagA 80, tagB 96;   LogTarget: fileLock 0, file 4 (8 bytes).
// 64-bit layout (120 bytes):  debugOutput 0, fileOutput 4, file 8, fileLock 16, name 24,
//                             tagA 88, tagB 104;  LogTarget: fileLock 0, file 8 (16 bytes).
//
// `file` is a Windows file HANDLE (on Linux a descriptor stored in the pointer); all bits
// set means no file. `fileLock` is the address of a CRITICAL_SECTION (on Linux a recursive
// pthread_mutex_t), or null for none. The factory owns both; the channel only uses them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvi {

struct LogChannel {
    int32_t debugOutput;  // bit 0: lines go to the debugger output
    int32_t fileOutput;   // bit 0: lines are appended to the log file
    void* file;
    void* fileLock;
    char name[64];        // the channel's name, terminated within the field
    char tagA[16];        // for the factory's use
    char tagB[16];        // for the factory's use
};

// The lock comes first here, the handle first in LogChannel.
struct LogTarget {
    void* fileLock;
    void* file;
};

constexpr size_t kLogChannelSize = sizeof(void*) == 4 ? 112 : 120;
static_assert(sizeof(LogChannel) == kLogChannelSize, "LogChannel layout");
static_assert(sizeof(LogTarget) == 2 * sizeof(void*), "LogTarget layout");
static_assert(offsetof(LogChannel, file) == 8, "LogChannel.file");
static_assert(offsetof(LogChannel, fileLock) == (sizeof(void*) == 4 ? 12 : 16), "fileLock");
static_assert(offsetof(LogChannel, name) == (sizeof(void*) == 4 ? 16 : 24), "name");
static_assert(offsetof(LogChannel, tagA) == (sizeof(void*) == 4 ? 80 : 88), "tagA");
static_assert(offsetof(LogChannel, tagB) == (sizeof(void*) == 4 ? 96 : 104), "tagB");
static_assert(offsetof(LogTarget, file) == sizeof(void*), "LogTarget.file");

}  // namespace zorvi
