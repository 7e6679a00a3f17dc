// Windows Resource Protection: the files it keeps, and sfc.dll, the system's
// DLL that tells them (loaded through modules.cpp).
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

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

void PutSfcLibrary()
{
    // Through void(*)() to tell the compiler the signature change is meant.
    PutSystemLibrary("sfc.dll",
                     {{"SfcIsFileProtected", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SfcIsFileProtected))}});
}

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

}  // namespace sim

using namespace sim::detail;

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
    // Unprotected, and every file where the answers are off, is told as file not found.
    if (!M().protectionAnswers || !listed) return Fail(ERROR_FILE_NOT_FOUND);
    return TRUE;
}
