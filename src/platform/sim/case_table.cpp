// The upper case of every character of the machine's ANSI code page, as
// Windows compares file names (NTFS and the ANSI calls fold with the system's
// Unicode upper-case table): Latin letters with diacritics, Greek, Cyrillic
// and full-width Latin letters have case as ASCII letters do. A character
// whose capital the page lacks stays as it is, since no other character of
// the page can then be its other case.
#include <map>
#include <unordered_map>

#include "platform/sim/iconv_converter.h"
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

// Unicode's simple upper-case mapping for the scripts a file name in an ANSI
// code page can hold.
char32_t SimpleUpper(char32_t c)
{
    const auto odd = [c] { return (c & 1) != 0; };
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1, not the division sign
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: pairs of capital and small letter (dotted and dotless i aside).
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return odd() ? c - 1 : c;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return odd() ? c : c - 1;
    // Greek.
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    // Full-width Latin.
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
    return c;
}

char32_t FromUtf32(const std::string& bytes)
{
    char32_t c = 0;
    for (size_t k = 0; k < 4 && k < bytes.size(); ++k) c |= static_cast<char32_t>(static_cast<BYTE>(bytes[k])) << (8 * k);
    return c;
}

std::string ToUtf32(char32_t c)
{
    std::string bytes;
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>((c >> (8 * k)) & 0xFF);
    return bytes;
}

// The characters of a page whose upper case differs, by their bytes (one or
// two), with the bytes of the upper case.
using CaseTable = std::unordered_map<std::string, std::string>;

CaseTable BuildCaseTable(UINT codePage)
{
    CaseTable table;
    Converter decode("UTF-32LE", IconvName(codePage));
    Converter encode(IconvName(codePage), "UTF-32LE");
    if (!decode.ok() || !encode.ok()) return table;
    const auto add = [&](const std::string& character) {
        const char* in = character.data();
        size_t left = character.size();
        std::string utf32;
        if (!decode.Step(in, left, utf32) || left != 0 || utf32.size() != 4) return;
        const char32_t c = FromUtf32(utf32);
        const char32_t upper = SimpleUpper(c);
        if (upper == c || c < 0x80) return;
        const std::string wide = ToUtf32(upper);
        const char* from = wide.data();
        size_t fromLeft = wide.size();
        std::string bytes;
        if (encode.Step(from, fromLeft, bytes) && fromLeft == 0 && !bytes.empty()) table[character] = bytes;
    };
    for (int first = 0x80; first <= 0xFF; ++first) {
        if (!IsLead(static_cast<BYTE>(first))) {
            add(std::string(1, static_cast<char>(first)));
            continue;
        }
        for (int second = 0x40; second <= 0xFE; ++second) {
            if (second != 0x7F) add(std::string{static_cast<char>(first), static_cast<char>(second)});
        }
    }
    return table;
}

const CaseTable& CaseTableOf(UINT codePage)
{
    static std::map<UINT, CaseTable> tables;
    auto found = tables.find(codePage);
    if (found == tables.end()) found = tables.emplace(codePage, BuildCaseTable(codePage)).first;
    return found->second;
}

}  // namespace

std::string Fold(const std::string& s)
{
    const CaseTable& table = CaseTableOf(M().codePage);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const BYTE c = static_cast<BYTE>(s[i]);
        if (c < 0x80) {
            // The trail byte of a double-byte character never comes here: it
            // may look like an ASCII letter, and is not one.
            out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
            continue;
        }
        const size_t width = IsLead(c) && i + 1 < s.size() ? 2 : 1;
        const std::string character = s.substr(i, width);
        const auto upper = table.find(character);
        out += upper == table.end() ? character : upper->second;
        i += width - 1;
    }
    return out;
}

}  // namespace detail
}  // namespace sim
