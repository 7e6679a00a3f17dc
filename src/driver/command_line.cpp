// The command-line splitter. Every step of the ANSI line goes through
// CharNextA so that the trail byte of a double-byte character (which may be a
// blank or a quote in some code pages' byte ranges) is never read as a
// separator or a quote. In UTF-8 no byte of a character beyond ASCII is below
// 0x80, so a step of one byte does the same there.
#include "driver/command_line.h"

#include <utility>

#include "platform/win32.h"

namespace {

bool IsSeparator(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

// Appends the character at p (one or two bytes) and steps past it.
template <typename Next>
const char* TakeCharacter(const char* p, std::string& argument, Next next)
{
    const char* after = next(p);
    argument.append(p, after);
    return after;
}

// Steps over separators and over "" pairs that stand where an argument would begin.
template <typename Next>
const char* SkipToArgument(const char* p, Next next)
{
    for (;;) {
        while (IsSeparator(*p)) {
            p = next(p);
        }
        if (p[0] == '"' && p[1] == '"') {
            p += 2;
        } else {
            return p;
        }
    }
}

// Reads one argument from p and returns the position after it.
template <typename Next>
const char* ReadArgument(const char* p, std::string& argument, Next next)
{
    while (*p != '\0' && !IsSeparator(*p)) {
        if (*p == '"') {
            p = next(p);
            while (*p != '\0' && *p != '"') {
                p = TakeCharacter(p, argument, next);
            }
            if (*p == '"') {
                p = next(p);
            }
        } else {
            p = TakeCharacter(p, argument, next);
        }
    }
    return p;
}

template <typename Next>
std::vector<std::string> Split(const std::string& text, Next next)
{
    std::vector<std::string> arguments;
    std::string programName;  // comes first and is not counted
    const char* p = ReadArgument(SkipToArgument(text.c_str(), next), programName, next);
    for (;;) {
        std::string argument;
        p = ReadArgument(SkipToArgument(p, next), argument, next);
        // An argument comes out empty only at the end of the text.
        if (argument.empty()) {
            break;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text)
{
    return Split(text, [](const char* p) -> const char* { return CharNextA(p); });
}

std::vector<std::string> SplitUtf8CommandLine(const std::string& text)
{
    return Split(text, [](const char* p) { return p + 1; });
}
