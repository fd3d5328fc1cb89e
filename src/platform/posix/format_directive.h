// One conversion of a printf-style format, as the Microsoft C runtime reads it.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace platform {

// The argument's size as the prefix names it; I64 and I32 are the runtime's own, I is
// pointer-sized, w marks wide characters and strings.
enum class FormatSize { Default, Short, Long, LongLong, LongDouble, PointerSized, PtrDiff,
                        IntMax, Int32, Int64, Wide };

struct FormatDirective {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool zeroPad = false;
    bool alternate = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    FormatSize size = FormatSize::Default;
    char conversion = '\0';  // '\0': the format ended inside the directive
    bool bare = false;       // nothing stood between the '%' and the conversion
};

// Reads the directive that begins just after a '%' (widths and precisions given as '*'
// are taken from `args`) and returns where the format goes on.
const char* ParseFormatDirective(const char* format, va_list* args, FormatDirective* directive);

}  // namespace platform
