// Byte strings in the machine's ANSI code page: lead bytes, comparisons
// without case (the folding is in case_table.cpp), character counts, and
// Unicode text turned into the page.
#include <cstdio>
#include <cstdlib>

#include "platform/sim/iconv_converter.h"
#include "platform/sim/state.h"

namespace sim {
namespace detail {

bool IsLead(BYTE c)
{
    switch (M().codePage) {
    case 932:  // Japanese
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:  // Simplified Chinese
    case 949:  // Korean
    case 950:  // Traditional Chinese
        return c >= 0x81 && c <= 0xFE;
    default:  // single-byte pages have no lead bytes
        return false;
    }
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && Fold(a) == Fold(b);
}

bool ContainsNoCase(const std::string& haystack, const std::string& needle)
{
    return Fold(haystack).find(Fold(needle)) != std::string::npos;
}

size_t CharacterWidth(const std::string& s, size_t i)
{
    if (s[i] == kOutsidePage) {
        const size_t end = s.find(kOutsidePage, i + 1);
        if (end != std::string::npos) return end + 1 - i;
    }
    return IsLead(static_cast<BYTE>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

size_t CharCount(const std::string& s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += CharacterWidth(s, i)) ++n;
    return n;
}

namespace {

// One character in the page: one or two bytes, or nothing when it has none.
std::string Encode(Converter& converter, char32_t c)
{
    const char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                        static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
    const char* inPtr = in;
    size_t inLeft = sizeof in;
    std::string out;
    if (!converter.Step(inPtr, inLeft, out)) return std::string();
    return out;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

namespace {

// The text in the page; a character the page lacks (a lone surrogate too)
// becomes what `missing` makes of it.
template <typename Missing>
std::string PageFromUtf16(const std::u16string& text, Missing missing)
{
    Converter converter(IconvName(CP_ACP), "UTF-32LE");
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const bool loneSurrogate = c >= 0xD800 && c <= 0xDFFF;
        const std::string bytes = converter.ok() && !loneSurrogate ? Encode(converter, c) : std::string();
        out += bytes.empty() ? missing(c) : bytes;
    }
    return out;
}

void AppendUtf16(char32_t c, std::u16string& out)
{
    if (c >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

}  // namespace

std::string AnsiFromUtf16(const std::u16string& text)
{
    return PageFromUtf16(text, [](char32_t) { return std::string("?"); });
}

std::string NameFromUtf16(const std::u16string& text)
{
    return PageFromUtf16(text, [](char32_t c) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(c));
        return kOutsidePage + std::string(hex) + kOutsidePage;
    });
}

std::string AnsiFromName(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size();) {
        const size_t width = CharacterWidth(name, i);
        out += name[i] == kOutsidePage && width > 1 ? std::string("?") : name.substr(i, width);
        i += width;
    }
    return out;
}

std::u16string Utf16FromName(const std::string& name)
{
    Converter converter("UTF-32LE", IconvName(CP_ACP));
    std::u16string out;
    for (size_t i = 0; i < name.size();) {
        const size_t width = CharacterWidth(name, i);
        char32_t c = static_cast<BYTE>(name[i]);
        if (name[i] == kOutsidePage && width > 1) {
            c = static_cast<char32_t>(std::strtoul(name.substr(i + 1, width - 2).c_str(), nullptr, 16));
        } else if (c >= 0x80) {
            const std::string character = name.substr(i, width);
            const char* in = character.data();
            size_t left = character.size();
            std::string utf32;
            c = 0xFFFD;
            if (converter.ok() && converter.Step(in, left, utf32) && utf32.size() == 4) {
                c = static_cast<char32_t>(static_cast<BYTE>(utf32[0]) | static_cast<BYTE>(utf32[1]) << 8 |
                                          static_cast<BYTE>(utf32[2]) << 16 | static_cast<BYTE>(utf32[3]) << 24);
            }
        }
        AppendUtf16(c, out);
        i += width;
    }
    return out;
}

}  // namespace detail
}  // namespace sim
