#include "package_checker/file_names.h"

#include <vector>

#include "platform/win32.h"

namespace {

// Calls visit(character, length) for each character of the name.
template <typename Visit>
void ForEachCharacter(const std::string& name, Visit visit)
{
    const char* p = name.c_str();
    while (*p != '\0') {
        const char* next = CharNextA(p);
        visit(p, static_cast<size_t>(next - p));
        p = next;
    }
}

// Where the last backslash, slash or colon splits a path: the folder ends
// before a backslash or slash and after a colon ("C:"), the name starts after
// any of them. Both 0 for a bare name.
struct Split {
    size_t FolderEnd = 0;
    size_t NameStart = 0;
};

Split LastSeparator(const std::string& path)
{
    Split split;
    ForEachCharacter(path, [&path, &split](const char* c, size_t length) {
        const size_t at = static_cast<size_t>(c - path.c_str());
        if (length != 1) return;
        if (*c == '\\' || *c == '/') split = {at, at + 1};
        if (*c == ':') split = {at + 1, at + 1};
    });
    return split;
}

// The path with "." and ".." resolved and the trailing dots and blanks of
// each name dropped, as GetFullPathName resolves it before any file is
// looked at; ".." at the root stays there.
std::string CollapsedPath(const std::string& path)
{
    std::vector<std::string> names(1);
    ForEachCharacter(path, [&names](const char* c, size_t length) {
        if (length == 1 && (*c == '\\' || *c == '/')) {
            names.emplace_back();
        } else {
            names.back().append(c, length);
        }
    });
    std::vector<std::string> kept;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        if (i > 0 && name == "..") {
            if (kept.size() > 1) kept.pop_back();
            continue;
        }
        if (i > 0 || (name != "." && name != "..")) {
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        }
        if (i == 0 || !name.empty()) kept.push_back(name);  // the first: the drive, or empty at the root
    }
    std::string collapsed = kept.front();
    for (size_t i = 1; i < kept.size(); ++i) collapsed += "\\" + kept[i];
    return collapsed;
}

}  // namespace

bool HasDirectoryPart(const std::string& name)
{
    return LastSeparator(name).NameStart != 0;
}

std::string FoldedFileName(const std::string& name)
{
    std::string folded;
    ForEachCharacter(name, [&folded](const char* c, size_t length) {
        if (length == 1 && *c >= 'a' && *c <= 'z') {
            folded += static_cast<char>(*c - 'a' + 'A');
        } else {
            folded.append(c, length);
        }
    });
    return folded;
}

bool HasExtension(const std::string& name, const std::string& extension)
{
    const std::string folded = FoldedFileName(name);
    const std::string wanted = FoldedFileName(extension);
    return folded.size() > wanted.size() && folded.compare(folded.size() - wanted.size(), wanted.size(), wanted) == 0;
}

std::string FolderPart(const std::string& path)
{
    return path.substr(0, LastSeparator(path).FolderEnd);
}

std::string FileTitle(const std::string& path)
{
    const std::string full = CollapsedPath(path);
    return full.substr(LastSeparator(full).NameStart);
}

bool SameFolder(const std::string& a, const std::string& b)
{
    return FoldedFileName(CollapsedPath(a)) == FoldedFileName(CollapsedPath(b));
}

size_t CharacterCount(const std::string& name)
{
    size_t count = 0;
    ForEachCharacter(name, [&count](const char*, size_t) { ++count; });
    return count;
}
