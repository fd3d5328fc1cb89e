// The formatter's contract is the Microsoft C runtime's _vsnprintf: on Windows these cases
// run against the runtime itself, natively against the POSIX emulation.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

constexpr char kUntouched = '#';
constexpr size_t kBufferSize = 128;

struct Formatted {
    int returned;
    std::string stored;    // the first `count` bytes of the destination, as written
    bool guardIntact;      // nothing written from position `count` on
};

Formatted FormatInto(size_t count, const char* format, ...) {
    char buffer[kBufferSize];
    memset(buffer, kUntouched, sizeof buffer);
    va_list args;
    va_start(args, format);
    const int returned = platform::FormatV(buffer, count, format, args);
    va_end(args);
    bool guardIntact = true;
    for (size_t i = count; i < sizeof buffer; ++i) guardIntact = guardIntact && buffer[i] == kUntouched;
    return Formatted{returned, std::string(buffer, count), guardIntact};
}

// The text a conversion gave when it fitted: up to the terminator.
std::string TextOf(const Formatted& formatted) {
    const size_t end = formatted.stored.find('\0');
    return end == std::string::npos ? formatted.stored : formatted.stored.substr(0, end);
}

std::string Padded(size_t digits, const std::string& text) {
    return std::string(digits - text.size(), '0') + text;
}

TEST(FormatV, CountBoundaries) {
    // "hello" is five characters long.
    struct Case {
        size_t count;
        int returned;
        std::string stored;
    };
    const Case cases[] = {
        {0, -1, ""},
        {1, -1, "h"},
        {4, -1, "hell"},
        {5, 5, "hello"},  // exactly the count: no terminator, not an error
        {6, 5, std::string("hello\0", 6)},
        {7, 5, std::string("hello\0", 6) + kUntouched},  // nothing after the terminator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const Formatted formatted = FormatInto(c.count, "%s", "hello");
        EXPECT_EQ(formatted.returned, c.returned);
        EXPECT_EQ(formatted.stored, c.stored);
        EXPECT_TRUE(formatted.guardIntact);
    }
}

int FormatIntoNothing(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int returned = platform::FormatV(nullptr, 0, format, args);
    va_end(args);
    return returned;
}

// A buffer without room reports the cut; no buffer at all measures the text.
TEST(FormatV, NoRoom) {
    EXPECT_EQ(FormatInto(0, "").returned, 0);
    EXPECT_TRUE(FormatInto(0, "").guardIntact);
    EXPECT_EQ(FormatIntoNothing(""), 0);
    EXPECT_EQ(FormatIntoNothing("%d|%s", 12345, "ab"), 8);
}

TEST(FormatV, CutsInsideAConversion) {
    struct Case {
        const char* name;
        Formatted formatted;
        std::string stored;
    };
    const Case cases[] = {
        {"text", FormatInto(3, "ab%s", "cdef"), "abc"},
        {"number", FormatInto(4, "%d", 1234567), "1234"},
        {"width wider than the count", FormatInto(4, "%10d", 7), "    "},
        {"precision zeros", FormatInto(5, "%.9d", 7), "00000"},
        {"left-aligned padding", FormatInto(3, "%-8s|", "a"), "a  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.formatted.returned, -1);
        EXPECT_EQ(c.formatted.stored, c.stored);
        EXPECT_TRUE(c.formatted.guardIntact);
    }
}

TEST(FormatV, Conversions) {
    struct Case {
        const char* name;
        Formatted formatted;
        const char* expected;
    };
    int unused = 0;
    const Case cases[] = {
        {"%s", FormatInto(64, "[%s]", "text"), "[text]"},
        {"%d", FormatInto(64, "%d %d %i", 42, -42, -2147483647 - 1), "42 -42 -2147483648"},
        {"%u", FormatInto(64, "%u", 4294967295u), "4294967295"},
        {"%x %X %o", FormatInto(64, "%x %X %o", 0xbeef, 0xbeef, 8), "beef BEEF 10"},
        {"%08x", FormatInto(64, "%08x", 0x1f), "0000001f"},
        {"%-5s", FormatInto(64, "[%-5s]", "ab"), "[ab   ]"},
        {"%5s", FormatInto(64, "[%5s]", "ab"), "[   ab]"},
        {"%.3s", FormatInto(64, "[%.3s]", "abcdef"), "[abc]"},
        {"%*d", FormatInto(64, "[%*d]", 4, 7), "[   7]"},
        {"%*d negative width", FormatInto(64, "[%*d]", -4, 7), "[7   ]"},
        {"%.*s", FormatInto(64, "[%.*s]", 2, "abc"), "[ab]"},
        {"%+d % d", FormatInto(64, "%+d % d", 5, 5), "+5  5"},
        {"%#x", FormatInto(64, "%#x %#X %#x", 255, 255, 0), "0xff 0XFF 0"},
        {"%05d", FormatInto(64, "[%05d][%-05d]", -42, -42), "[-0042][-42  ]"},
        {"%.0d of zero", FormatInto(64, "[%.0d]", 0), "[]"},
        {"%I64x", FormatInto(64, "%I64x", 0x123456789abcdefULL), "123456789abcdef"},
        {"%I64d", FormatInto(64, "%I64d", -1234567890123LL), "-1234567890123"},
        {"%I32x", FormatInto(64, "%I32x", 0xabcu), "abc"},
        {"%Iu", FormatInto(64, "%Iu", static_cast<size_t>(123456)), "123456"},
        {"%lld %llx", FormatInto(64, "%lld %llx", -5LL, 0xffffffffffULL), "-5 ffffffffff"},
        {"%zu", FormatInto(64, "%zu", static_cast<size_t>(77)), "77"},
        {"%hd", FormatInto(64, "%hd", 70000), "4464"},
        {"%c", FormatInto(64, "[%c][%3c]", 'a', 'b'), "[a][  b]"},
        {"%%", FormatInto(64, "100%% %%%%"), "100% %%"},
        {"%n writes no text", FormatInto(64, "a%nb%d", &unused, 5), "ab5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextOf(c.formatted), c.expected);
        EXPECT_EQ(c.formatted.returned, static_cast<int>(strlen(c.expected)));
    }
}

// The runtime's own rules where they part from C99.
TEST(FormatV, RuntimeSpecificRules) {
    struct Case {
        const char* name;
        Formatted formatted;
        const char* expected;
    };
    const Case cases[] = {
        {"'0' flag pads despite a precision", FormatInto(64, "[%05.3d]", 7), "[00007]"},
        {"'0' flag pads strings", FormatInto(64, "[%05s]", "ab"), "[000ab]"},
        {"hh reads like h", FormatInto(64, "%hhd", 300), "300"},
        {"%#o adds no zero to zero", FormatInto(64, "[%#o][%#.0o]", 8, 0), "[010][]"},
        {"three exponent digits", FormatInto(64, "%e %g", 12345.678, 1e-5), "1.234568e+004 1e-005"},
        {"unknown conversion prints itself", FormatInto(64, "[%y]"), "[y]"},
        {"'%' after flags prints nothing", FormatInto(64, "[%5%]"), "[]"},
        {"lone I is a conversion", FormatInto(64, "[%I6d]", 5), "[I6d]"},
        {"format ends inside a conversion", FormatInto(64, "ab%5"), "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextOf(c.formatted), c.expected);
        EXPECT_EQ(c.formatted.returned, static_cast<int>(strlen(c.expected)));
    }
}

TEST(FormatV, PointerFillsItsWidthInUpperCase) {
    const size_t digits = 2 * sizeof(void*);
    void* pointer = reinterpret_cast<void*>(static_cast<uintptr_t>(0x12ABCDEFu));
    struct Case {
        const char* name;
        Formatted formatted;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", FormatInto(64, "%p", pointer), Padded(digits, "12ABCDEF")},
        {"null", FormatInto(64, "%p", nullptr), std::string(digits, '0')},
        {"message", FormatInto(64, "IComponent* = 0x%p\n", pointer),
         "IComponent* = 0x" + Padded(digits, "12ABCDEF") + "\n"},
        {"width", FormatInto(64, "[%20p]", pointer),
         "[" + std::string(20 - digits, ' ') + Padded(digits, "12ABCDEF") + "]"},
        {"'0' flag is ignored", FormatInto(64, "[%020p]", pointer),
         "[" + std::string(20 - digits, ' ') + Padded(digits, "12ABCDEF") + "]"},
        {"'#' prefix", FormatInto(64, "%#p", pointer), "0X" + Padded(digits, "12ABCDEF")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextOf(c.formatted), c.expected);
        EXPECT_EQ(c.formatted.returned, static_cast<int>(c.expected.size()));
    }
}

TEST(FormatV, PointerCutAtTheCount) {
    void* pointer = reinterpret_cast<void*>(static_cast<uintptr_t>(0xABCDu));
    const Formatted formatted = FormatInto(6, "0x%p", pointer);
    EXPECT_EQ(formatted.returned, -1);
    EXPECT_EQ(formatted.stored, "0x0000");
    EXPECT_TRUE(formatted.guardIntact);
}

// What the module's error reporter does: a count one below its buffer, whose last byte it
// keeps zero, so that a cut text still ends.
TEST(FormatV, CountBelowTheBufferLeavesTheLastByte) {
    char buffer[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    auto format = [&buffer](const char* text, ...) {
        va_list args;
        va_start(args, text);
        const int returned = platform::FormatV(buffer, sizeof buffer - 1, text, args);
        va_end(args);
        return returned;
    };
    EXPECT_EQ(format("%s", "far too long"), -1);
    EXPECT_STREQ(buffer, "far too");
}

}  // namespace
