// The checker's report: UTF-8 text, each statement in Simplified Chinese and
// then in English, ending with the prediction line in English.
#pragma once

#include <string>
#include <vector>

#include "package_checker/package_findings.h"

// Everything the report tells.
struct PackageVerdict {
    PackageFacts Facts;
    Prediction WithoutArgument;
    Prediction WithInst;
    Prediction WithUninst;
    std::vector<Bilingual> Problems;
    std::vector<Bilingual> InputListNotes;  // what the removal does to the user's own list
    int ExitStatus = CheckerSilentEnd;
};

// The predictions, problems and exit status for the facts.
PackageVerdict JudgePackage(PackageFacts facts);

// The report; its last line is PredictionLine(WithoutArgument).
std::string PackageReport(const PackageVerdict& verdict);
