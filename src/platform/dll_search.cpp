// The program is run elevated, typically from a download folder where other
// files lie. Windows takes a DLL that is not on its KnownDLLs list from the
// program's own folder first, so a DLL planted there under the name of one
// the process loads later would run with administrator rights.
#include "platform/dll_search.h"

#include "platform/win32.h"

#include <string>

namespace {

// Windows 8 and later; Vista and 7 only with update KB2533623.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// The DLLs loaded after the entry point, measured under Wine with
// WINEDEBUG=+loaddll while the program shows its box, and known on Windows;
// the program's own imports (KERNEL32, USER32, ADVAPI32, IMM32, msvcrt) are
// KnownDLLs there, always taken from the system directory. Dependencies come
// before the DLLs that import them: a DLL loaded by name is taken as it is
// already loaded, wherever the search would have looked.
const char* const kLaterLoads[] = {
    "msimg32.dll",  // imported by uxtheme.dll
    "uxtheme.dll",  // the themed box: imported by Common Controls 6
    "rpcrt4.dll",   // under Wine comctl32 brings in COM: rpcrt4, combase, ole32
    "combase.dll",  //   (KnownDLLs on Windows)
    "ole32.dll",
};

}  // namespace

void RestrictDllSearch()
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

    char systemDirectory[MAX_PATH + 1] = "";
    const UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    for (const char* name : kLaterLoads) {
        const std::string path = std::string(systemDirectory) + "\\" + name;
        // Kept loaded for the life of the process, on purpose. The altered
        // search path resolves its own imports from the system directory.
        LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}
