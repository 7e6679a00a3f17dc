// Text between code pages on the host, for the simulated machine's Unicode
// conversions: glibc's iconv, which knows the Windows pages by their numbers.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/sim/state.h"

namespace sim {
namespace detail {

// iconv's name for a Windows code page: CP_ACP is the machine's ANSI page.
inline std::string IconvName(UINT codePage)
{
    if (codePage == CP_ACP) codePage = M().codePage;
    if (codePage == CP_UTF8) return "UTF-8";
    return "CP" + std::to_string(codePage);
}

// An iconv descriptor, closed on every way out.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter()
    {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one step from in; the bytes it made go to out. Returns false
    // on a sequence it cannot convert (errno says why), with in left at it
    // and the descriptor back in its initial state.
    bool Step(const char*& in, size_t& inLeft, std::string& out)
    {
        char buffer[256];
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        char* inPtr = const_cast<char*>(in);
        const size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        in = inPtr;
        out.append(buffer, sizeof buffer - outLeft);
        if (result != static_cast<size_t>(-1) || errno == E2BIG) return true;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return false;
    }

private:
    iconv_t cd_;
};

}  // namespace detail
}  // namespace sim
