// Texts for the checker's report, which is UTF-8 throughout: conversions
// between UTF-8 and UTF-16, and a byte string shown as the user should see it.
#pragma once

#include <optional>
#include <string>

// The code pages the report reads texts in.
constexpr unsigned ChineseCodePage = 936;
constexpr unsigned Utf8CodePage = 65001;

// UTF-16 units as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const std::u16string& units);

// UTF-8 as UTF-16 units; a byte that does not belong to a valid sequence
// becomes U+FFFD.
std::u16string Utf16FromUtf8(const std::string& utf8);

// Every byte below 0x80.
bool IsAscii(const std::string& bytes);

// Valid UTF-8: no stray continuation byte, no overlong form, no surrogate,
// nothing above U+10FFFF.
bool IsUtf8(const std::string& bytes);

// "B2 E2 CA D4": each byte in two upper-case hexadecimal digits.
std::string HexBytes(const std::string& bytes);

// The bytes read in the code page (CP_ACP: this machine's), as UTF-8, with
// control characters written as \xNN. Strict: nothing when they are not valid
// text in that code page; otherwise what does not belong to a character is
// replaced, as the platform replaces it.
std::optional<std::string> DecodeCodePage(unsigned codePage, const std::string& bytes, bool strict = true);

// A value as the report shows it: in double quotes, read in code page 936
// (what a Chinese user's machine passes on), followed by its bytes in
// hexadecimal when it is not plain ASCII, and a note when they are not valid
// there.
std::string ShownGbkValue(const std::string& bytes);

// A path or name in this machine's ANSI code page, as the platform reads it;
// its bytes in hexadecimal when they are not valid text there.
std::string ShownMachineText(const std::string& bytes);
