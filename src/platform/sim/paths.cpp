// Windows path names: drive letters, backslashes (forward slashes too), the
// current directory for relative names, "\x" for the root of the current
// drive, "." and "..", trailing dots and blanks dropped from components.
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

std::vector<std::string> SplitBackslash(const std::string& s)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (IsLead(static_cast<BYTE>(c)) && i + 1 < s.size()) {
            parts.back() += c;
            parts.back() += s[++i];  // a trail byte 0x5C is not a separator
        } else if (c == '\\' || c == '/') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool ValidComponent(const std::string& name, bool allowWildcards)
{
    for (size_t i = 0; i < name.size(); ++i) {
        BYTE c = static_cast<BYTE>(name[i]);
        if (CharacterWidth(name, i) > 1) {  // a double-byte character, or one outside the page
            i += CharacterWidth(name, i) - 1;
            continue;
        }
        if (c < 0x20) return false;
        switch (c) {
        case '|': case ':':
            return false;
        case '*': case '?': case '<': case '>': case '"':  // the last three are DOS wildcards
            if (!allowWildcards) return false;
            break;
        default:
            break;
        }
    }
    return true;
}

bool IsDriveSpec(const std::string& s)
{
    return s.size() >= 2 && s[1] == ':' &&
           ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

ResolvedPath Fail(DWORD error)
{
    ResolvedPath r;
    r.error = error;
    return r;
}

}  // namespace

ResolvedPath Resolve(const std::string& path, bool allowWildcards)
{
    if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);

    const std::string& cwd = M().currentDirectory;
    std::string drive = cwd.substr(0, 2);
    std::string rest;
    std::vector<std::string> base;  // components the name is relative to
    auto cwdParts = SplitBackslash(cwd.substr(2));

    if (IsDriveSpec(path)) {
        drive = path.substr(0, 2);
        drive[0] = static_cast<char>(toupper(static_cast<unsigned char>(drive[0])));
        rest = path.substr(2);
        bool rooted = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
        if (!rooted && Fold(drive) == Fold(cwd.substr(0, 2))) base = cwdParts;
    } else if (path[0] == '\\' || path[0] == '/') {
        if (path.size() > 1 && (path[1] == '\\' || path[1] == '/'))
            return Fail(ERROR_PATH_NOT_FOUND);  // network names are not served
        rest = path;
    } else {
        base = cwdParts;
        rest = path;
    }

    std::vector<std::string> parts;
    for (auto& p : base)
        if (!p.empty()) parts.push_back(p);
    auto given = SplitBackslash(rest);
    ResolvedPath r;
    r.trailingSlash = given.size() > 1 && given.back().empty();
    for (size_t i = 0; i < given.size(); ++i) {
        std::string p = given[i];
        if (p.empty() || p == ".") continue;
        if (p == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        while (!p.empty() && (p.back() == '.' || p.back() == ' ')) p.pop_back();
        if (p.empty()) continue;
        bool last = i + 1 == given.size();
        if (!ValidComponent(p, allowWildcards && last)) return Fail(ERROR_INVALID_NAME);
        parts.push_back(p);
    }

    r.ok = true;
    r.full = drive + "\\";
    for (size_t i = 0; i < parts.size(); ++i) r.full += (i ? "\\" : "") + parts[i];
    r.key = Fold(r.full);
    r.parts.push_back(drive);
    r.parts.insert(r.parts.end(), parts.begin(), parts.end());
    if (!parts.empty()) {
        r.lastName = parts.back();
        std::string parent = drive + "\\";
        for (size_t i = 0; i + 1 < parts.size(); ++i) parent += (i ? "\\" : "") + parts[i];
        r.parentKey = Fold(parent);
    }
    return r;
}

ResolvedPath ResolveArgument(const std::string& path, bool allowWildcards)
{
    // The ANSI file calls take names of fewer than MAX_PATH characters only.
    if (CharCount(path) >= MAX_PATH) return Fail(ERROR_FILENAME_EXCED_RANGE);
    return Resolve(path, allowWildcards);
}

FileNode* FindNode(const std::string& key)
{
    auto it = M().files.find(key);
    return it == M().files.end() ? nullptr : &it->second;
}

void MakeDirectories(const std::string& fullPath)
{
    ResolvedPath r = Resolve(fullPath);
    if (!r.ok) return;
    std::string full = r.parts[0] + "\\";
    std::string parentKey;
    for (size_t i = 0; i < r.parts.size(); ++i) {
        if (i > 1) full += "\\";
        if (i > 0) full += r.parts[i];
        std::string key = Fold(full);
        FileNode& node = M().files[key];
        if (node.name.empty()) {
            node.name = i == 0 ? full : r.parts[i];
            node.directory = true;
            node.attributes = FILE_ATTRIBUTE_DIRECTORY;
            node.lastWrite = Now();
            node.parentKey = parentKey;
        }
        parentKey = key;
    }
}

}  // namespace detail
}  // namespace sim
