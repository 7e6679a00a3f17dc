#include "package_checker/setup_log_encoding.h"

#include <set>

#include "driver/setup_parameters.h"
#include "package_checker/text_forms.h"
#include "support/helpers.h"

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool StartsWith(const std::string& bytes, const char* prefix)
{
    return bytes.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    return UpperCaseAscii(a) == UpperCaseAscii(b);
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + ((bytes.compare(end, 2, "\r\n") == 0) ? 2 : 1);
    }
    return lines;
}

// A section header's name, as Windows takes it: from '[' to the first ']', or
// to the line's end when there is none. False for any other line.
bool SectionName(const std::string& line, std::string& name)
{
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] != '[') return false;
    name = Trimmed(text.substr(1, text.find(']') == std::string::npos ? std::string::npos : text.find(']') - 1));
    return true;
}

// The name of a key line ("name=value"); false for a line without '='.
bool KeyName(const std::string& line, std::string& name)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    name = Trimmed(line.substr(0, equals));
    return true;
}

}  // namespace

TextEncoding DetectTextEncoding(const std::string& bytes)
{
    if (StartsWith(bytes, kUtf8Mark)) return TextEncoding::Utf8WithMark;
    if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16LeWithMark;
    if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16BeWithMark;
    if (bytes.find('\0') != std::string::npos) return TextEncoding::ZeroBytes;
    if (IsAscii(bytes)) return TextEncoding::Ascii;
    return IsUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::vector<std::string> KeysLostToByteOrderMark(const std::string& bytes)
{
    if (!StartsWith(bytes, kUtf8Mark)) return {};
    const std::vector<std::string> lines = Lines(bytes.substr(3));
    std::string name;
    if (!SectionName(lines.front(), name) || !SameName(name, SetupLogSection)) return {};

    // The keys under the spoilt header, and those an intact ImePram section gives.
    std::set<std::string> spoilt;
    std::set<std::string> found;
    std::set<std::string>* current = &spoilt;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (SectionName(lines[i], name)) {
            current = SameName(name, SetupLogSection) ? &found : nullptr;
        } else if (current != nullptr && KeyName(lines[i], name)) {
            current->insert(UpperCaseAscii(name));
        }
    }
    std::vector<std::string> lost;
    for (const char* key : {ImeFileKey, MbFileKey, ImeNameKey}) {
        const std::string upper = UpperCaseAscii(key);
        if (spoilt.count(upper) != 0 && found.count(upper) == 0) lost.push_back(key);
    }
    return lost;
}

std::optional<std::string> ValueInFile(const std::string& bytes, const std::string& key)
{
    const std::vector<std::string> lines = Lines(StartsWith(bytes, kUtf8Mark) ? bytes.substr(3) : bytes);
    bool inSection = false;
    bool sectionSeen = false;
    std::string name;
    for (const std::string& line : lines) {
        if (SectionName(line, name)) {
            if (sectionSeen) return std::nullopt;  // past the first ImePram section
            inSection = SameName(name, SetupLogSection);
            sectionSeen = inSection;
        } else if (inSection && KeyName(line, name) && SameName(name, key)) {
            std::string value = Trimmed(line.substr(line.find('=') + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return std::nullopt;
}
