// Bytes the C runtime's heap has handed out and not taken back, for measuring what
// tracking costs per live block.
#pragma once

#include <cstdint>

namespace bench {

uint64_t HeapBytesInUse();

}  // namespace bench
