// The command-line splitter against a small model of its rules, in a
// double-byte code page (936) and a single-byte one (1252). The first byte
// picks the page; the rest, up to a zero byte, is the command line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "platform/sim/machine.h"

namespace {

// One character at p: two bytes for a lead byte followed by a non-zero one.
size_t CharLength(const std::string& text, size_t p, bool doubleByte)
{
    const auto c = static_cast<unsigned char>(text[p]);
    const bool lead = doubleByte && c >= 0x81 && c <= 0xFE;
    return (lead && p + 1 < text.size()) ? 2 : 1;
}

bool IsSeparator(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }

// Arguments are separated by runs of bytes 1 to 32; a quoted stretch belongs
// to one argument and loses its quotes; "" where an argument would begin is
// skipped; the program's name comes first and is not counted.
std::vector<std::string> Model(const std::string& text, bool doubleByte)
{
    std::vector<std::string> arguments;
    size_t p = 0;
    bool first = true;
    for (;;) {
        for (;;) {
            while (p < text.size() && IsSeparator(text[p])) ++p;
            if (p + 1 < text.size() && text[p] == '"' && text[p + 1] == '"') {
                p += 2;
            } else {
                break;
            }
        }
        std::string argument;
        bool quoted = false;
        while (p < text.size() && (quoted || !IsSeparator(text[p]))) {
            if (text[p] == '"') {
                quoted = !quoted;
                ++p;
                continue;
            }
            const size_t n = CharLength(text, p, doubleByte);
            argument.append(text, p, n);
            p += n;
        }
        if (first) {
            first = false;
        } else if (argument.empty()) {
            return arguments;
        } else {
            arguments.push_back(argument);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const bool doubleByte = (data[0] & 1) == 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));  // the platform gives a zero-terminated text

    sim::Reset();
    sim::SetCodePage(doubleByte ? 936 : 1252);

    const std::vector<std::string> arguments = SplitCommandLine(text);
    if (arguments != Model(text, doubleByte)) std::abort();

    size_t bytes = 0;
    for (const std::string& argument : arguments) {
        if (argument.empty()) std::abort();  // an empty argument is never counted
        bytes += argument.size();
    }
    if (bytes > text.size()) std::abort();
    return 0;
}
