// The program is run elevated, typically from a download folder where other
// files lie. Windows takes a DLL that is not on its KnownDLLs list from the
// program's own folder first, so a DLL planted there under the name of one
// the process loads later would run with administrator rights.
#include "setup_program/dll_search.h"

#include "platform/win32.h"

namespace {

// Windows 8 and later; Vista and 7 only with update KB2533623.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// The DLLs the process loads after the entry point, leaves first: a DLL
// loaded by name is taken as it is when one of that name is already loaded,
// wherever the search would have looked. Measured under Wine 8 with
// WINEDEBUG=+loaddll while the program shows its box (installation, the
// reinstall question and removal load the same ones); the program's own
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

void RestrictDllSearch() noexcept
{
    // The current directory is taken out of the search order on every system.
    SetDllDirectoryA("");

    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (found) {
        // Through void(*)() to tell the compiler the signature change is meant.
        const auto setDefaultDllDirectories =
            reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }

    // A fixed buffer: nothing here may throw, it runs before the guarded run.
    // A 32-bit program on 64-bit Windows names System32 and reaches SysWOW64,
    // where its own DLLs are.
    char path[MAX_PATH + 32] = "";
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    path[length] = '\\';
    for (const char* name : kLaterLoads) {
        lstrcpynA(path + length + 1, name, sizeof path - length - 1);
        // Kept loaded for the life of the process, on purpose; a DLL missing
        // on this system is no error. The altered search path takes its own
        // imports from its folder, the system directory, first.
        LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}
