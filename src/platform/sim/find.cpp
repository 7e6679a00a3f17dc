// FindFirstFileA, FindNextFileA and FindClose: the entries of one directory
// that match the last component of the name, read as a search pattern with
// the DOS wildcard rules of dos_wildcards.cpp. Entries come in the order NTFS
// keeps them, sorted by upper-cased name, after "." and ".." of a non-root
// directory. Short (8.3) names are not simulated: a pattern matches the names
// as they were created only. A DOS device name (CON, NUL, ...) finds the
// device, as Windows' FindFirstFileExW reports it.
#include <algorithm>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

HANDLE FailFind(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// The last component of a name exactly as written: the path rules drop its
// final dots and blanks, which a pattern such as "*." needs.
std::string WrittenLastComponent(const std::string& name)
{
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsLead(static_cast<BYTE>(name[i])) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (name[i] == '\\' || name[i] == '/' || (i == 1 && name[i] == ':')) start = i + 1;
    }
    return name.substr(start);
}

// The DOS device a name stands for, wherever it stands (RtlIsDosDeviceName_U):
// CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9, alone or followed by an
// extension, a colon or blanks. Empty for any other name.
std::string DeviceIn(const std::string& name)
{
    std::string base = name.substr(0, name.find_first_of(".:"));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    const std::string upper = Fold(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (upper == device) return base;
    const bool numbered = upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9' &&
                          (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0);
    return numbered ? base : std::string();
}

void Fill(WIN32_FIND_DATAA* data, const FindEntry& entry)
{
    const FileNode& node = entry.node;
    *data = WIN32_FIND_DATAA{};
    data->dwFileAttributes = node.attributes ? node.attributes : FILE_ATTRIBUTE_NORMAL;
    data->ftCreationTime = node.lastWrite;
    data->ftLastAccessTime = node.lastWrite;
    data->ftLastWriteTime = node.lastWrite;
    data->nFileSizeLow = node.directory ? 0 : static_cast<DWORD>(node.contents.size());
    const std::string name = AnsiFromName(entry.name);  // '?' for what the code page lacks
    size_t n = std::min(name.size(), static_cast<size_t>(MAX_PATH - 1));
    name.copy(data->cFileName, n);
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData)
{
    Hit hit = Enter("FindFirstFileA", {Str(lpFileName)});
    if (hit.fail) return FailFind(hit.error);
    if (!lpFileName || !lpFindFileData) return FailFind(ERROR_INVALID_PARAMETER);
    ResolvedPath r = ResolveArgument(lpFileName, true);
    if (!r.ok) return FailFind(r.error);
    // A name ending in a backslash, or a bare drive root, names no entry.
    if (r.lastName.empty() || r.trailingSlash) return FailFind(ERROR_FILE_NOT_FOUND);
    FileNode* dir = FindNode(r.parentKey);
    if (!dir || !dir->directory) return FailFind(ERROR_PATH_NOT_FOUND);

    const std::string written = WrittenLastComponent(lpFileName);
    const DosPattern pattern = DosPatternOf(HasWildcards(written) ? written : r.lastName);

    FindSearch search;
    // A device name is found in any folder that exists: the device, with no
    // time, no size and the archive attribute alone.
    const std::string device = HasWildcards(written) ? std::string() : DeviceIn(written);
    if (!device.empty()) {
        FileNode node;
        node.name = device;
        search.matches.push_back({device, node});
    }
    if (!dir->parentKey.empty()) {  // "." and ".." come first, except at a root
        if (MatchDosPattern(pattern, ".")) search.matches.push_back({".", *dir});
        if (MatchDosPattern(pattern, "..")) search.matches.push_back({"..", *FindNode(dir->parentKey)});
    }
    std::vector<std::pair<std::string, const FileNode*>> entries;
    for (auto& f : M().files)
        if (device.empty() && f.second.parentKey == r.parentKey && !f.first.empty() &&
            MatchDosPattern(pattern, f.second.name))
            entries.emplace_back(f.first, &f.second);
    std::sort(entries.begin(), entries.end());  // by folded key: the upper-cased order
    for (auto& e : entries) search.matches.push_back({e.second->name, *e.second});
    if (search.matches.empty()) return FailFind(ERROR_FILE_NOT_FOUND);

    Fill(lpFindFileData, search.matches.front());
    search.next = 1;
    uintptr_t value = M().nextHandle;
    M().nextHandle += 4;
    M().findHandles[value] = std::move(search);
    return reinterpret_cast<HANDLE>(value);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData)
{
    const Hit hit = Enter("FindNextFileA");
    auto it = M().findHandles.find(reinterpret_cast<uintptr_t>(hFindFile));
    if (it == M().findHandles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FindSearch& search = it->second;
    if (search.next >= search.matches.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(lpFindFileData, search.matches[search.next++]);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile)
{
    Hit hit = Enter("FindClose");
    auto it = M().findHandles.find(reinterpret_cast<uintptr_t>(hFindFile));
    if (it == M().findHandles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    M().findHandles.erase(it);  // released even when the close reports a fault
    if (hit.fail) {
        SetLastError(hit.error);
        return FALSE;
    }
    return TRUE;
}
