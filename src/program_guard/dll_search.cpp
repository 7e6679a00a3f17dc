// The program is run elevated, typically from a download folder where other
// files lie. Windows takes a DLL that is not on its KnownDLLs list from the
// program's own folder first, so a DLL planted there under the name of one
// the process loads later would run with administrator rights.
#include "program_guard/dll_search.h"

#include "platform/win32.h"

namespace {

// Windows 8 and later; Vista and 7 only with update KB2533623.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearch(const char* const* laterLoads, std::size_t count) noexcept
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
    for (std::size_t i = 0; i < count; ++i) {
        lstrcpynA(path + length + 1, laterLoads[i], sizeof path - length - 1);
        // Kept loaded for the life of the process, on purpose; a DLL missing
        // on this system is no error. The altered search path takes its own
        // imports from its folder, the system directory, first.
        LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}
