#include <pthread.h>

#include "platform/platform.h"

namespace platform {

// glibc's pthread_t is the address of the thread's descriptor, so never 0. The C-style
// cast accepts both the integer and the pointer forms that POSIX allows.
uintptr_t CurrentThreadId() { return (uintptr_t)pthread_self(); }

}  // namespace platform
