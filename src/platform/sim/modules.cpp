// sfc.dll and Windows Resource Protection: the one module the tool loads at
// run time, and the files it tells about.
#include <cstring>

#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

// Files of the system directory that every Windows protects; the machine
// keeps its own list, as a real system does.
const char* const kSystemFiles[] = {
    "ADVAPI32.DLL", "GDI32.DLL", "IMM32.DLL", "KERNEL32.DLL", "MSCTF.DLL", "NTDLL.DLL", "USER32.DLL",
    "CMD.EXE",      "NOTEPAD.EXE",
};

// The folded key of a file of the system directory with that folded name.
bool SystemFileKey(const std::string& key)
{
    const std::string folder = Fold(M().systemDirectory) + "\\";
    if (key.compare(0, folder.size(), folder) != 0) return false;
    const std::string name = key.substr(folder.size());
    for (const char* file : kSystemFiles) {
        if (name == file) return true;
    }
    return false;
}

const uintptr_t kSfcModule = 0x5FC0000;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

bool ProtectedBySystem(const std::string& key)
{
    const FileNode* node = FindNode(key);
    return node && !node->directory && (node->protectedBySystem || SystemFileKey(key));
}

}  // namespace detail

using namespace detail;

void ProtectFile(const std::string& path)
{
    const ResolvedPath r = Resolve(path);
    if (FileNode* node = r.ok ? FindNode(r.key) : nullptr) node->protectedBySystem = true;
}

void SetFileProtectionAnswers(bool answered)
{
    M().protectionAnswers = answered;
}

int LoadedModuleCount()
{
    return M().loadedModules;
}

}  // namespace sim

using namespace sim::detail;

HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE, DWORD)
{
    const Hit hit = Enter("LoadLibraryExA", {Str(lpLibFileName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return nullptr;
    }
    const ResolvedPath r = ResolveArgument(Str(lpLibFileName));
    if (!r.ok || r.key != Fold(M().systemDirectory) + "\\SFC.DLL") {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++M().loadedModules;
    return reinterpret_cast<HMODULE>(kSfcModule);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    const Hit hit = Enter("GetProcAddress", {Str(lpProcName)});
    if (hModule != reinterpret_cast<HMODULE>(kSfcModule) || M().loadedModules == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (hit.fail || !lpProcName || std::strcmp(lpProcName, "SfcIsFileProtected") != 0) {
        SetLastError(hit.fail ? hit.error : ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SfcIsFileProtected));
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    const Hit hit = Enter("FreeLibrary");
    if (hLibModule != reinterpret_cast<HMODULE>(kSfcModule) || M().loadedModules == 0) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    --M().loadedModules;
    return TRUE;
}

BOOL WINAPI SfcIsFileProtected(HANDLE, LPCWSTR ProtFileName)
{
    const Hit hit = Enter("SfcIsFileProtected");
    if (hit.fail) return Fail(hit.error);
    std::u16string wide;
    for (const WCHAR* at = ProtFileName; at && *at; ++at) wide += static_cast<char16_t>(*at);
    const std::string name = NameFromUtf16(wide);
    const ResolvedPath r = Resolve(name);
    // Windows answers from its list, whether the file is there or not.
    const FileNode* node = r.ok ? FindNode(r.key) : nullptr;
    const bool listed = r.ok && (SystemFileKey(r.key) || (node && node->protectedBySystem));
    // Unprotected, and everything for a stub, is told as file not found.
    if (!M().protectionAnswers || !listed) return Fail(ERROR_FILE_NOT_FOUND);
    return TRUE;
}
