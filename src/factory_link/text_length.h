// Length of a text that may not be terminated within the bytes its caller may read.
#pragma once

namespace factory_link {

// The length of `text`, or `limit` when no terminator lies in its first `limit` bytes;
// never reads past them.
inline int BoundedLength(const char* text, int limit) {
    int length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

}  // namespace factory_link
