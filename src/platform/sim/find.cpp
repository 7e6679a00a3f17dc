// FindFirstFileA: the first entry of a directory that matches a pattern with
// "*" and "?" in its last component. Entries come in the order NTFS keeps
// them, sorted by upper-cased name, after "." and ".." of a non-root directory.
#include <algorithm>

#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

// Characters, a double-byte pair being one, so that "?" takes a whole one.
std::vector<std::string> Chars(const std::string& s)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsLead(static_cast<BYTE>(s[i])) && i + 1 < s.size()) {
            out.push_back(s.substr(i, 2));
            ++i;
        } else {
            out.push_back(s.substr(i, 1));
        }
    }
    return out;
}

// Greedy match with one remembered star: on a mismatch the last star takes one
// more character. Linear in practice and never exponential, whatever the
// number of stars in the pattern.
bool Glob(const std::vector<std::string>& p, size_t pi, const std::vector<std::string>& n, size_t ni)
{
    size_t starAt = p.size();
    size_t starMatchEnd = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            starAt = pi++;
            starMatchEnd = ni;
        } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (starAt != p.size()) {
            pi = starAt + 1;
            ni = ++starMatchEnd;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

}  // namespace

// Case-insensitive match with the DOS rules Windows keeps: "name.*" also
// matches "name" without an extension, and "*.*" matches every name.
bool MatchPattern(const std::string& pattern, const std::string& name)
{
    std::string p = Fold(pattern), n = Fold(name);
    if (Glob(Chars(p), 0, Chars(n), 0)) return true;
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos)
        return Glob(Chars(p.substr(0, p.size() - 2)), 0, Chars(n), 0);
    return false;
}

}  // namespace detail
}  // namespace sim

using namespace sim::detail;

namespace {

HANDLE FailFind(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

void Fill(WIN32_FIND_DATAA* data, const std::string& name, const FileNode& node)
{
    *data = WIN32_FIND_DATAA{};
    data->dwFileAttributes = node.attributes;
    data->ftCreationTime = node.lastWrite;
    data->ftLastAccessTime = node.lastWrite;
    data->ftLastWriteTime = node.lastWrite;
    data->nFileSizeLow = node.directory ? 0 : static_cast<DWORD>(node.contents.size());
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

    std::vector<std::pair<std::string, const FileNode*>> matches;
    if (!dir->parentKey.empty()) {  // "." and ".." come first, except at a root
        if (MatchPattern(r.lastName, ".")) matches.emplace_back(".", dir);
        if (MatchPattern(r.lastName, "..")) matches.emplace_back("..", FindNode(dir->parentKey));
    }
    std::vector<std::pair<std::string, const FileNode*>> entries;
    for (auto& f : M().files)
        if (f.second.parentKey == r.parentKey && !f.first.empty() && MatchPattern(r.lastName, f.second.name))
            entries.emplace_back(f.first, &f.second);
    std::sort(entries.begin(), entries.end());  // by folded key: the upper-cased order
    for (auto& e : entries) matches.emplace_back(e.second->name, e.second);
    if (matches.empty()) return FailFind(ERROR_FILE_NOT_FOUND);

    Fill(lpFindFileData, matches.front().first, *matches.front().second);
    uintptr_t value = M().nextHandle;
    M().nextHandle += 4;
    M().findHandles.insert(value);
    return reinterpret_cast<HANDLE>(value);
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
