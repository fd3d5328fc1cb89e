#include <cstring>

#include "factory_link/bounded_string.h"
#include "factory_link/path_ops.h"

namespace factory_link {

namespace {
bool IsBlankCharacter(char c) { return c == ' ' || c == '\t'; }

const char* SkipLeadingBlanks(const char* text) {
    while (IsBlankCharacter(*text)) ++text;
    return text;
}
}  // namespace

int IsBlank(const char* text) {
    if (!text) return 1;
    return *SkipLeadingBlanks(text) == '\0' ? 1 : 0;
}

void TrimBlanks(const char* source, char* destination, int size) {
    if (!destination || size <= 0) return;
    destination[0] = '\0';
    if (!source) return;
    const char* first = SkipLeadingBlanks(source);
    if (*first == '\0') return;
    const char* end = first + strlen(first);
    while (IsBlankCharacter(end[-1])) --end;
    // Too long a span leaves the destination empty: both calls refuse without writing.
    if (*end == '\0') {
        CopyIfFits(destination, size, first);
        return;
    }
    CopyPrefix(destination, size, first, static_cast<int>(end - first));
}

}  // namespace factory_link
