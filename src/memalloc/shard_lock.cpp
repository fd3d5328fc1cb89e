#include "memalloc/shard_lock.h"

#include <thread>

namespace memalloc {

namespace {
// Long enough for a holder on another core to finish a table operation; a holder that was
// preempted, or writes a message, is waited for by yielding instead.
constexpr int kSpinsBeforeYielding = 200;
}  // namespace

void ShardLock::LockContended() {
    for (int spins = 0;; ++spins) {
        // Read before exchanging, so that waiters do not keep taking the line from the holder.
        if (held_.load(std::memory_order_relaxed) == 0 && TryLock()) return;
        if (spins >= kSpinsBeforeYielding) std::this_thread::yield();
    }
}

}  // namespace memalloc
