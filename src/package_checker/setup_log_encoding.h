// How setup.log was saved, and what Windows' profile reader makes of it.
// imesetup.exe reads the file byte for byte in the system's ANSI code page,
// which on a Chinese system is 936 (GBK).
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class TextEncoding {
    Ascii,            // bytes below 0x80 only: right everywhere
    Ansi,             // code page 936, as meant: not UTF-8, or UTF-8 whose reading makes no sense
    AnsiOrUtf8,       // valid in both, and either reading could be the one meant
    Utf8,             // UTF-8 without a byte order mark, with characters beyond ASCII
    Utf8WithMark,     // EF BB BF first
    Utf16LeWithMark,  // FF FE first
    Utf16BeWithMark,  // FE FF first
    ZeroBytes,        // zero bytes without a mark, as UTF-16 saved without one has
};

// Bytes that are valid both as GBK and as UTF-8 are told apart by what each
// reading gives: GBK text of common Chinese characters against, in UTF-8,
// scattered Greek, Cyrillic, Hebrew or Arabic letters is GBK; CJK characters
// or Latin letters in UTF-8 against rare characters in GBK is UTF-8.
TextEncoding DetectTextEncoding(const std::string& bytes);

// Where setup.log holds a key of the section ImePram, as Windows reads it:
// only the first intact [ImePram] section counts (a later one of the same
// name is not read), and behind a UTF-8 byte order mark the mark's three bytes
// are part of the first line, so a section header there is no header.
enum class KeyPlace {
    FirstSection,   // in the section Windows reads
    LaterSection,   // only in a later [ImePram] section, which Windows does not read
    SpoiltSection,  // only under the header that the byte order mark spoils
    Nowhere,
};
KeyPlace PlaceOfKey(const std::string& bytes, const std::string& key);

// The keys of the section ImePram that Windows does not find in a file that
// begins with a UTF-8 byte order mark: those under the spoilt header on the
// first line that the section Windows reads (the first intact ImePram) does
// not give again. In the order the program reads them.
std::vector<std::string> KeysLostToByteOrderMark(const std::string& bytes);

// A key's value as the file's bytes hold it, for showing what its author
// meant: in the section Windows reads, on the first line with the key,
// without the blanks around it and one pair of surrounding quotes, double or
// single.
// The profile reader may pass on other bytes: it converts the text through
// the ANSI code page, and what is no character there is lost.
std::optional<std::string> ValueInFile(const std::string& bytes, const std::string& key);
