// How messages print an address: all of it, in lower-case hex. The 32-bit texts read
// "0x%08x"; on 64-bit targets the same place holds 16 digits.
#pragma once

#include <cstdint>

#if UINTPTR_MAX > 0xFFFFFFFFu
#define ZORVI_ADDRESS_HEX "%016llx"
#else
#define ZORVI_ADDRESS_HEX "%08x"
#endif

namespace platform {

#if UINTPTR_MAX > 0xFFFFFFFFu
using AddressArgument = unsigned long long;
#else
using AddressArgument = unsigned int;
#endif

// The value to pass for ZORVI_ADDRESS_HEX.
inline AddressArgument AddressValue(const void* address) {
    return static_cast<AddressArgument>(reinterpret_cast<uintptr_t>(address));
}

}  // namespace platform
