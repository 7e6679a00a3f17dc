#include "package_checker/setup_log_encoding.h"

#include <utility>

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

// One section as Windows reads the file: its keys with their values, in order.
struct Section {
    bool imePram = false;
    bool spoilt = false;  // under the first line's header behind a byte order mark
    std::vector<std::pair<std::string, std::string>> keys;  // upper-cased name, value
};

std::vector<Section> Sections(const std::string& bytes)
{
    const bool marked = StartsWith(bytes, kUtf8Mark);
    const std::vector<std::string> lines = Lines(marked ? bytes.substr(3) : bytes);
    std::vector<Section> sections;
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (SectionName(lines[i], name)) {
            Section section;
            section.imePram = SameName(name, SetupLogSection);
            section.spoilt = marked && i == 0;
            sections.push_back(section);
        } else if (!sections.empty() && KeyName(lines[i], name)) {
            std::string value = Trimmed(lines[i].substr(lines[i].find('=') + 1));
            // One pair of quotes, double or single, is not part of the value.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            sections.back().keys.emplace_back(UpperCaseAscii(name), value);
        }
    }
    return sections;
}

// The first value of the key in the section, if it holds the key.
const std::string* Find(const Section& section, const std::string& key)
{
    const std::string upper = UpperCaseAscii(key);
    for (const auto& entry : section.keys) {
        if (entry.first == upper) return &entry.second;
    }
    return nullptr;
}

// The section Windows reads: the first intact [ImePram].
const Section* ReadSection(const std::vector<Section>& sections)
{
    for (const Section& section : sections) {
        if (section.imePram && !section.spoilt) return &section;
    }
    return nullptr;
}

// ---- Which reading of bytes valid in both GBK and UTF-8 was meant ----

// Every double-byte character is one of GB2312's: the common Chinese
// characters, punctuation and symbols (lead byte A1 to F7, trail byte A1 to
// FE), nothing from GBK's extensions. Valid is set when the bytes are GBK at all.
bool CommonGbk(const std::string& bytes, bool& valid)
{
    bool common = true;
    valid = true;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        if (lead == 0x80 || lead == 0xFF || i + 1 == bytes.size()) {
            valid = false;
            return false;
        }
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            valid = false;
            return false;
        }
        common = common && lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1;
    }
    return common;
}

// A character that a text meant as UTF-8 plausibly holds: Latin letters with
// diacritics, CJK characters, kana, Hangul, CJK and general punctuation,
// full-width forms, emoji. Not: the C1 controls and Latin-1 symbols, nor the
// Greek, Cyrillic, Armenian, Hebrew or Arabic letters that two bytes of
// common Chinese characters spell in UTF-8.
bool PlausibleInUtf8(char16_t c)
{
    if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
    if (c >= 0x1E00 && c <= 0x1EFF) return true;   // Latin Extended Additional
    if (c >= 0x2000 && c <= 0x2BFF) return true;   // punctuation and symbols
    if (c >= 0x2E80 && c <= 0x9FFF) return true;   // CJK, kana
    if (c >= 0xAC00 && c <= 0xD7AF) return true;   // Hangul
    if (c >= 0xD800 && c <= 0xDFFF) return true;   // beyond the basic plane
    if (c >= 0xF900 && c <= 0xFAFF) return true;   // CJK compatibility
    return c >= 0xFE30 && c <= 0xFFEF;              // CJK forms, full-width forms
}

TextEncoding JudgeBothReadings(const std::string& bytes)
{
    bool gbkValid = false;
    const bool gbkCommon = CommonGbk(bytes, gbkValid);
    if (!gbkValid) return TextEncoding::Utf8;
    bool utf8Plausible = true;
    for (const char16_t c : Utf16FromUtf8(bytes)) {
        if (c >= 0x80 && !PlausibleInUtf8(c)) utf8Plausible = false;
    }
    if (gbkCommon && !utf8Plausible) return TextEncoding::Ansi;
    if (!gbkCommon && utf8Plausible) return TextEncoding::Utf8;
    return TextEncoding::AnsiOrUtf8;
}

}  // namespace

TextEncoding DetectTextEncoding(const std::string& bytes)
{
    if (StartsWith(bytes, kUtf8Mark)) return TextEncoding::Utf8WithMark;
    if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16LeWithMark;
    if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16BeWithMark;
    if (bytes.find('\0') != std::string::npos) return TextEncoding::ZeroBytes;
    if (IsAscii(bytes)) return TextEncoding::Ascii;
    return IsUtf8(bytes) ? JudgeBothReadings(bytes) : TextEncoding::Ansi;
}

KeyPlace PlaceOfKey(const std::string& bytes, const std::string& key)
{
    const std::vector<Section> sections = Sections(bytes);
    const Section* read = ReadSection(sections);
    if (read != nullptr && Find(*read, key) != nullptr) return KeyPlace::FirstSection;
    for (const Section& section : sections) {
        if (section.imePram && !section.spoilt && Find(section, key) != nullptr) return KeyPlace::LaterSection;
    }
    for (const Section& section : sections) {
        if (section.imePram && section.spoilt && Find(section, key) != nullptr) return KeyPlace::SpoiltSection;
    }
    return KeyPlace::Nowhere;
}

std::vector<std::string> KeysLostToByteOrderMark(const std::string& bytes)
{
    const std::vector<Section> sections = Sections(bytes);
    const Section* read = ReadSection(sections);
    std::vector<std::string> lost;
    if (sections.empty() || !sections.front().spoilt || !sections.front().imePram) return lost;
    for (const char* key : {ImeFileKey, MbFileKey, ImeNameKey}) {
        const bool given = read != nullptr && Find(*read, key) != nullptr;
        if (Find(sections.front(), key) != nullptr && !given) lost.push_back(key);
    }
    return lost;
}

std::optional<std::string> ValueInFile(const std::string& bytes, const std::string& key)
{
    const std::vector<Section> sections = Sections(bytes);
    const Section* read = ReadSection(sections);
    const std::string* value = read != nullptr ? Find(*read, key) : nullptr;
    if (value == nullptr) return std::nullopt;
    return *value;
}
