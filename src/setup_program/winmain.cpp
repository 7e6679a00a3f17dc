// The Windows entry point: a GUI program without a window of its own.
#include "platform/win32.h"

#include "program_guard/dll_search.h"
#include "setup_program/program.h"

namespace {

// The DLLs the process loads after the entry point, leaves first: a DLL
// loaded by name is taken as it is when one of that name is already loaded,
// wherever the search would have looked. Measured under Wine 8 with
// WINEDEBUG=+loaddll while the program shows its box (installation, the
// reinstall question and removal load the same ones; the x86 build under
// WoW64 loads the same as the x64 one, its own 32-bit copies); the program's own
// imports (KERNEL32, USER32, ADVAPI32, IMM32, msvcrt) are KnownDLLs on
// Windows, always taken from the system directory, and are loaded before the
// entry point in any case. Not here: comctl32.dll, which the manifest's
// side-by-side redirection takes from the system's assembly store (version
// 6; the system directory's copy is version 5), never from the folder; and
// Wine's display driver, loaded by name, which the restricted search keeps
// to the system directory.
const char* const kLaterLoads[] = {
    "msimg32.dll",  // Wine: loaded with uxtheme.dll
    "dwmapi.dll",   // Windows: loaded by uxtheme.dll for desktop composition (Vista and later)
    "uxtheme.dll",  // the themed box, for Common Controls 6; not a KnownDLL
    "rpcrt4.dll",   // Wine: Common Controls bring in COM (rpcrt4, combase, ole32);
    "combase.dll",  //   KnownDLLs on Windows, where loading them here costs nothing
    "ole32.dll",
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything that can load a DLL.
    RestrictDllSearch(kLaterLoads, sizeof kLaterLoads / sizeof kLaterLoads[0]);
    return RunProgram();
}
