// Where Wine measurably differs from what Windows documents, a portable test
// asserts what Wine does and says so: one line "WINE DEVIATION: <name>" on
// standard output, which the test command counts apart from plain passes.
// On the simulated machine and on Windows the same case asserts Windows'
// behaviour and reports nothing.
#pragma once

#include <string>

// True in a process that Wine runs (its ntdll exports wine_get_version).
bool RunningOnWine();

// Prints "WINE DEVIATION: <name>" once per test case and name.
void ReportWineDeviation(const std::string& name);
