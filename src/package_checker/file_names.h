// File names as setup.log gives them, looked at character by character in
// the machine's ANSI code page: the trail byte of a double-byte character may
// be 0x5C, the backslash, and is no separator then.
#pragma once

#include <string>

// A backslash, slash or colon: the name says where the file is, not only what
// it is called.
bool HasDirectoryPart(const std::string& name);

// The name with a..z as A..Z outside double-byte characters, as file names
// are compared.
std::string FoldedFileName(const std::string& name);

// The name ends with the extension (".dll"), in any case.
bool HasExtension(const std::string& name, const std::string& extension);

// The name without its folder: what follows the last backslash, slash or colon.
std::string NamePart(const std::string& name);
