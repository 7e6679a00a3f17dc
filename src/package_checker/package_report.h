// The checker's text report: UTF-8, each statement in Simplified Chinese and
// then in English (or in the one language asked for), ending with the
// prediction line in English.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "package_checker/checker_options.h"
#include "package_checker/package_findings.h"

// Everything the report tells.
struct PackageVerdict {
    PackageFacts Facts;
    Prediction WithoutArgument;
    Prediction WithInst;
    Prediction WithUninst;
    std::vector<Finding> Findings;
    int ExitStatus = CheckerSilentEnd;
};

// The predictions, findings and exit status for the facts; findings whose
// codes are ignored are kept, marked, and count for nothing.
PackageVerdict JudgePackage(PackageFacts facts, const std::set<std::string>& ignored = {});

// "x64" or "x86": the checker's build, which decides the system directory it sees.
const char* CheckerBuildName();

// The text report; its last line is the prediction for the run without an argument.
std::string PackageReport(const PackageVerdict& verdict, const CheckerOptions& options = {});
