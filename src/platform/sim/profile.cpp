// GetPrivateProfileStringA over the simulated files, read as Windows reads a
// profile: "[section]" headers and "key=value" lines, names compared without
// case, blanks (space, tab, vertical tab) around names and values dropped,
// ';' lines skipped, the first of equal sections and keys winning, one pair of
// quotes taken off a value. A NULL section or key lists the section or key
// names. A file in the ANSI code page is read byte for byte; one in UTF-16LE
// behind its byte order mark is read as Unicode, its names and values arriving
// in the ANSI code page. Any other file, UTF-8 with a mark or UTF-16BE among
// them, is taken as ANSI bytes.
#include <cstring>
#include <optional>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

struct Entry {
    std::string key;
    std::optional<std::string> value;  // none for a line without '='
};
struct Section {
    std::string name;
    std::vector<Entry> entries;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

bool IsSpace(char c)
{
    return c == ' ';
}

std::string Trim(const std::string& s, bool (*drop)(char) = IsBlank)
{
    size_t b = 0, e = s.size();
    while (b < e && drop(s[b])) ++b;
    while (e > b && drop(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Where a header's name ends: at its first ']' (a trail byte that looks like
// one is part of its character), or at the end of the line without one.
size_t SectionNameEnd(const std::string& line)
{
    for (size_t i = 1; i < line.size(); ++i) {
        if (IsLead(static_cast<BYTE>(line[i])) && i + 1 < line.size())
            ++i;
        else if (line[i] == ']')
            return i;
    }
    return line.size();
}

// A value's length is kept in 16 bits: of a value of 65536 bytes or more only
// the first (length modulo 65536) are read.
std::string CountedValue(std::string value)
{
    value.resize(value.size() % 65536);
    return value;
}

std::vector<Section> Parse(const std::string& text)
{
    std::vector<Section> sections;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;

        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {  // text behind the name's ']' is ignored
            sections.push_back(Section{Trim(line.substr(1, SectionNameEnd(line) - 1)), {}});
            continue;
        }
        if (sections.empty()) continue;  // lines before the first header belong to no section
        size_t eq = line.find('=');
        Entry entry;
        if (eq == std::string::npos) {
            entry.key = line;
        } else {
            entry.key = Trim(line.substr(0, eq));
            entry.value = CountedValue(Trim(line.substr(eq + 1)));
        }
        sections.back().entries.push_back(entry);
    }
    return sections;
}

struct ProfileText {
    std::string text;  // in the ANSI code page
    bool fromUnicode = false;
};

ProfileText Decode(const std::string& contents)
{
    if (contents.compare(0, 2, "\xFF\xFE") != 0) return {contents, false};
    std::u16string units;
    for (size_t i = 2; i + 1 < contents.size(); i += 2)
        units += static_cast<char16_t>(static_cast<BYTE>(contents[i]) | static_cast<BYTE>(contents[i + 1]) << 8);
    return {AnsiFromUtf16(units), true};
}

// The profile's text, or nothing when it cannot be read.
std::optional<ProfileText> ReadProfile(LPCSTR fileName)
{
    std::string name = fileName ? fileName : "win.ini";
    // A name without a directory part lives in the Windows directory.
    if (name.find_first_of("\\/") == std::string::npos) name = M().windowsDirectory + "\\" + name;
    ResolvedPath r = ResolveArgument(name);
    if (!r.ok) return std::nullopt;
    FileNode* node = FindNode(r.key);
    if (!node || node->directory) return std::nullopt;
    if (ShareConflict(r.key, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE)) return std::nullopt;
    return Decode(node->contents);
}

// How many of the first bytes of text hold whole characters only.
size_t WholeCharacters(const std::string& text, size_t limit)
{
    size_t n = 0;
    while (n < limit) {
        const size_t width = IsLead(static_cast<BYTE>(text[n])) && n + 1 < text.size() ? 2 : 1;
        if (n + width > limit) break;
        n += width;
    }
    return n;
}

// A value too long for the buffer is cut after size - 1 bytes; one converted
// from Unicode is cut before a double-byte character that does not fit whole.
DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size, bool wholeCharacters = false)
{
    if (size == 0) return 0;
    // A value ends at a zero byte in the file, as the reader hands back a text.
    size_t n = std::min(value.find('\0'), value.size());
    if (n > size - 1) n = wholeCharacters ? WholeCharacters(value, size - 1) : size - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of names, each ending in a zero, the list in one more. A list cut
// short returns size - 2, as Windows does.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size)
{
    if (size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::string all;
    for (const std::string& n : names) all += n + std::string(1, '\0');
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        return static_cast<DWORD>(all.size() == 0 ? 0 : all.size());
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// One pair of matching quotes, double or single, around the whole value.
std::string Unquote(const std::string& v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                                      DWORD nSize, LPCSTR lpFileName)
{
    Hit hit = Enter("GetPrivateProfileStringA", {Str(lpFileName), Str(lpAppName), Str(lpKeyName)});
    if (!lpReturnedString) return 0;

    // The default loses its trailing blanks.
    std::string def = Str(lpDefault);
    while (!def.empty() && def.back() == ' ') def.pop_back();

    std::optional<ProfileText> profile;
    if (hit.fail)
        SetLastError(hit.error);  // as for a profile that cannot be read
    else
        profile = ReadProfile(lpFileName);
    if (!profile && !hit.fail) SetLastError(ERROR_FILE_NOT_FOUND);
    std::vector<Section> sections = profile ? Parse(profile->text) : std::vector<Section>();

    if (!lpAppName) {
        std::vector<std::string> names;
        for (auto& s : sections) names.push_back(s.name);
        return CopyList(names, lpReturnedString, nSize);
    }
    // Spaces around the names asked for are dropped; tabs and the rest stay.
    const std::string section = Trim(lpAppName, IsSpace);
    const Section* found = nullptr;
    for (auto& s : sections)
        if (EqualNoCase(s.name, section)) {
            found = &s;
            break;
        }
    if (!lpKeyName) {
        std::vector<std::string> names;
        if (found)
            for (auto& e : found->entries)
                if (e.value) names.push_back(e.key);  // a line without '=' is no key
        return CopyList(names, lpReturnedString, nSize);
    }
    const std::string key = Trim(lpKeyName, IsSpace);
    if (found)
        for (auto& e : found->entries)
            if (EqualNoCase(e.key, key)) {
                if (!e.value) break;  // a key without '=' has no value
                return CopyValue(Unquote(*e.value), lpReturnedString, nSize, profile->fromUnicode);
            }
    return CopyValue(def, lpReturnedString, nSize);
}
