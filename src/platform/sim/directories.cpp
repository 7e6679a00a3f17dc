// The current, system and temporary directories, with the Windows buffer
// rules: when the text fits, its length without the zero; when it does not,
// the size needed with the zero, and the buffer is left alone. Directories
// are made and removed here too, by ANSI names and by wide ones.
#include <cstring>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

// A wide name as the machine keeps it.
std::string NameOf(LPCWSTR text)
{
    std::u16string wide;
    for (const WCHAR* p = text; p && *p; ++p) wide += static_cast<char16_t>(*p);
    return NameFromUtf16(wide);
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    Hit hit = Enter("GetCurrentDirectoryA");
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    // A character the code page lacks comes out as '?'.
    return CopyOut(AnsiFromName(M().currentDirectory), lpBuffer, nBufferLength);
}

DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer)
{
    Hit hit = Enter("GetCurrentDirectoryW");
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    const std::u16string text = Utf16FromName(M().currentDirectory);
    if (!lpBuffer || nBufferLength <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(lpBuffer, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(text.size());
}

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    Hit hit = Enter("GetSystemDirectoryA");
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    return CopyOut(M().systemDirectory, lpBuffer, uSize);
}

UINT WINAPI GetSystemWow64DirectoryA(LPSTR lpBuffer, UINT uSize)
{
    const Hit hit = Enter("GetSystemWow64DirectoryA");
    if (M().wow64Directory.empty()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    return CopyOut(M().wow64Directory, lpBuffer, uSize);
}

namespace {

// The path as the machine keeps it becomes the current directory.
BOOL EnterDirectory(const std::string& path)
{
    ResolvedPath r = ResolveArgument(path);
    if (!r.ok) {
        SetLastError(r.error);
        return FALSE;
    }
    FileNode* node = FindNode(r.key);
    if (!node || !node->directory) {
        FileNode* parent = FindNode(r.parentKey);
        SetLastError(node ? ERROR_DIRECTORY
                          : parent && parent->directory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    M().currentDirectory = r.full;  // as resolved: no final backslash but at a root
    return TRUE;
}

}  // namespace

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName)
{
    Hit hit = Enter("SetCurrentDirectoryA", {Str(lpPathName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return FALSE;
    }
    return EnterDirectory(Str(lpPathName));
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName)
{
    Hit hit = Enter("SetCurrentDirectoryW");
    if (hit.fail) {
        SetLastError(hit.error);
        return FALSE;
    }
    return EnterDirectory(NameOf(lpPathName));
}

namespace {

BOOL MakeDirectory(const std::string& path)
{
    ResolvedPath r = ResolveArgument(path);
    if (!r.ok) {
        SetLastError(r.error);
        return FALSE;
    }
    if (r.lastName.empty() || FindNode(r.key)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    FileNode* parent = FindNode(r.parentKey);
    if (!parent || !parent->directory) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    MakeDirectories(r.full);
    return TRUE;
}

BOOL RemoveEmptyDirectory(const std::string& path)
{
    ResolvedPath r = ResolveArgument(path);
    if (!r.ok) {
        SetLastError(r.error);
        return FALSE;
    }
    FileNode* node = FindNode(r.key);
    DWORD error = ERROR_SUCCESS;
    if (!node) {
        FileNode* parent = FindNode(r.parentKey);
        error = parent && parent->directory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    } else if (!node->directory) {
        error = ERROR_DIRECTORY;
    } else if (r.lastName.empty() || r.key == Fold(M().currentDirectory)) {
        error = ERROR_SHARING_VIOLATION;  // the process holds its current directory open
    } else {
        for (auto& f : M().files)
            if (f.second.parentKey == r.key) error = ERROR_DIR_NOT_EMPTY;
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    M().files.erase(r.key);
    return TRUE;
}

}  // namespace

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    const Hit hit = Enter("CreateDirectoryA", {Str(lpPathName)});
    return MakeDirectory(Str(lpPathName));
}

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    const Hit hit = Enter("CreateDirectoryW");
    return MakeDirectory(NameOf(lpPathName));
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName)
{
    const Hit hit = Enter("RemoveDirectoryA", {Str(lpPathName)});
    return RemoveEmptyDirectory(Str(lpPathName));
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName)
{
    const Hit hit = Enter("RemoveDirectoryW");
    return RemoveEmptyDirectory(NameOf(lpPathName));
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    const Hit hit = Enter("GetTempPathA");
    return CopyOut(M().tempDirectory + "\\", lpBuffer, nBufferLength);
}
