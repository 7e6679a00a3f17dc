// A text file's bytes in UTF-16 with its byte order mark, as Notepad saves
// "Unicode" (little-endian) and "Unicode big endian".
#pragma once

#include <string>

inline std::string Utf16WithMark(const std::u16string& text, bool bigEndian = false)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}
