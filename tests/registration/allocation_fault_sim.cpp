// Replaces the global allocation functions for the host test program. The
// fault fires once and disarms itself, so the handler that reports it can
// allocate again.
#include "allocation_fault.h"

#include <cstdlib>
#include <new>

#include "platform/sim/machine.h"

namespace {

enum class Mode { Off, Next, FromCall };

Mode mode = Mode::Off;
int fromCall = 0;
bool fired = false;

bool ShouldThrow()
{
    if (mode == Mode::Off) return false;
    // CallCount allocates nothing, so asking it here cannot recurse.
    if (mode == Mode::FromCall && sim::CallCount() < fromCall) return false;
    mode = Mode::Off;
    fired = true;
    return true;
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

void Disarm()
{
    mode = Mode::Off;
}

bool Fired()
{
    return fired;
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
