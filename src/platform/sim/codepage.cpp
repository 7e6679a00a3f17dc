// Byte strings in the machine's ANSI code page: lead bytes, case folding that
// leaves the trail bytes of double-byte characters alone, character counts.
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

}  // namespace detail
}  // namespace sim
