// The Microsoft C runtime's _vsnprintf on POSIX. Integers, pointers, characters and strings
// are rendered here, directly into the destination, so that neither a width nor a
// precision needs a buffer of its size; floating-point numbers go through snprintf.
// Where the Microsoft runtime differs from C99, its behaviour is the one kept (checked by
// tests/unit/platform/format_test.cpp against the real runtime under Wine):
// - %p: the full width of a pointer in upper-case hex, no prefix ("%#p" adds "0X");
// - the size prefixes I64, I32 and I (pointer-sized) beside the C ones; "hh" acts as "h";
// - the '0' flag pads with zeros even with a precision, and pads strings and characters;
// - "%#o" adds its leading zero only when the digits do not already begin with one;
// - an unknown conversion prints its own character, and a '%' after flags prints nothing;
// - exponents have at least three digits;
// - a null destination measures: the result is the text's length, nothing is written.
// %n is not supported: it writes nothing and its pointer is skipped.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/platform.h"
#include "platform/posix/format_directive.h"

namespace platform {

namespace {

// Where the text goes: at most `count` characters are stored, all of them are counted.
class Output {
public:
    Output(char* destination, size_t count)
        : destination_(destination), count_(destination ? count : 0) {}

    void Put(char c) {
        if (length_ < count_) destination_[length_] = c;
        ++length_;
    }

    void PutRepeated(char c, size_t times) {
        const size_t stored = Stored(times);
        if (stored) memset(destination_ + length_, c, stored);
        length_ += times;
    }

    void PutText(const char* text, size_t length) {
        const size_t stored = Stored(length);
        if (stored) memcpy(destination_ + length_, text, stored);
        length_ += length;
    }

    // The terminator goes in only when the text is shorter than the count. Without a
    // destination the caller only measures: the length is the answer.
    int Finish() {
        if (length_ > static_cast<size_t>(INT32_MAX)) return -1;
        if (!destination_) return static_cast<int>(length_);
        if (length_ < count_) destination_[length_] = '\0';
        return length_ > count_ ? -1 : static_cast<int>(length_);
    }

private:
    // How many of `length` further characters still fit.
    size_t Stored(size_t length) const {
        const size_t room = length_ < count_ ? count_ - length_ : 0;
        return length < room ? length : room;
    }

    char* destination_;
    size_t count_;
    size_t length_ = 0;
};

// One rendered conversion: lead (sign or prefix), precision zeros, then the body.
struct Pieces {
    const char* lead;
    size_t leadLength;
    size_t zeros;
    const char* body;
    size_t bodyLength;
};

// Applies the width: spaces after a left-aligned text; else zeros between the lead and
// the rest with the '0' flag, spaces before everything without it.
void PutPadded(Output& out, const FormatDirective& directive, const Pieces& pieces) {
    const size_t length = pieces.leadLength + pieces.zeros + pieces.bodyLength;
    const size_t padding = directive.width > length ? directive.width - length : 0;
    const bool padWithZeros = directive.zeroPad && !directive.leftAlign;
    if (!directive.leftAlign && !padWithZeros) out.PutRepeated(' ', padding);
    out.PutText(pieces.lead, pieces.leadLength);
    if (padWithZeros) out.PutRepeated('0', padding);
    out.PutRepeated('0', pieces.zeros);
    out.PutText(pieces.body, pieces.bodyLength);
    if (directive.leftAlign) out.PutRepeated(' ', padding);
}

struct IntegerValue {
    bool negative;
    unsigned long long magnitude;
};

long long ReadSigned(FormatSize size, va_list* args) {
    switch (size) {
        case FormatSize::Short: return static_cast<short>(va_arg(*args, int));
        case FormatSize::Long: return va_arg(*args, long);
        case FormatSize::LongLong:
        case FormatSize::LongDouble:
        case FormatSize::Int64: return va_arg(*args, long long);
        case FormatSize::PointerSized:
        case FormatSize::PtrDiff: return va_arg(*args, ptrdiff_t);
        case FormatSize::IntMax: return va_arg(*args, intmax_t);
        default: return va_arg(*args, int);
    }
}

unsigned long long ReadUnsigned(FormatSize size, va_list* args) {
    switch (size) {
        case FormatSize::Short: return static_cast<unsigned short>(va_arg(*args, unsigned int));
        case FormatSize::Long: return va_arg(*args, unsigned long);
        case FormatSize::LongLong:
        case FormatSize::LongDouble:
        case FormatSize::Int64: return va_arg(*args, unsigned long long);
        case FormatSize::PointerSized:
        case FormatSize::PtrDiff: return va_arg(*args, size_t);
        case FormatSize::IntMax: return va_arg(*args, uintmax_t);
        default: return va_arg(*args, unsigned int);
    }
}

IntegerValue ReadInteger(const FormatDirective& directive, va_list* args) {
    if (directive.conversion != 'd' && directive.conversion != 'i')
        return {false, ReadUnsigned(directive.size, args)};
    const long long value = ReadSigned(directive.size, args);
    // Negating in unsigned arithmetic keeps the most negative value intact.
    const unsigned long long bits = static_cast<unsigned long long>(value);
    return value < 0 ? IntegerValue{true, 0ull - bits} : IntegerValue{false, bits};
}

// Digits of `value`, most significant first, at the end of `digits`; returns the first.
char* RenderDigits(unsigned long long value, unsigned base, bool upper, char* end) {
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char* first = end;
    for (; value != 0; value /= base) *--first = symbols[value % base];
    return first;
}

void PutInteger(Output& out, const FormatDirective& directive, IntegerValue value, unsigned base,
                bool upper) {
    char digits[24];
    char* end = digits + sizeof digits;
    const char* first = RenderDigits(value.magnitude, base, upper, end);
    const size_t digitCount = static_cast<size_t>(end - first);
    size_t minimum = directive.hasPrecision ? directive.precision : 1;
    char lead[3] = {};
    size_t leadLength = 0;
    if (value.negative) lead[leadLength++] = '-';
    else if (directive.plusSign) lead[leadLength++] = '+';
    else if (directive.spaceSign) lead[leadLength++] = ' ';
    if (directive.alternate && value.magnitude != 0 && base == 16) {
        lead[leadLength++] = '0';
        lead[leadLength++] = upper ? 'X' : 'x';
    }
    if (directive.alternate && value.magnitude != 0 && base == 8 && minimum <= digitCount)
        minimum = digitCount + 1;
    const size_t zeros = minimum > digitCount ? minimum - digitCount : 0;
    PutPadded(out, directive, Pieces{lead, leadLength, zeros, first, digitCount});
}

void PutPointer(Output& out, FormatDirective directive, va_list* args) {
    const void* pointer = va_arg(*args, void*);
    directive.hasPrecision = true;
    directive.precision = 2 * sizeof(void*);
    directive.zeroPad = false;  // the digits already fill the pointer's width
    directive.plusSign = directive.spaceSign = false;
    PutInteger(out, directive,
               IntegerValue{false, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer))},
               16, true);
}

// A wide character as one byte: ASCII stays, anything else becomes '?'.
char Narrowed(wint_t c) { return c < 0x80 ? static_cast<char>(c) : '?'; }

bool IsWide(const FormatDirective& directive) {
    const bool upperCase = directive.conversion == 'S' || directive.conversion == 'C';
    if (directive.size == FormatSize::Short) return false;
    return upperCase || directive.size == FormatSize::Long || directive.size == FormatSize::Wide;
}

void PutCharacter(Output& out, const FormatDirective& directive, va_list* args) {
    const char c = IsWide(directive) ? Narrowed(va_arg(*args, wint_t))
                                     : static_cast<char>(va_arg(*args, int));
    PutPadded(out, directive, Pieces{"", 0, 0, &c, 1});
}

void PutNarrowString(Output& out, const FormatDirective& directive, const char* text) {
    if (!text) text = "(null)";
    const size_t length =
        directive.hasPrecision ? strnlen(text, directive.precision) : strlen(text);
    PutPadded(out, directive, Pieces{"", 0, 0, text, length});
}

// Wide text is narrowed one character at a time; the padding needs its length first.
void PutWideString(Output& out, const FormatDirective& directive, const wchar_t* text) {
    if (!text) return PutNarrowString(out, directive, nullptr);
    size_t length = 0;
    while (text[length] && (!directive.hasPrecision || length < directive.precision)) ++length;
    const size_t padding = directive.width > length ? directive.width - length : 0;
    const char padCharacter = directive.zeroPad && !directive.leftAlign ? '0' : ' ';
    if (!directive.leftAlign) out.PutRepeated(padCharacter, padding);
    for (size_t i = 0; i < length; ++i) out.Put(Narrowed(static_cast<wint_t>(text[i])));
    if (directive.leftAlign) out.PutRepeated(' ', padding);
}

void PutString(Output& out, const FormatDirective& directive, va_list* args) {
    if (IsWide(directive)) return PutWideString(out, directive, va_arg(*args, const wchar_t*));
    PutNarrowString(out, directive, va_arg(*args, const char*));
}

// "1e+05" becomes "1e+005": the Microsoft runtime writes at least three exponent digits.
void WidenExponent(char* text, size_t capacity) {
    char* mark = strpbrk(text, "eE");
    if (!mark || (mark[1] != '+' && mark[1] != '-')) return;
    char* digits = mark + 2;
    const size_t digitCount = strlen(digits);
    if (digitCount >= 3 || static_cast<size_t>(digits - text) + 4 > capacity) return;
    const size_t missing = 3 - digitCount;
    memmove(digits + missing, digits, digitCount + 1);
    memset(digits, '0', missing);
}

void PutFloat(Output& out, const FormatDirective& directive, va_list* args) {
    char format[16];
    char* f = format;
    *f++ = '%';
    if (directive.plusSign) *f++ = '+';
    if (directive.spaceSign) *f++ = ' ';
    if (directive.alternate) *f++ = '#';
    if (directive.hasPrecision) *f++ = '.', *f++ = '*';
    if (directive.size == FormatSize::LongDouble) *f++ = 'L';
    *f++ = directive.conversion;
    *f = '\0';
    // Long enough for any double in %f; a longer text (a huge precision) is cut here.
    char text[512];
    const int precision = static_cast<int>(directive.precision);
    if (directive.size == FormatSize::LongDouble) {
        const long double value = va_arg(*args, long double);
        if (directive.hasPrecision) snprintf(text, sizeof text, format, precision, value);
        else snprintf(text, sizeof text, format, value);
    } else {
        const double value = va_arg(*args, double);
        if (directive.hasPrecision) snprintf(text, sizeof text, format, precision, value);
        else snprintf(text, sizeof text, format, value);
    }
    if (directive.conversion != 'a' && directive.conversion != 'A') WidenExponent(text, sizeof text);
    const size_t signLength = text[0] && strchr("+- ", text[0]) ? 1 : 0;
    PutPadded(out, directive, Pieces{text, signLength, 0, text + signLength, strlen(text) - signLength});
}

void PutConversion(Output& out, const FormatDirective& directive, va_list* args) {
    const char conversion = directive.conversion;
    switch (conversion) {
        case 'd': case 'i': case 'u':
            return PutInteger(out, directive, ReadInteger(directive, args), 10, false);
        case 'x': case 'X':
            return PutInteger(out, directive, ReadInteger(directive, args), 16, conversion == 'X');
        case 'o':
            return PutInteger(out, directive, ReadInteger(directive, args), 8, false);
        case 'p': return PutPointer(out, directive, args);
        case 'c': case 'C': return PutCharacter(out, directive, args);
        case 's': case 'S': return PutString(out, directive, args);
        case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
            return PutFloat(out, directive, args);
        case 'n': (void)va_arg(*args, void*); return;
        case '%': if (directive.bare) out.Put('%'); return;
        default: out.Put(conversion); return;
    }
}

}  // namespace

int FormatV(char* destination, size_t count, const char* format, va_list args) {
    Output out(destination, count);
    va_list remaining;
    va_copy(remaining, args);  // a va_list parameter cannot be handed on by address
    const char* p = format ? format : "";
    while (*p) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        FormatDirective directive;
        p = ParseFormatDirective(p + 1, &remaining, &directive);
        if (directive.conversion == '\0') break;
        PutConversion(out, directive, &remaining);
    }
    va_end(remaining);
    return out.Finish();
}

}  // namespace platform
