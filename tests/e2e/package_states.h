// The package and machine states the suite's cases start from, shared by the
// program's own cases and the checker's: each spoils the shipped package or
// shapes the machine of a freshly set up case.
#pragma once

#include "tool_case.h"

namespace e2e::states {

// ---- The program ends without a word ----
void NoSetupLog(ToolCase& c);
void NoImePramSection(ToolCase& c);
void ImeNameZero(ToolCase& c);
void ImeNameEmpty(ToolCase& c);
void ImeFileNamesAFolder(ToolCase& c);
void MbFileMissing(ToolCase& c);
void ImeFileWrittenBefore1980(ToolCase& c);
void ImeFileWrittenAfter2107(ToolCase& c);  // the program ends without a word on Windows, not under Wine
void ImeFileADevice(ToolCase& c);
void KeyInASecondSection(ToolCase& c);

// ---- The program runs an operation ----
void NothingInstalled(ToolCase& c);
void Installed(ToolCase& c);
void ImeFilePresentButMbFileMissing(ToolCase& c);
void ImeFileWithFolderParts(ToolCase& c);
// ImeFile climbs from the package folder and from the system directory alike
// to the drive's root and down into the package: the installed path is the
// package's own IME file.
void ImeFileReachingThePackageItself(ToolCase& c);
// Both files in the other build's system directory only (none on 32-bit Windows).
void InstalledByTheOtherBuildOnly(ToolCase& c);

}  // namespace e2e::states
