// Reading and writing through CreateFileA handles, file times and attributes:
// what the portable tests use to put files in place and look at them.
#include <algorithm>
#include <cstring>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

FileOpen* OpenOf(HANDLE handle)
{
    auto it = M().fileHandles.find(reinterpret_cast<uintptr_t>(handle));
    return it == M().fileHandles.end() ? nullptr : &it->second;
}

// The file node behind a handle; none when the handle is unknown or its file
// is gone (deleted while a holder that shares deletion kept it open).
FileNode* NodeOf(FileOpen* open)
{
    if (!open) return nullptr;
    FileNode* node = FindNode(open->key);
    return node && !node->directory ? node : nullptr;
}

const DWORD kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED)
{
    const Hit hit = Enter("ReadFile");
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    FileOpen* open = OpenOf(hFile);
    FileNode* node = NodeOf(open);
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (!(open->access & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
    if (!lpBuffer && nNumberOfBytesToRead) return Fail(ERROR_NOACCESS);
    size_t start = std::min(open->position, node->contents.size());
    size_t count = std::min<size_t>(nNumberOfBytesToRead, node->contents.size() - start);
    if (count) std::memcpy(lpBuffer, node->contents.data() + start, count);
    open->position = start + count;
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(count);
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED)
{
    const Hit hit = Enter("WriteFile");
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    FileOpen* open = OpenOf(hFile);
    FileNode* node = NodeOf(open);
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (!(open->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (!lpBuffer && nNumberOfBytesToWrite) return Fail(ERROR_NOACCESS);
    const size_t at = open->position;
    if (node->contents.size() < at) node->contents.resize(at, '\0');
    const size_t overwritten = std::min<size_t>(nNumberOfBytesToWrite, node->contents.size() - at);
    if (nNumberOfBytesToWrite)
        node->contents.replace(at, overwritten, static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
    open->position = at + nNumberOfBytesToWrite;
    node->lastWrite = Now();
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
    return TRUE;
}

BOOL WINAPI SetFileTime(HANDLE hFile, const FILETIME*, const FILETIME*, const FILETIME* lpLastWriteTime)
{
    const Hit hit = Enter("SetFileTime");
    FileOpen* open = OpenOf(hFile);
    FileNode* node = NodeOf(open);
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (!(open->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    // A time of zero, like a null pointer, leaves that time as it is; only the
    // last-write time is kept by the simulated files.
    if (lpLastWriteTime && (lpLastWriteTime->dwLowDateTime || lpLastWriteTime->dwHighDateTime))
        node->lastWrite = *lpLastWriteTime;
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName)
{
    const Hit hit = Enter("GetFileAttributesA", {Str(lpFileName)});
    ResolvedPath r = ResolveArgument(Str(lpFileName));
    if (!r.ok) {
        SetLastError(r.error);
        return INVALID_FILE_ATTRIBUTES;
    }
    FileNode* node = FindNode(r.key);
    if (!node) {
        FileNode* parent = FindNode(r.parentKey);
        SetLastError(parent && parent->directory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return node->attributes ? node->attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    const Hit hit = Enter("SetFileAttributesA", {Str(lpFileName)});
    ResolvedPath r = ResolveArgument(Str(lpFileName));
    if (!r.ok) return Fail(r.error);
    FileNode* node = FindNode(r.key);
    if (!node) {
        FileNode* parent = FindNode(r.parentKey);
        return Fail(parent && parent->directory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    }
    if (ProtectedBySystem(r.key)) return Fail(ERROR_ACCESS_DENIED);
    // The attributes given replace the old ones; FILE_ATTRIBUTE_NORMAL means none.
    DWORD kept = node->directory ? static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY) : 0;
    node->attributes = kept | (dwFileAttributes & kSettableAttributes);
    return TRUE;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation)
{
    Hit hit = Enter("GetFileInformationByHandle");
    if (hit.fail) return Fail(hit.error);
    FileOpen* open = OpenOf(hFile);
    FileNode* node = NodeOf(open);
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (!lpFileInformation) return Fail(ERROR_NOACCESS);
    BY_HANDLE_FILE_INFORMATION& info = *lpFileInformation;
    info = BY_HANDLE_FILE_INFORMATION{};
    info.dwFileAttributes = node->attributes ? node->attributes : FILE_ATTRIBUTE_NORMAL;
    info.ftCreationTime = node->lastWrite;
    info.ftLastAccessTime = node->lastWrite;
    info.ftLastWriteTime = node->lastWrite;
    info.nFileSizeLow = static_cast<DWORD>(node->contents.size());
    info.nNumberOfLinks = 1;
    // A file has one name here, so its folded full path tells it from every
    // other file: the index is made from it, the volume from the drive letter.
    std::uint64_t index = 14695981039346656037ULL;  // FNV-1a
    for (const char c : open->key) index = (index ^ static_cast<BYTE>(c)) * 1099511628211ULL;
    info.nFileIndexHigh = static_cast<DWORD>(index >> 32);
    info.nFileIndexLow = static_cast<DWORD>(index);
    info.dwVolumeSerialNumber = 0x5EED0000u | static_cast<BYTE>(open->key[0]);
    return TRUE;
}

BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove, PLARGE_INTEGER lpNewFilePointer,
                             DWORD dwMoveMethod)
{
    const Hit hit = Enter("SetFilePointerEx");
    FileOpen* open = OpenOf(hFile);
    FileNode* node = NodeOf(open);
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (hit.fail) return Fail(hit.error);
    long long base = 0;
    switch (dwMoveMethod) {
    case FILE_BEGIN: break;
    case FILE_CURRENT: base = static_cast<long long>(open->position); break;
    case FILE_END: base = static_cast<long long>(node->contents.size()); break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    const long long target = base + liDistanceToMove.QuadPart;
    if (target < 0) return Fail(ERROR_NEGATIVE_SEEK);
    open->position = static_cast<size_t>(target);  // past the end is allowed, as on Windows
    if (lpNewFilePointer) lpNewFilePointer->QuadPart = target;
    return TRUE;
}

BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize)
{
    const Hit hit = Enter("GetFileSizeEx");
    FileNode* node = NodeOf(OpenOf(hFile));
    if (!node) return Fail(ERROR_INVALID_HANDLE);
    if (hit.fail) return Fail(hit.error);
    if (!lpFileSize) return Fail(ERROR_NOACCESS);
    lpFileSize->QuadPart = static_cast<long long>(node->contents.size());
    return TRUE;
}
