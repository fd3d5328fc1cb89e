#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>

#include "factory_link/bounded_string.h"

namespace {

using factory_link::kStringFunctions;

constexpr int kBufferSize = 32;

// One call on a buffer that holds `initial` before it; `size` is what the call is told.
struct WriteCase {
    const char* label;
    const char* initial;
    int (*call)(char* destination);
    int expectedResult;
    const char* expectedText;
};

void RunWriteCases(const WriteCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const WriteCase& c = cases[i];
        char buffer[kBufferSize];
        memset(buffer, '#', sizeof buffer);
        strcpy(buffer, c.initial);
        EXPECT_EQ(c.call(buffer), c.expectedResult) << c.label;
        EXPECT_STREQ(buffer, c.expectedText) << c.label;
    }
}

int FormatThroughTable(char* destination, int size, int count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = kStringFunctions.SafeFormatV(destination, size, count, format, args);
    va_end(args);
    return result;
}

TEST(StringPrimitivesTest, CopyAndAppendThroughTheTable) {
    const WriteCase cases[] = {
        {"copy into size 0", "prior", [](char* d) { return kStringFunctions.SafeCopy(d, 0, "a"); }, 34, "prior"},
        {"copy into size -1", "prior", [](char* d) { return kStringFunctions.SafeCopy(d, -1, "a"); }, 22, "prior"},
        {"copy of null", "prior", [](char* d) { return kStringFunctions.SafeCopy(d, 8, nullptr); }, 22, "prior"},
        {"copy of 7 into 8", "prior", [](char* d) { return kStringFunctions.SafeCopy(d, 8, "1234567"); }, 0, "1234567"},
        {"copy of 8 into 8", "prior", [](char* d) { return kStringFunctions.SafeCopy(d, 8, "12345678"); }, 34, "prior"},
        {"copyN count 8 into 8", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 8, "abc", 8); }, 22, ""},
        {"copyN count 5 of 3", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 8, "abc", 5); }, 0, "abc"},
        {"copyN count 2 of 3", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 8, "abc", 2); }, 0, "ab"},
        {"copyN count 0", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 8, "abc", 0); }, 22, "prior"},
        {"copyN size 0", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 0, "abc", 2); }, 22, "prior"},
        {"copyN of null", "prior", [](char* d) { return kStringFunctions.SafeCopyN(d, 8, nullptr, 2); }, 22, "prior"},
        {"append 3 to 4 in 8", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, 8, "xyz"); }, 0, "abcdxyz"},
        {"append 3 to 4 in 7", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, 7, "xyz"); }, 34, "abcd"},
        {"append into size 0", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, 0, "x"); }, 34, "abcd"},
        {"append into size -1", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, -1, "x"); }, 22, "abcd"},
        {"append of null", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, 8, nullptr); }, 22, "abcd"},
        // An unterminated destination within the size never has room.
        {"append to full 4 in 4", "abcd", [](char* d) { return kStringFunctions.SafeAppend(d, 4, ""); }, 34, "abcd"},
    };
    RunWriteCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(StringPrimitivesTest, NullDestinationsAreRefused) {
    EXPECT_EQ(kStringFunctions.SafeCopy(nullptr, 8, "a"), 22);
    EXPECT_EQ(kStringFunctions.SafeCopyN(nullptr, 8, "a", 1), 22);
    EXPECT_EQ(kStringFunctions.SafeAppend(nullptr, 8, "a"), 22);
    EXPECT_EQ(FormatThroughTable(nullptr, 8, -1, "a"), -1);
}

TEST(StringPrimitivesTest, SafeFormatVCutsAtItsLimitAndTerminates) {
    const WriteCase cases[] = {
        {"count -1, 10 into 8", "prior", [](char* d) { return FormatThroughTable(d, 8, -1, "%s", "0123456789"); }, -1, "0123456"},
        {"count 3", "prior", [](char* d) { return FormatThroughTable(d, 8, 3, "%d", 123456); }, -1, "123"},
        {"count beyond size", "prior", [](char* d) { return FormatThroughTable(d, 8, 20, "%s", "0123456789"); }, -1, "0123456"},
        {"exactly fills the limit", "prior", [](char* d) { return FormatThroughTable(d, 8, -1, "%s", "1234567"); }, 7, "1234567"},
        {"fits", "prior", [](char* d) { return FormatThroughTable(d, 16, -1, "%s-%d", "ab", 7); }, 4, "ab-7"},
        {"size 1", "prior", [](char* d) { return FormatThroughTable(d, 1, -1, "%s", "ab"); }, -1, ""},
        {"count 0", "prior", [](char* d) { return FormatThroughTable(d, 8, 0, "x"); }, -1, "prior"},
        {"count -2", "prior", [](char* d) { return FormatThroughTable(d, 8, -2, "x"); }, -1, "prior"},
        {"size 0", "prior", [](char* d) { return FormatThroughTable(d, 0, -1, "x"); }, -1, "prior"},
        {"null format", "prior", [](char* d) { return FormatThroughTable(d, 8, -1, nullptr); }, -1, "prior"},
    };
    RunWriteCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(GuardedOperationsTest, WriteWholeOrNothing) {
    using namespace factory_link;
    const WriteCase cases[] = {
        {"copy fits", "prior", [](char* d) { return CopyIfFits(d, 8, "1234567"); }, 1, "1234567"},
        {"copy too long", "prior", [](char* d) { return CopyIfFits(d, 8, "12345678"); }, 0, "prior"},
        {"copy into size 0", "prior", [](char* d) { return CopyIfFits(d, 0, ""); }, 0, "prior"},
        {"copy of null", "prior", [](char* d) { return CopyIfFits(d, 8, nullptr); }, 0, "prior"},
        {"prefix of 3", "prior", [](char* d) { return CopyPrefix(d, 8, "abcdef", 3); }, 1, "abc"},
        {"prefix longer than source", "prior", [](char* d) { return CopyPrefix(d, 8, "ab", 5); }, 1, "ab"},
        // Unlike SafeCopyN, a count that does not fit leaves the destination alone.
        {"prefix count = size", "prior", [](char* d) { return CopyPrefix(d, 8, "abcdefghij", 8); }, 0, "prior"},
        {"prefix count 0", "prior", [](char* d) { return CopyPrefix(d, 8, "abc", 0); }, 0, "prior"},
        {"append fits", "abcd", [](char* d) { return AppendIfFits(d, 8, "xyz"); }, 1, "abcdxyz"},
        {"append too long", "abcd", [](char* d) { return AppendIfFits(d, 7, "xyz"); }, 0, "abcd"},
        {"append of null", "abcd", [](char* d) { return AppendIfFits(d, 8, nullptr); }, 0, "abcd"},
    };
    RunWriteCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(GuardedOperationsTest, FitsInCountsTheTerminator) {
    using factory_link::FitsIn;
    EXPECT_EQ(FitsIn("1234567", 8), 1);
    EXPECT_EQ(FitsIn("12345678", 8), 0);
    EXPECT_EQ(FitsIn("", 1), 1);
    EXPECT_EQ(FitsIn("", 0), 0);
    EXPECT_EQ(FitsIn(nullptr, 8), 0);
}

TEST(FormatBoundedTest, TakesTheSmallerLimitAndRefusesCountsBelowOne) {
    using factory_link::FormatBounded;
    const WriteCase cases[] = {
        {"count -1", "prior", [](char* d) { return FormatBounded(d, 8, -1, "x"); }, -1, "prior"},
        {"count 0", "prior", [](char* d) { return FormatBounded(d, 8, 0, "x"); }, -1, "prior"},
        {"size 0", "prior", [](char* d) { return FormatBounded(d, 0, 4, "x"); }, -1, "prior"},
        {"size limits", "prior", [](char* d) { return FormatBounded(d, 8, 20, "%s", "0123456789"); }, -1, "0123456"},
        {"count limits", "prior", [](char* d) { return FormatBounded(d, 16, 4, "%s", "0123456789"); }, -1, "0123"},
        {"fills the count exactly", "prior", [](char* d) { return FormatBounded(d, 16, 10, "%s", "0123456789"); }, 10, "0123456789"},
        {"fits", "prior", [](char* d) { return FormatBounded(d, 16, 15, "%s\\%s", "C:", "x"); }, 4, "C:\\x"},
    };
    RunWriteCases(cases, sizeof cases / sizeof cases[0]);
    EXPECT_EQ(FormatBounded(nullptr, 8, 7, "x"), -1);
}

}  // namespace
