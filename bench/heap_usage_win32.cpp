#include <malloc.h>

#include "heap_usage.h"

namespace bench {

// Walks the C runtime's heap: slow, but only called around the memory measurement.
uint64_t HeapBytesInUse() {
    _HEAPINFO entry;
    entry._pentry = nullptr;
    uint64_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) used += entry._size;
    return used;
}

}  // namespace bench
