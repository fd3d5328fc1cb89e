// Bounded text operations: every fixed-buffer copy, append and format of the module.
//
// Sizes count bytes with the terminator, so a buffer of size n holds n - 1 characters.
// Three layers:
//   1. the primitives SafeCopy, SafeCopyN, SafeAppend and SafeFormatV, which answer the C
//      library's error numbers (0, 22 EINVAL, 34 ERANGE; -1 or the length for the
//      formatter). Code elsewhere reaches them only through kStringFunctions.
//   2. the guarded operations, which test first and answer 1 (done) or 0 (nothing
//      written), and FormatBounded, the variadic formatter.
//   3. the text and path operations in path_ops.h.
#pragma once

#include <cstdarg>

namespace factory_link {

constexpr int kEINVAL = 22;
constexpr int kERANGE = 34;

struct StringFunctionTable {
    // The formatted text cut at the limit (size - 1 when count is -1 or exceeds it, else
    // count) and always terminated there; the length, or -1 when cut or refused.
    int (*SafeFormatV)(char* destination, int size, int count, const char* format, va_list args);
    int (*SafeAppend)(char* destination, int size, const char* source);
    int (*SafeCopyN)(char* destination, int size, const char* source, int count);
    int (*SafeCopy)(char* destination, int size, const char* source);
};

// Constant for the life of the module.
extern const StringFunctionTable kStringFunctions;

// 1 when text is not null and its length is below size.
int FitsIn(const char* text, int size);
// 1 when copied whole; 0 and nothing written otherwise.
int CopyIfFits(char* destination, int size, const char* source);
// The first `count` characters of source (all of it when shorter), terminated at position
// count; 0 and nothing written when count <= 0 or count >= size.
int CopyPrefix(char* destination, int size, const char* source, int count);
// 1 when appended whole; 0 and nothing written otherwise.
int AppendIfFits(char* destination, int size, const char* source);
// printf-style into at most min(size - 1, count) characters, always terminated; the length
// written, or -1 when cut. -1 and nothing written when destination or format is null,
// size <= 0 or count <= 0.
int FormatBounded(char* destination, int size, int count, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

}  // namespace factory_link
