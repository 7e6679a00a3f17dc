// wsprintfA: the formatter of user32. Integers are 32 bits whatever the
// modifier ("l" included, since long is 32 bits on Windows); no floating point;
// the output stops at the 1024-byte buffer limit, its zero included.
#include <cstdarg>
#include <string>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

const size_t kLimit = 1024;  // bytes, with the terminating zero

std::string Digits(unsigned int value, unsigned base, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), set[value % base]);
        value /= base;
    } while (value);
    return out;
}

std::string Format(const char* format, va_list args)
{
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            continue;
        }
        bool left = false, zero = false, prefix = false;
        for (;; ++p) {
            if (*p == '-') left = true;
            else if (*p == '0') zero = true;
            else if (*p == '#') prefix = true;
            else break;
        }
        size_t width = 0;
        while (*p >= '0' && *p <= '9') width = width * 10 + static_cast<size_t>(*p++ - '0');
        bool hasPrecision = false;
        size_t precision = 0;
        if (*p == '.') {
            hasPrecision = true;
            ++p;
            while (*p >= '0' && *p <= '9') precision = precision * 10 + static_cast<size_t>(*p++ - '0');
        }
        bool shortArg = false;
        if (*p == 'l' || *p == 'L') ++p;
        else if (*p == 'h') {
            shortArg = true;
            ++p;
        }
        if (!*p) break;

        std::string body, sign, pre;
        bool numeric = true;
        switch (*p) {
        case 'd':
        case 'i': {
            int v = va_arg(args, int);
            if (shortArg) v = static_cast<short>(v);
            unsigned int magnitude = v < 0 ? 0u - static_cast<unsigned int>(v) : static_cast<unsigned int>(v);
            if (v < 0) sign = "-";
            body = Digits(magnitude, 10, false);
            break;
        }
        case 'u':
            body = Digits(shortArg ? static_cast<unsigned short>(va_arg(args, unsigned int)) : va_arg(args, unsigned int),
                          10, false);
            break;
        case 'x':
        case 'X': {
            unsigned int v = va_arg(args, unsigned int);
            if (shortArg) v = static_cast<unsigned short>(v);
            body = Digits(v, 16, *p == 'X');
            if (prefix && v) pre = *p == 'X' ? "0X" : "0x";
            break;
        }
        case 'p':
            body = Digits(static_cast<unsigned int>(reinterpret_cast<uintptr_t>(va_arg(args, void*))), 16, true);
            while (body.size() < 8) body.insert(body.begin(), '0');
            break;
        case 'c':
        case 'C':
            numeric = false;
            body = std::string(1, static_cast<char>(va_arg(args, int)));
            break;
        case 's':
        case 'S': {
            numeric = false;
            const char* s = va_arg(args, const char*);
            body = s ? s : "(null)";
            if (hasPrecision && body.size() > precision) body.resize(precision);
            break;
        }
        default:  // an unknown type prints itself
            numeric = false;
            body = std::string(1, *p);
            break;
        }
        if (numeric && hasPrecision && body.size() < precision) body.insert(0, precision - body.size(), '0');
        std::string item = sign + pre + body;
        if (item.size() < width) {
            size_t pad = width - item.size();
            if (left)
                item.append(pad, ' ');
            else if (zero && numeric)
                item.insert(sign.size() + pre.size(), pad, '0');
            else
                item.insert(0, pad, ' ');
        }
        out += item;
        if (out.size() >= kLimit) break;
    }
    return out;
}

}  // namespace

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    const Hit hit = Enter("wsprintfA");
    if (!buffer || !format) return 0;
    va_list args;
    va_start(args, format);
    std::string out = Format(format, args);
    va_end(args);
    if (out.size() > kLimit - 1) out.resize(kLimit - 1);
    out.copy(buffer, out.size());
    buffer[out.size()] = '\0';
    return static_cast<int>(out.size());
}
