// The package checker from its command line to its exit status:
//   imecheck.exe [FOLDER]
// It makes FOLDER (by default the current directory) its current directory,
// as imesetup.exe started there has it, checks the package through the setup
// program's own routines and writes its report.
#pragma once

#include <functional>
#include <string>

// Writes a piece of the report, UTF-8.
using ReportWriter = std::function<void(const std::string& utf8)>;

// The whole check for this command line (the program's name first), in
// UTF-8 as the wide command line gives it; returns the exit status
// (CheckerSoundPackage ... CheckerFailed).
int RunChecker(const std::string& commandLine, const ReportWriter& write);
