#include <cstring>

#include "factory_link/bounded_string.h"
#include "factory_link/string_primitives.h"
#include "factory_link/text_length.h"

namespace factory_link {

namespace {
// The answer of SafeCopy and SafeAppend to a refused destination, source or size.
int RefusedArgumentCode(int size) { return size == 0 ? kERANGE : kEINVAL; }
}  // namespace

int SafeCopy(char* destination, int size, const char* source) {
    if (!destination || !source || size <= 0) return RefusedArgumentCode(size);
    const int length = BoundedLength(source, size);
    if (length >= size) return kERANGE;
    memcpy(destination, source, static_cast<size_t>(length));
    destination[length] = '\0';
    return 0;
}

int SafeCopyN(char* destination, int size, const char* source, int count) {
    if (!destination || !source || size <= 0 || count <= 0) return kEINVAL;
    if (count >= size) {
        destination[0] = '\0';
        return kEINVAL;
    }
    // A source shorter than count ends the copy at its own terminator.
    const int length = BoundedLength(source, count);
    memcpy(destination, source, static_cast<size_t>(length));
    destination[length] = '\0';
    return 0;
}

int SafeAppend(char* destination, int size, const char* source) {
    if (!destination || !source || size <= 0) return RefusedArgumentCode(size);
    // An unterminated destination measures `size` and so never has room.
    const int used = BoundedLength(destination, size);
    const int length = BoundedLength(source, size);
    if (used + length >= size) return kERANGE;
    memcpy(destination + used, source, static_cast<size_t>(length));
    destination[used + length] = '\0';
    return 0;
}

}  // namespace factory_link
