#include "package_checker/text_forms.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character of the valid UTF-8 sequence at bytes[i], and its length; a
// length of 0 when no valid sequence starts there.
char32_t NextUtf8(const std::string& bytes, size_t i, size_t& length)
{
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    size_t count = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return kReplacement;
    }
    if (bytes.size() - i < count) return kReplacement;
    for (size_t k = 1; k < count; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (at(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    length = count;
    return c;
}

// Control characters (and DEL) would disturb the report's lines.
std::string WithVisibleControls(const std::string& utf8)
{
    std::string out;
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += byte;
        }
    }
    return out;
}

}  // namespace

std::string Utf8FromUtf16(const std::u16string& units)
{
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(c, out);
    }
    return out;
}

std::u16string Utf16FromUtf8(const std::string& utf8)
{
    std::u16string out;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t length = 0;
        const char32_t c = NextUtf8(utf8, i, length);
        i += length == 0 ? 1 : length;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

bool IsAscii(const std::string& bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80) return false;
    }
    return true;
}

bool IsUtf8(const std::string& bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        size_t length = 0;
        NextUtf8(bytes, i, length);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string HexBytes(const std::string& bytes)
{
    std::string out;
    for (const char byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(byte));
        if (!out.empty()) out += ' ';
        out += hex;
    }
    return out;
}

std::optional<std::string> DecodeCodePage(unsigned codePage, const std::string& bytes, bool strict)
{
    if (bytes.empty()) return std::string();
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::vector<WCHAR> wide(static_cast<size_t>(needed));
    if (MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return WithVisibleControls(Utf8FromUtf16(std::u16string(wide.begin(), wide.end())));
}

std::string ShownGbkValue(const std::string& bytes)
{
    if (IsAscii(bytes)) return "\"" + WithVisibleControls(bytes) + "\"";
    if (const std::optional<std::string> text = DecodeCodePage(ChineseCodePage, bytes)) {
        return "\"" + *text + "\" [" + HexBytes(bytes) + "]";
    }
    const std::string replaced = DecodeCodePage(ChineseCodePage, bytes, false).value_or("");
    return "\"" + replaced + "\" [" + HexBytes(bytes) + ", not valid GBK]";
}

std::string ShownMachineText(const std::string& bytes)
{
    const std::optional<std::string> text = DecodeCodePage(CP_ACP, bytes);
    return text ? *text : "[" + HexBytes(bytes) + "]";
}
