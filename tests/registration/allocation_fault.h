// Makes one heap allocation of the test program throw std::bad_alloc, to
// reach the paths that a machine out of memory would take. Disarmed, the
// allocator behaves as usual.
#pragma once

namespace allocation_fault {

// The first allocation made after the simulated machine has begun serving
// call number `callNumber` (counted as sim::CallCount counts) throws.
void FailFirstAllocationFromCall(int callNumber);

// The very next allocation throws.
void FailNextAllocation();

void Disarm();

// True once an armed allocation has thrown.
bool Fired();

}  // namespace allocation_fault
