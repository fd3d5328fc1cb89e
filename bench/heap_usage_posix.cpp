#include <malloc.h>

#include "heap_usage.h"

namespace bench {

uint64_t HeapBytesInUse() {
    struct mallinfo2 info = mallinfo2();
    return static_cast<uint64_t>(info.uordblks) + static_cast<uint64_t>(info.hblkhd);
}

}  // namespace bench
