// Byte strings in the machine's ANSI code page: lead bytes, case folding that
// leaves the trail bytes of double-byte characters alone, character counts,
// and Unicode text turned into the page.
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

std::string Fold(const std::string& s)
{
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        BYTE c = static_cast<BYTE>(out[i]);
        if (IsLead(c) && i + 1 < out.size()) {
            ++i;  // the trail byte may look like an ASCII letter; it is not one
            continue;
        }
        if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && Fold(a) == Fold(b);
}

bool ContainsNoCase(const std::string& haystack, const std::string& needle)
{
    return Fold(haystack).find(Fold(needle)) != std::string::npos;
}

size_t CharCount(const std::string& s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i, ++n)
        if (IsLead(static_cast<BYTE>(s[i])) && i + 1 < s.size()) ++i;
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

std::string AnsiFromUtf16(const std::u16string& text)
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
        // A lone surrogate, or a character the page lacks, is the default character.
        const bool loneSurrogate = c >= 0xD800 && c <= 0xDFFF;
        const std::string bytes = converter.ok() && !loneSurrogate ? Encode(converter, c) : std::string();
        out += bytes.empty() ? "?" : bytes;
    }
    return out;
}

}  // namespace detail
}  // namespace sim
