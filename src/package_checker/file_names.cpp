#include "package_checker/file_names.h"

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

}  // namespace

bool HasDirectoryPart(const std::string& name)
{
    bool found = false;
    ForEachCharacter(name, [&found](const char* c, size_t length) {
        found = found || (length == 1 && (*c == '\\' || *c == '/' || *c == ':'));
    });
    return found;
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

std::string NamePart(const std::string& name)
{
    size_t start = 0;
    size_t at = 0;
    ForEachCharacter(name, [&](const char* c, size_t length) {
        at += length;
        if (length == 1 && (*c == '\\' || *c == '/' || *c == ':')) start = at;
    });
    return name.substr(start);
}
