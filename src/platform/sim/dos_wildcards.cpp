// File name patterns as Windows matches them in a directory search.
//
// FindFirstFileA does not hand "*" and "?" to the file system as they are
// written: for compatibility with MS-DOS names it rewrites them into the DOS
// wildcards of FsRtlIsNameInExpression, and the file system matches those.
//   ?            becomes DOS_QM   ('>'): one character, or none before a dot
//                                        or at the end of the name
//   * before .   becomes DOS_STAR ('<'): any run up to the name's last dot
//   . before * ? becomes DOS_DOT  ('"'): a dot, or nothing at the end
//   a final .    is dropped (after it made a star before it DOS_STAR), so "*."
//                is "<": the names without a dot
//   *.* (also *.*.) is "*": every name
// '<', '>' and '"' written by the caller are those wildcards themselves.
//
// The match follows every way through the pattern at once (a set of pattern
// positions per name character), so its cost is the product of the two
// lengths, whatever the number of wildcards.
#include <algorithm>

#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

// Characters, a double-byte pair (or a character outside the page) being one.
std::vector<std::string> Chars(const std::string& s)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size(); i += CharacterWidth(s, i)) out.push_back(s.substr(i, CharacterWidth(s, i)));
    return out;
}

bool IsWildcard(const std::string& c)
{
    return c == "*" || c == "?" || c == "<" || c == ">" || c == "\"";
}

}  // namespace

bool HasWildcards(const std::string& name)
{
    for (const std::string& c : Chars(name))
        if (IsWildcard(c)) return true;
    return false;
}

DosPattern DosPatternOf(const std::string& written)
{
    std::vector<std::string> chars = Chars(written);
    const bool finalDot = !chars.empty() && chars.back() == ".";
    if (finalDot) chars.pop_back();

    DosPattern pattern;
    if (chars == std::vector<std::string>{"*", ".", "*"}) {
        pattern.push_back({DosToken::Star, ""});
        return pattern;
    }
    for (size_t i = 0; i < chars.size(); ++i) {
        const std::string& c = chars[i];
        const std::string next = i + 1 < chars.size() ? chars[i + 1] : finalDot ? "." : "";
        DosToken token{DosToken::Literal, Fold(c)};
        if (c == "?" || c == ">")
            token.kind = DosToken::DosQm;
        else if (c == "<" || (c == "*" && next == "."))
            token.kind = DosToken::DosStar;
        else if (c == "*")
            token.kind = DosToken::Star;
        else if (c == "\"" || (c == "." && (next == "*" || next == "?")))
            token.kind = DosToken::DosDot;
        pattern.push_back(token);
    }
    return pattern;
}

bool MatchDosPattern(const DosPattern& pattern, const std::string& name)
{
    const std::vector<std::string> chars = Chars(Fold(name));
    if (chars.empty()) return pattern.empty();
    size_t lastDot = chars.size();
    for (size_t i = 0; i < chars.size(); ++i)
        if (chars[i] == ".") lastDot = i;

    const size_t end = pattern.size();
    std::vector<char> live(end + 1, 0), next(end + 1, 0);
    live[0] = 1;
    for (size_t i = 0;; ++i) {
        const bool atEnd = i == chars.size();
        const bool atDot = !atEnd && chars[i] == ".";
        // Steps that take no character; they only move forward, so one pass
        // from the left reaches all of them.
        for (size_t p = 0; p < end; ++p) {
            if (!live[p]) continue;
            switch (pattern[p].kind) {
            case DosToken::Star:
            case DosToken::DosStar:
                live[p + 1] = 1;
                break;
            case DosToken::DosQm:
                if (atEnd || atDot) live[p + 1] = 1;
                break;
            case DosToken::DosDot:
                if (atEnd) live[p + 1] = 1;
                break;
            case DosToken::Literal:
                break;
            }
        }
        if (atEnd) return live[end] != 0;

        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (size_t p = 0; p < end; ++p) {
            if (!live[p]) continue;
            const DosToken& t = pattern[p];
            size_t to = end + 1;  // none
            switch (t.kind) {
            case DosToken::Star:
                to = p;
                break;
            case DosToken::DosStar:
                if (!(atDot && i == lastDot)) to = p;  // it stops before the last dot
                break;
            case DosToken::DosQm:
                if (!atDot) to = p + 1;
                break;
            case DosToken::DosDot:
                if (atDot) to = p + 1;
                break;
            case DosToken::Literal:
                if (t.text == chars[i]) to = p + 1;
                break;
            }
            if (to <= end) {
                next[to] = 1;
                any = true;
            }
        }
        if (!any) return false;
        live.swap(next);
    }
}

}  // namespace detail
}  // namespace sim
