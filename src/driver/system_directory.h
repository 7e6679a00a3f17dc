// The Windows system directory, where the IME's files are installed.
#pragma once

#include <string>

// The system directory, however long; the empty text when the platform cannot
// report it.
std::string QuerySystemDirectory();

// The path of name in directory: exactly one backslash between them, neither
// part changed.
std::string InstalledPath(const std::string& directory, const std::string& name);
