// The checker's command line:
//   imecheck.exe [--format text|json] [--lang zh|en] [--ignore CODE[,CODE...]] [FOLDER]
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "package_checker/statement.h"

enum class ReportFormat { Text, Json };

struct CheckerOptions {
    ReportFormat Format = ReportFormat::Text;
    bool Chinese = true;
    bool English = true;
    std::set<std::string> Ignored;  // codes of findings that count for nothing
    std::vector<std::string> Folders;
};

struct ParsedOptions {
    CheckerOptions Options;          // as far as they could be read: the format for the error too
    std::optional<Statement> Error;  // the first thing wrong
};

// A command-line argument as the report shows it.
std::string ShownUtf8Text(const std::string& argument);

// The arguments after the program's name, UTF-8.
ParsedOptions ParseCheckerOptions(const std::vector<std::string>& arguments);
