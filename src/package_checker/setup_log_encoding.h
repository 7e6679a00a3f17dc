// How setup.log was saved, and what Windows' profile reader makes of it.
// imesetup.exe reads the file byte for byte in the system's ANSI code page,
// which on a Chinese system is 936 (GBK).
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class TextEncoding {
    Ascii,            // bytes below 0x80 only: right everywhere
    Ansi,             // bytes from 0x80 that are not UTF-8: code page 936, as meant
    Utf8,             // UTF-8 without a byte order mark, with characters beyond ASCII
    Utf8WithMark,     // EF BB BF first
    Utf16LeWithMark,  // FF FE first
    Utf16BeWithMark,  // FE FF first
    ZeroBytes,        // zero bytes without a mark, as UTF-16 saved without one has
};

TextEncoding DetectTextEncoding(const std::string& bytes);

// The keys of the section ImePram that Windows does not find in a file that
// begins with a UTF-8 byte order mark. Windows keeps the mark's three bytes as
// part of the first line, so a section header on that line is no header; the
// keys below it then belong to no section, unless an ImePram section further
// down gives them again. In the order the program reads them.
std::vector<std::string> KeysLostToByteOrderMark(const std::string& bytes);

// A key's value as the file's bytes hold it, for showing what its author
// meant: in the first ImePram section, on the first line with the key (a UTF-8
// mark skipped), without the blanks around it and one pair of surrounding
// double quotes. The profile reader may pass on other bytes: it converts the
// text through the ANSI code page, and what is no character there is lost.
std::optional<std::string> ValueInFile(const std::string& bytes, const std::string& key);
