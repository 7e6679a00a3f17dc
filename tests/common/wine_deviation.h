// Cases where Wine measurably differs from documented Windows behaviour assert,
// under Wine, what Wine does, and say so in one line that the test command
// counts apart from plain passes.
#pragma once

#include <string>

// True when the tests run under Wine.
bool RunningOnWine();

// Prints "WINE DEVIATION: <name>" as a line of its own to standard output.
void ReportWineDeviation(const std::string& name);
