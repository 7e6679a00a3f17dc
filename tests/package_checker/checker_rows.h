// The rows of the whole checker's tables, shared with the tests of its codes,
// its JSON documents and its languages, which run the same packages.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct CheckerCase {
    const char* name;
    std::function<void()> prepare;  // spoils the sample package or the machine
    int status;
    std::string named;     // a text the report must hold
    std::string lastLine;
    const char* commandLine = "imecheck.exe";
};

inline void PrintTo(const CheckerCase& row, std::ostream* out) { *out << row.name; }

// Whole reports, written out from what each must say.
struct ReportCase {
    const char* name;
    std::function<void()> prepare;
    std::string report;
};

inline void PrintTo(const ReportCase& row, std::ostream* out) { *out << row.name; }

std::vector<const CheckerCase*> CheckerRows();
std::vector<const ReportCase*> ReportRows();

// The machine both tables start from: a clean one with the sample package,
// its IME file an x64 IME module, the package the current directory.
void PutCheckerPackage();
