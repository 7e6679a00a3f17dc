// The checker judged by the setup program itself: for one generated package
// and machine, run the checker, then imesetup.exe's code on the same machine
// made again, with each command line and the reinstall question answered
// both ways, and name every way the two disagree. Host only.
#pragma once

#include <string>
#include <vector>

#include "package_checker/generated_package_sim.h"

namespace generated_package {

struct Disagreement {
    std::string kind;    // what went wrong, one short phrase: the count's key
    std::string detail;  // the lines and texts that differ
};

// Empty when the checker changed nothing, each of its lines about a run
// (without an argument, /inst, /uninst, and the last line) names the
// operation and the outcome the program then met, and its exit status is 0
// only where the run without an argument succeeded and lost no file.
std::vector<Disagreement> CheckAgainstProgram(const Choices& choices);

}  // namespace generated_package
