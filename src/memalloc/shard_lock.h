// The lock of one block-store shard: one atomic word, taken with a single exchange and
// released with a plain store, because it sits on the path of every Alloc and Free and is
// held only for a few table operations. A thread that finds it taken spins briefly, then
// yields until it is free.
//
// Not recursive by itself: the block store lets the thread that holds a shard's lock for a
// callout (a message, the leak report) enter again without taking it (see BlockStore).
#pragma once

#include <atomic>
#include <cstdint>

namespace memalloc {

class ShardLock {
public:
    // True when the lock was free and is now held by the caller.
    bool TryLock() { return held_.exchange(1, std::memory_order_acquire) == 0; }
    // Waits until the lock is free and takes it.
    void LockContended();
    void Unlock() { held_.store(0, std::memory_order_release); }

private:
    std::atomic<uint32_t> held_{0};
};

}  // namespace memalloc
