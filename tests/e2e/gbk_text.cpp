#include "gbk_text.h"

#include <windows.h>

#include <cstdio>

namespace e2e {
namespace {

constexpr UINT kGbk = 936;

std::wstring Widen(UINT codePage, const std::string& bytes)
{
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

std::string Gbk(const std::string& utf8) { return Narrow(kGbk, Widen(CP_UTF8, utf8)); }

std::string Utf8FromGbk(const std::string& gbk) { return Narrow(CP_UTF8, Widen(kGbk, gbk)); }

std::string GbkFromWide(const std::wstring& wide) { return Narrow(kGbk, wide); }

std::string Describe(const std::string& gbk)
{
    std::string shown;
    for (char c : Utf8FromGbk(gbk)) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    std::string hex;
    char byte[4];
    for (unsigned char c : gbk) {
        std::snprintf(byte, sizeof byte, "%02X", c);
        hex += byte;
    }
    return "\"" + shown + "\" [" + hex + "]";
}

}  // namespace e2e
