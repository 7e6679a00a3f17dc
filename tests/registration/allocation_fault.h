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

// Counting from now (1 = the next), the n-th allocation of the tool's own
// code throws; with 0 they are only counted. An allocation made while the
// simulated machine serves a call is not the tool's: a real system makes it
// in its own heap, and its failure shows as a failing call.
void FailToolAllocationNumber(int n);

// The tool's allocations counted since FailToolAllocationNumber, up to Disarm.
int ToolAllocationCount();

// Ends any fault and the counting.
void Disarm();

// True once an armed allocation has thrown.
bool Fired();

// sim::CallCount() when the armed allocation threw.
int FiredAfterCall();

}  // namespace allocation_fault
