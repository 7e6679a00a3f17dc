// Replaces the global allocation functions for the host test program. The
// fault fires once, so the handler that reports it can allocate again.
#include "allocation_fault.h"

#include <cstdlib>
#include <new>

#include "platform/sim/machine.h"

namespace {

enum class Mode { Off, Next, FromCall, ToolNumber };

Mode mode = Mode::Off;
int fromCall = 0;
int toolAllocations = 0;
int failingToolAllocation = 0;
bool fired = false;
int firedAfterCall = 0;

// CallCount and ServingACall allocate nothing, so asking them here cannot recurse.
bool Fire()
{
    fired = true;
    firedAfterCall = sim::CallCount();
    return true;
}

bool ShouldThrow()
{
    switch (mode) {
    case Mode::Off:
        return false;
    case Mode::ToolNumber:
        // Counting goes on past the failing one, so a run's total is known.
        if (sim::ServingACall() || ++toolAllocations != failingToolAllocation) return false;
        return Fire();
    case Mode::FromCall:
        if (sim::CallCount() < fromCall) return false;
        break;
    case Mode::Next:
        break;
    }
    mode = Mode::Off;
    return Fire();
}

}  // namespace

namespace allocation_fault {

void FailFirstAllocationFromCall(int callNumber)
{
    fired = false;
    fromCall = callNumber;
    mode = Mode::FromCall;
}

void FailNextAllocation()
{
    fired = false;
    mode = Mode::Next;
}

void FailToolAllocationNumber(int n)
{
    fired = false;
    toolAllocations = 0;
    failingToolAllocation = n;
    mode = Mode::ToolNumber;
}

int ToolAllocationCount()
{
    return toolAllocations;
}

void Disarm()
{
    mode = Mode::Off;
}

bool Fired()
{
    return fired;
}

int FiredAfterCall()
{
    return firedAfterCall;
}

}  // namespace allocation_fault

void* operator new(std::size_t size)
{
    if (ShouldThrow()) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
