// The command-line splitter. Every step goes through CharNextA so that the
// trail byte of a double-byte character (which may be a blank or a quote in
// some code pages' byte ranges) is never read as a separator or a quote.
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
const char* TakeCharacter(const char* p, std::string& argument)
{
    const char* next = CharNextA(p);
    argument.append(p, next);
    return next;
}

// Steps over separators and over "" pairs that stand where an argument would begin.
const char* SkipToArgument(const char* p)
{
    for (;;) {
        while (IsSeparator(*p)) {
            p = CharNextA(p);
        }
        if (p[0] == '"' && p[1] == '"') {
            p += 2;
        } else {
            return p;
        }
    }
}

// Reads one argument from p and returns the position after it.
const char* ReadArgument(const char* p, std::string& argument)
{
    while (*p != '\0' && !IsSeparator(*p)) {
        if (*p == '"') {
            p = CharNextA(p);
            while (*p != '\0' && *p != '"') {
                p = TakeCharacter(p, argument);
            }
            if (*p == '"') {
                p = CharNextA(p);
            }
        } else {
            p = TakeCharacter(p, argument);
        }
    }
    return p;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text)
{
    std::vector<std::string> arguments;
    std::string programName;  // comes first and is not counted
    const char* p = ReadArgument(SkipToArgument(text.c_str()), programName);
    for (;;) {
        std::string argument;
        p = ReadArgument(SkipToArgument(p), argument);
        // An argument comes out empty only at the end of the text.
        if (argument.empty()) {
            break;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
