// Opening, closing, copying and deleting files, with share modes and the
// read-only and hidden attributes and the system's protected files honoured
// as Windows does. CopyFileA opens its source
// for reading with every sharing allowed and its target for writing shared
// for reading and writing, as Windows' own copy does.
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

DWORD ShareNeeded(DWORD access)
{
    DWORD need = 0;
    if (access & GENERIC_READ) need |= FILE_SHARE_READ;
    if (access & GENERIC_WRITE) need |= FILE_SHARE_WRITE;
    if (access & DELETE) need |= FILE_SHARE_DELETE;
    return need;
}

bool Conflicts(const FileOpen& held, DWORD access, DWORD share)
{
    // An open without read, write or delete access (one that only looks at
    // attributes) takes no part in sharing, on either side.
    if (ShareNeeded(access) == 0 || ShareNeeded(held.access) == 0) return false;
    if ((ShareNeeded(access) & ~held.share) != 0) return true;
    return (ShareNeeded(held.access) & ~share) != 0;
}

HANDLE FailHandle(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL FailBool(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

bool ShareConflict(const std::string& key, DWORD access, DWORD share, const FileOpen* ignore)
{
    for (auto& h : M().fileHandles)
        if (&h.second != ignore && h.second.key == key && Conflicts(h.second, access, share)) return true;
    for (auto& h : M().holds)
        if (&h.second != ignore && h.second.key == key && Conflicts(h.second, access, share)) return true;
    return false;
}

}  // namespace detail
}  // namespace sim

using namespace sim::detail;

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE)
{
    Hit hit = Enter("CreateFileA", {Str(lpFileName)});
    if (hit.fail) return FailHandle(hit.error);
    if (!lpFileName) return FailHandle(ERROR_PATH_NOT_FOUND);
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
        return FailHandle(ERROR_INVALID_PARAMETER);
    ResolvedPath r = ResolveArgument(lpFileName);
    if (!r.ok) return FailHandle(r.error);
    if (r.lastName.empty()) return FailHandle(ERROR_ACCESS_DENIED);  // a drive root
    FileNode* parent = FindNode(r.parentKey);
    if (!parent || !parent->directory) return FailHandle(ERROR_PATH_NOT_FOUND);
    FileNode* node = FindNode(r.key);
    bool writes = (dwDesiredAccess & GENERIC_WRITE) != 0;

    if (node && node->directory) return FailHandle(ERROR_ACCESS_DENIED);
    if (r.trailingSlash) return FailHandle(node ? ERROR_INVALID_NAME : ERROR_FILE_NOT_FOUND);
    if (!node && (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING))
        return FailHandle(ERROR_FILE_NOT_FOUND);
    if (node && dwCreationDisposition == CREATE_NEW) return FailHandle(ERROR_FILE_EXISTS);
    bool truncates = node && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING);
    if (node && (node->attributes & FILE_ATTRIBUTE_READONLY) && (writes || truncates))
        return FailHandle(ERROR_ACCESS_DENIED);
    // A protected file's ACL grants an administrator reading only.
    if (node && (writes || truncates || (dwDesiredAccess & DELETE)) && ProtectedBySystem(r.key))
        return FailHandle(ERROR_ACCESS_DENIED);
    if (node && ShareConflict(r.key, dwDesiredAccess, dwShareMode)) return FailHandle(ERROR_SHARING_VIOLATION);

    bool existed = node != nullptr;
    if (!node) {
        FileNode fresh;
        fresh.name = r.lastName;
        fresh.parentKey = r.parentKey;
        fresh.lastWrite = Now();
        DWORD attrs = dwFlagsAndAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        fresh.attributes = FILE_ATTRIBUTE_ARCHIVE | attrs;
        node = &(M().files[r.key] = fresh);
    } else if (truncates) {
        node->contents.clear();
        node->lastWrite = Now();
    }
    uintptr_t value = M().nextHandle;
    M().nextHandle += 4;
    M().fileHandles[value] = FileOpen{r.key, dwDesiredAccess, dwShareMode};
    // Windows reports an existing file for these dispositions on success.
    bool reportsExisting = existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(value);
}

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    Hit hit = Enter("CloseHandle");
    auto it = M().fileHandles.find(reinterpret_cast<uintptr_t>(hObject));
    if (it == M().fileHandles.end()) return FailBool(ERROR_INVALID_HANDLE);
    // A failed close still releases the handle, so that fault sweeps do not
    // show up as leaks.
    M().fileHandles.erase(it);
    if (hit.fail) return FailBool(hit.error);
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists)
{
    Hit hit = Enter("CopyFileA", {Str(lpExistingFileName), Str(lpNewFileName)});
    if (hit.fail) return FailBool(hit.error);
    if (!lpExistingFileName || !lpNewFileName) return FailBool(ERROR_PATH_NOT_FOUND);

    ResolvedPath src = ResolveArgument(lpExistingFileName);
    if (!src.ok) return FailBool(src.error);
    FileNode* srcParent = FindNode(src.parentKey);
    if (!src.lastName.empty() && (!srcParent || !srcParent->directory)) return FailBool(ERROR_PATH_NOT_FOUND);
    FileNode* from = FindNode(src.key);
    if (!from) return FailBool(ERROR_FILE_NOT_FOUND);
    if (from->directory) return FailBool(ERROR_ACCESS_DENIED);
    // The source is read through a handle that shares everything: only a
    // holder that does not share reading stops the copy.
    if (ShareConflict(src.key, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailBool(ERROR_SHARING_VIOLATION);

    ResolvedPath dst = ResolveArgument(lpNewFileName);
    if (!dst.ok) return FailBool(dst.error);
    if (dst.lastName.empty()) return FailBool(ERROR_ACCESS_DENIED);
    FileNode* dstParent = FindNode(dst.parentKey);
    if (!dstParent || !dstParent->directory) return FailBool(ERROR_PATH_NOT_FOUND);
    FileNode* to = FindNode(dst.key);
    // A copy onto the source itself is refused before the target is opened.
    if (dst.key == src.key && !bFailIfExists) return FailBool(ERROR_SHARING_VIOLATION);
    if (to && to->directory) return FailBool(ERROR_ACCESS_DENIED);
    if (to && bFailIfExists) return FailBool(ERROR_FILE_EXISTS);
    // A read-only or hidden target is not overwritten (CopyFile).
    if (to && (to->attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))) return FailBool(ERROR_ACCESS_DENIED);
    if (to && ProtectedBySystem(dst.key)) return FailBool(ERROR_ACCESS_DENIED);
    // The target is written through a handle that shares reading and writing,
    // not deletion: a holder must share writing and may not hold it for delete.
    if (to && ShareConflict(dst.key, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE))
        return FailBool(ERROR_SHARING_VIOLATION);

    FileNode copy = *from;
    copy.name = to ? to->name : dst.lastName;  // an overwritten file keeps its name's case
    copy.parentKey = dst.parentKey;
    copy.attributes = (from->attributes | FILE_ATTRIBUTE_ARCHIVE);
    copy.protectedBySystem = false;  // the protection is the original's ACL
    M().files[dst.key] = copy;
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName)
{
    Hit hit = Enter("DeleteFileA", {Str(lpFileName)});
    if (hit.fail) return FailBool(hit.error);
    if (!lpFileName) return FailBool(ERROR_PATH_NOT_FOUND);
    ResolvedPath r = ResolveArgument(lpFileName);
    if (!r.ok) return FailBool(r.error);
    if (r.lastName.empty()) return FailBool(ERROR_ACCESS_DENIED);
    FileNode* parent = FindNode(r.parentKey);
    if (!parent || !parent->directory) return FailBool(ERROR_PATH_NOT_FOUND);
    FileNode* node = FindNode(r.key);
    if (!node) return FailBool(ERROR_FILE_NOT_FOUND);
    if (node->directory) return FailBool(ERROR_ACCESS_DENIED);
    if (node->attributes & FILE_ATTRIBUTE_READONLY) return FailBool(ERROR_ACCESS_DENIED);
    if (ProtectedBySystem(r.key)) return FailBool(ERROR_ACCESS_DENIED);
    if (ShareConflict(r.key, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailBool(ERROR_SHARING_VIOLATION);
    M().files.erase(r.key);
    return TRUE;
}

DWORD WINAPI GetLastError(void)
{
    return M().lastError;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    M().lastError = dwErrCode;
}
