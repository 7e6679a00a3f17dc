// The one machine, its clock and its reset to a clean state.
#include "platform/sim/state.h"

#include "platform/sim/call_hooks.h"

namespace sim {
namespace detail {

Machine& M()
{
    static Machine machine;
    static bool ready = false;
    if (!ready) {  // a program that never calls Reset still meets a clean machine
        ready = true;
        Reset();
    }
    return machine;
}

ULONGLONG Ticks(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FromTicks(ULONGLONG t)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

FILETIME Now()
{
    return M().clock;
}

}  // namespace detail

using namespace detail;

void Reset()
{
    Machine& m = M();
    m = Machine();
    m.clock = MakeFileTime(2024, 6, 1, 12, 0, 0);
    m.loadedLayouts.insert(0x08040804);
    SetCommandLine("imesetup.exe");
    ResetFiles();
    ResetRegistry();
    PutSfcLibrary();
    ClearCallHooks();
}

}  // namespace sim
