// File names as setup.log gives them, looked at character by character in
// the machine's ANSI code page: the trail byte of a double-byte character may
// be 0x5C, the backslash, and is no separator then.
#pragma once

#include <string>

// A backslash, slash or colon: the name says where the file is, not only what
// it is called.
bool HasDirectoryPart(const std::string& name);

// The name with a..z as A..Z outside double-byte characters: file names
// compared by their ASCII letters alone, where the file system cannot be asked.
std::string FoldedFileName(const std::string& name);

// The path up to its last backslash, slash or colon (the colon kept): the
// folder a file of that path is in. Empty for a bare name.
std::string FolderPart(const std::string& path);

// Two paths of folders reach one folder as the path calls resolve them,
// name by name: "." and ".." taken, trailing dots and blanks dropped, ASCII
// letters in either case.
bool SameFolder(const std::string& a, const std::string& b);

// The file part of the path's full form, as GetFullPathName gives it: what
// follows the last backslash, slash or colon once "." and ".." are taken and
// trailing dots and blanks dropped.
std::string FileTitle(const std::string& path);

// The characters of the name, a double-byte character counting one, as the
// ANSI file calls count a path against MAX_PATH.
size_t CharacterCount(const std::string& name);

// The name ends with the extension (".dll"), in any case.
bool HasExtension(const std::string& name, const std::string& extension);
