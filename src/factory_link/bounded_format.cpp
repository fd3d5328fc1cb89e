#include "factory_link/bounded_string.h"
#include "factory_link/string_primitives.h"
#include "platform/platform.h"

namespace factory_link {

namespace {
// The runtime's formatter leaves a text that fills `limit` unterminated; the byte at
// `limit` is always inside the caller's buffer, so terminate there unconditionally.
int FormatWithin(char* destination, int limit, const char* format, va_list args) {
    const int result = platform::FormatV(destination, static_cast<size_t>(limit), format, args);
    destination[limit] = '\0';
    return result;
}

int SmallerOf(int a, int b) { return a < b ? a : b; }
}  // namespace

// A null argument list is not checked: va_list is an array type on some targets and a
// pointer on others, so there is no portable test for it.
int SafeFormatV(char* destination, int size, int count, const char* format, va_list args) {
    if (!destination || !format || size <= 0) return -1;
    if (count < 1 && count != -1) return -1;
    const int limit = count == -1 ? size - 1 : SmallerOf(count, size - 1);
    return FormatWithin(destination, limit, format, args);
}

int FormatBounded(char* destination, int size, int count, const char* format, ...) {
    if (!destination || !format || size <= 0 || count <= 0) return -1;
    va_list args;
    va_start(args, format);
    const int result = FormatWithin(destination, SmallerOf(count, size - 1), format, args);
    va_end(args);
    return result;
}

}  // namespace factory_link
