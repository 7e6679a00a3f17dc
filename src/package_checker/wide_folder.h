// The package folder through the wide calls. imesetup.exe reaches its folder
// through the ANSI calls only, which cannot name a folder whose name holds a
// character the ANSI code page lacks; the checker must still open such a
// folder to tell the author why. Texts here are UTF-8.
#pragma once

#include <string>

// The process's command line (GetCommandLineW), in UTF-8.
std::string WideCommandLine();

// Makes the folder the current directory (SetCurrentDirectoryW).
bool EnterFolder(const std::string& folder);

// The current directory as the wide calls give it (GetCurrentDirectoryW), in
// UTF-8; empty when it cannot be had.
std::string WideCurrentDirectory();
