// The platform seam: the only interface through which the module reaches the operating
// system. Two implementations exist, win32/ (thin calls of the Win32 API) and posix/
// (written from what the module expects of each call). Nothing outside src/platform/
// includes an operating-system header.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace platform {

// ---- Handles -------------------------------------------------------------------------
// A loaded module: HMODULE on Windows, a dlopen handle on POSIX.
using ModuleHandle = void*;
// An open file: HANDLE on Windows, a descriptor stored in the pointer on POSIX.
using FileHandle = void*;
// All bits set: the value that means "no file" on both platforms.
inline FileHandle NoFile() { return reinterpret_cast<FileHandle>(~static_cast<uintptr_t>(0)); }

// ---- Recursive lock ------------------------------------------------------------------
// Storage big enough for a CRITICAL_SECTION or a pthread_mutex_t on every target; the
// owning thread may enter it again while it holds it and leaves it once per entry.
struct alignas(8) RecursiveLock {
    unsigned char storage[64];
};
void InitLock(RecursiveLock* lock);
void EnterLock(RecursiveLock* lock);
void LeaveLock(RecursiveLock* lock);
void DeleteLock(RecursiveLock* lock);

// ---- Threads -------------------------------------------------------------------------
// The calling thread's identity, never 0, unique among the threads alive; cheap enough
// to ask on a lock's contended path. Allocates nothing.
uintptr_t CurrentThreadId();

// ---- Debugger output -----------------------------------------------------------------
// Hands a terminated text to the debugger output (OutputDebugStringA on Windows; on
// POSIX standard error, or the sink installed below).
void DebugOutput(const char* text);
// POSIX only: tests route debugger output to a sink of their own; null restores stderr.
// On Windows the real OutputDebugStringA is always used and this does nothing.
using DebugOutputSink = void (*)(const char* text, void* context);
void SetDebugOutputSink(DebugOutputSink sink, void* context);

// ---- Breaking into the debugger ------------------------------------------------------
// Stops in a debugger; ends the process when none is attached. A hook installed by tests
// is called instead.
void BreakIntoDebugger();
using BreakHook = void (*)();
void SetBreakHook(BreakHook hook);

// ---- Formatting ----------------------------------------------------------------------
// The Microsoft C runtime's _vsnprintf: writes at most `count` characters; writes a
// terminator only when the text is shorter than `count`; returns the length, or -1 when
// the text was cut. %p prints the pointer's full width in upper-case hex, no prefix.
int FormatV(char* destination, size_t count, const char* format, va_list args);

// ---- Paths ---------------------------------------------------------------------------
// The path rules of one platform, as a value so that both sets can be tested anywhere.
struct PathRules {
    char joinSeparator;          // written between a directory and a name
    char primarySeparator;       // looked for first when the directory of a file is taken
    char secondarySeparator;     // looked for when the primary one is absent ('\0': none)
    char absoluteLead;           // a path beginning with it is absolute
    bool colonMakesAbsolute;     // a path holding a colon anywhere is absolute
};
extern const PathRules kWindowsPathRules;
extern const PathRules kPosixPathRules;
// The rules of the platform the module runs on.
const PathRules& NativePathRules();

// Writes the full path of the process's main executable into `buffer` (at most size - 1
// characters, terminated when size > 0). Leaves the buffer empty on failure.
void HostExecutablePath(char* buffer, int size);

// ---- Modules -------------------------------------------------------------------------
ModuleHandle LoadModule(const char* path);  // null on failure; raises the load count
void* FindExport(ModuleHandle module, const char* name);  // null when absent
// A module already loaded in the process whose file name (last path component) equals
// `fileName`, compared case-insensitively; loads nothing. Null when there is none.
ModuleHandle FindLoadedModule(const char* fileName);

// ---- Configuration -------------------------------------------------------------------
// One value of an INI file with the contract of GetPrivateProfileStringA: the value (or
// the default, "" when null, when file, section or key is missing) cut to size - 1
// characters and terminated.
void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   char* buffer, int size, const char* file);

// ---- Time and files ------------------------------------------------------------------
struct LocalTime {
    int year, month, day, hour, minute, second, milliseconds;
};
LocalTime GetLocalTimeNow();
// Moves the file position to the end. Returns 0 on success, else the non-zero error code.
// (On Windows a SetFilePointer result with all bits set counts as failure only when the
// error code that follows it is non-zero.)
uint32_t SeekToEnd(FileHandle file);
// Writes `length` bytes at the current position; the outcome is not reported.
void WriteToFile(FileHandle file, const char* text, uint32_t length);
// Opens the file for appending, creating it when missing, shared for reading and writing
// with every other opener (CreateFileA with OPEN_ALWAYS and FILE_APPEND_DATA on Windows,
// O_APPEND on POSIX). NoFile() when it cannot be opened or path is null or empty.
FileHandle OpenFileForAppend(const char* path);
// Closes a handle from OpenFileForAppend; NoFile() is left alone.
void CloseFile(FileHandle file);

}  // namespace platform
