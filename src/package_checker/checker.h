// The package checker from its command line to its exit status:
//   imecheck.exe [--format text|json] [--lang zh|en] [--ignore CODE[,CODE...]] [FOLDER]
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
// (CheckerSoundPackage ... CheckerFailed). The text report goes to write, a
// JSON document to writeJson (to write when that is empty): the console
// shows text in any code page, and passes JSON on as UTF-8 bytes.
int RunChecker(const std::string& commandLine, const ReportWriter& write, const ReportWriter& writeJson = {});
