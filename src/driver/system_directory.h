// The Windows system directory, where the IME's files are installed.
#pragma once

#include <string>

#include "driver/setup_context.h"

// The system directory, however long; the empty text when the platform cannot
// report it.
std::string QuerySystemDirectory();

// The path of name in directory: exactly one backslash between them, neither
// part changed.
std::string InstalledPath(const std::string& directory, const std::string& name);

// Fills SystemDirectory, InstalledImePath and InstalledMbPath from the file
// names. False, with the paths left empty, when there is no system directory:
// paths at the drive's root would point at the wrong files.
bool FillInstalledPaths(SetupContext& context);
