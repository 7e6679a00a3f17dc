// Replaces the global allocation functions for the host test program. The
// fault fires once, so the handler that reports it can allocate again.
#include "allocation_fault.h"

#include <cstddef>
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

// Every form of the global allocation functions is replaced: a form left to
// the library (or to AddressSanitizer, which replaces them all) would pair an
// allocation of one allocator with a release by the other. GoogleTest itself
// allocates with new (std::nothrow).
namespace {

void* Allocate(std::size_t size, std::size_t alignment, bool throws)
{
    void* block = nullptr;
    if (!ShouldThrow()) {
        if (size == 0) size = 1;
        if (alignment <= alignof(std::max_align_t)) {
            block = std::malloc(size);
        } else {
            // aligned_alloc wants a size that is a multiple of the alignment.
            block = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
        }
    }
    if (block == nullptr && throws) throw std::bad_alloc();
    return block;
}

constexpr std::size_t kDefault = alignof(std::max_align_t);

std::size_t Alignment(std::align_val_t alignment)
{
    return static_cast<std::size_t>(alignment);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size, kDefault, true); }
void* operator new[](std::size_t size) { return Allocate(size, kDefault, true); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kDefault, false); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kDefault, false); }
void* operator new(std::size_t size, std::align_val_t a) { return Allocate(size, Alignment(a), true); }
void* operator new[](std::size_t size, std::align_val_t a) { return Allocate(size, Alignment(a), true); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, Alignment(a), false);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, Alignment(a), false);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
