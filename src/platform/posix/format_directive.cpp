#include "platform/posix/format_directive.h"

#include <climits>
#include <cstring>

namespace platform {

namespace {

const char* ParseFlags(const char* p, FormatDirective* directive) {
    for (;; ++p) {
        switch (*p) {
            case '-': directive->leftAlign = true; break;
            case '+': directive->plusSign = true; break;
            case ' ': directive->spaceSign = true; break;
            case '0': directive->zeroPad = true; break;
            case '#': directive->alternate = true; break;
            default: return p;
        }
    }
}

// Digits, kept below INT_MAX so that a silly width cannot overflow anything.
const char* ParseDigits(const char* p, size_t* value) {
    *value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        *value = *value * 10 + static_cast<size_t>(*p - '0');
        if (*value > INT_MAX) *value = INT_MAX;
    }
    return p;
}

size_t Magnitude(int value) {
    return value < 0 ? static_cast<size_t>(-(static_cast<long long>(value)))
                     : static_cast<size_t>(value);
}

// A negative width from '*' means a left-aligned one.
const char* ParseWidth(const char* p, va_list* args, FormatDirective* directive) {
    if (*p != '*') return ParseDigits(p, &directive->width);
    const int width = va_arg(*args, int);
    if (width < 0) directive->leftAlign = true;
    directive->width = Magnitude(width);
    return p + 1;
}

// A negative precision from '*' counts as none.
const char* ParsePrecision(const char* p, va_list* args, FormatDirective* directive) {
    if (*p != '.') return p;
    ++p;
    directive->hasPrecision = true;
    if (*p != '*') return ParseDigits(p, &directive->precision);
    const int precision = va_arg(*args, int);
    directive->hasPrecision = precision >= 0;
    directive->precision = precision >= 0 ? static_cast<size_t>(precision) : 0;
    return p + 1;
}

struct SizePrefix {
    const char* text;
    FormatSize size;
};

// Longer prefixes first. The runtime reads "hh" as "h".
constexpr SizePrefix kSizePrefixes[] = {
    {"I64", FormatSize::Int64}, {"I32", FormatSize::Int32},   {"hh", FormatSize::Short},
    {"ll", FormatSize::LongLong}, {"h", FormatSize::Short},   {"l", FormatSize::Long},
    {"L", FormatSize::LongDouble}, {"z", FormatSize::PointerSized}, {"j", FormatSize::IntMax},
    {"t", FormatSize::PtrDiff},   {"w", FormatSize::Wide},
};

// A lone 'I' is the pointer-sized prefix only before an integer conversion; anywhere else
// it is itself the (unknown) conversion.
const char* ParseSize(const char* p, FormatDirective* directive) {
    for (const SizePrefix& prefix : kSizePrefixes) {
        const size_t length = strlen(prefix.text);
        if (strncmp(p, prefix.text, length) != 0) continue;
        directive->size = prefix.size;
        return p + length;
    }
    if (p[0] == 'I' && p[1] != '\0' && strchr("diouxX", p[1])) {
        directive->size = FormatSize::PointerSized;
        return p + 1;
    }
    return p;
}

}  // namespace

const char* ParseFormatDirective(const char* format, va_list* args, FormatDirective* directive) {
    const char* p = ParseFlags(format, directive);
    p = ParseWidth(p, args, directive);
    p = ParsePrecision(p, args, directive);
    p = ParseSize(p, directive);
    directive->bare = p == format;
    directive->conversion = *p;
    return *p ? p + 1 : p;
}

}  // namespace platform
