// MultiByteToWideChar for the code pages the tests meet (the machine's ANSI
// page, 936, UTF-8 and the single-byte pages), converted by glibc's iconv. A
// byte sequence that is not valid in its code page becomes U+FFFD, or fails
// the call with MB_ERR_INVALID_CHARS.
#include <cstring>
#include <string>

#include "platform/sim/iconv_converter.h"
#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

constexpr WCHAR kReplacement = 0xFFFD;

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar)
{
    const Hit hit = Enter("MultiByteToWideChar");
    if (hit.fail) return Fail(hit.error);
    if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER);
    // -1: up to and with the terminating zero, which is converted as well.
    const size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    Converter converter("UTF-16LE", IconvName(CodePage));
    if (!converter.ok()) return Fail(ERROR_INVALID_PARAMETER);

    std::string utf16;
    const char* in = lpMultiByteStr;
    size_t left = length;
    while (left > 0) {
        if (converter.Step(in, left, utf16)) continue;
        if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
        utf16.append(reinterpret_cast<const char*>(&kReplacement), sizeof kReplacement);
        ++in;  // past the byte that could not begin a character
        --left;
    }
    // The caller's buffer gets the result, or learns its size.
    const int needed = static_cast<int>(utf16.size() / 2);
    if (cchWideChar == 0) return needed;
    if (needed > cchWideChar) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(lpWideCharStr, utf16.data(), utf16.size());
    return needed;
}
