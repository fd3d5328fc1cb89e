#include "factory_link/bounded_string.h"
#include "factory_link/text_length.h"

// Each operation makes its primitive's test itself and answers 1 or 0; the primitive's
// error number is not what callers look at.
namespace factory_link {

int FitsIn(const char* text, int size) {
    if (!text || size <= 0) return 0;
    return BoundedLength(text, size) < size ? 1 : 0;
}

int CopyIfFits(char* destination, int size, const char* source) {
    if (!destination || !source || size <= 0 || !FitsIn(source, size)) return 0;
    kStringFunctions.SafeCopy(destination, size, source);
    return 1;
}

int CopyPrefix(char* destination, int size, const char* source, int count) {
    if (!destination || !source || count <= 0 || count >= size) return 0;
    kStringFunctions.SafeCopyN(destination, size, source, count);
    destination[count] = '\0';
    return 1;
}

int AppendIfFits(char* destination, int size, const char* source) {
    if (!destination || !source || size <= 0) return 0;
    if (BoundedLength(destination, size) + BoundedLength(source, size) >= size) return 0;
    kStringFunctions.SafeAppend(destination, size, source);
    return 1;
}

}  // namespace factory_link
