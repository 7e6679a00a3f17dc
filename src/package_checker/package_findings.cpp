#include "package_checker/package_findings.h"

#include "package_checker/finding_catalogue.h"
#include "package_checker/judging.h"

std::vector<Finding> FindPackageFindings(const PackageFacts& facts)
{
    std::vector<Finding> findings;
    JudgeParameterFile(facts, findings);
    JudgeFileTimes(facts, findings);
    JudgeNamedFile(facts, facts.ImeFile, findings);
    JudgeNamedFile(facts, facts.MbFile, findings);
    JudgeSameFile(facts, findings);
    JudgeInstalledFiles(facts, findings);
    JudgeInstalledPaths(facts, findings);
    JudgeMbFileContent(facts, findings);
    JudgeImeImage(facts, findings);
    JudgeRegistration(facts, findings);
    JudgeSignature(facts, findings);
    JudgeFolder(facts, findings);
    JudgeTwin(facts, findings);
    JudgeUserInputList(facts, findings);
    JudgeCodePage(facts, findings);
    return findings;
}

size_t CountedProblems(const std::vector<Finding>& findings)
{
    size_t count = 0;
    for (const Finding& finding : findings) {
        if (!finding.Ignored && CatalogueEntry(finding.What.Code).Kind == Severity::Problem) ++count;
    }
    return count;
}

int CheckerExitStatus(const Prediction& withoutArgument, const std::vector<Finding>& findings)
{
    if (withoutArgument.Outcome == RunOutcome::EndSilently) return CheckerSilentEnd;
    // A run that ends with any box but its success is no sound package here.
    const bool succeeds = (withoutArgument.Outcome == RunOutcome::Install ||
                           withoutArgument.Outcome == RunOutcome::AskBeforeReplacing ||
                           withoutArgument.Outcome == RunOutcome::Remove) &&
                          !withoutArgument.Failure;
    return CountedProblems(findings) == 0 && succeeds ? CheckerSoundPackage : CheckerProblemsFound;
}
