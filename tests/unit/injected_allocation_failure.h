// Allocation failures injected into the unit program: it replaces the global allocation
// functions, so the module's code runs unchanged and meets a real std::bad_alloc or a null
// result. Counted per thread, so that other threads neither trigger nor consume a failure.
#pragma once

namespace injected {

// The n-th allocation from now on this thread fails (n >= 1); 0 disarms.
void FailAllocation(int n);
// What is left of the countdown: 0 once the failure was reached (or when disarmed).
int Countdown();
// Allocations minus deallocations made on this thread so far.
long OutstandingAllocations();

// Arms the countdown for a scope and disarms it at the end; Reached() tells whether the
// failing allocation happened inside.
class FailureScope {
public:
    explicit FailureScope(int n) { FailAllocation(n); }
    ~FailureScope() { FailAllocation(0); }
    FailureScope(const FailureScope&) = delete;
    FailureScope& operator=(const FailureScope&) = delete;
    bool Reached() const { return Countdown() == 0; }
};

}  // namespace injected
