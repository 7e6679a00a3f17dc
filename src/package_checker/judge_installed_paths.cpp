// What stands at the installed paths before the installation overwrites it
// or the removal deletes it: a file this package did not leave, a file
// Windows protects.
#include "package_checker/judging.h"
#include "package_checker/text_forms.h"
#include "registration/outcome_texts.h"

namespace {

using C = FindingCode;

struct InstalledPath {
    const ParameterReading& reading;
    const std::string& path;
    const InstalledFileState& state;
    bool ime;
};

Statement Protected(const InstalledPath& file)
{
    const Value path = TextValue("path", ShownMachineText(file.path));
    if (file.ime) return {C::ProtectedImePath, {path, TextValue("text", ShownOutcomeText(OutcomeTexts::FilesLocked))}};
    return {C::ProtectedMbPath, {path, TextValue("failure", CopyErrorText(file.reading.Value))}};
}

// A file there that an installation of this package did not leave.
Statement Foreign(const PackageFacts& facts, const InstalledPath& file)
{
    const Value path = TextValue("path", ShownMachineText(file.path));
    if (!facts.ImeInstalled) {
        return {file.state.PackageContent ? C::ForeignFileHoldsPackageBytes : C::ForeignFileOverwritten, {path}};
    }
    // The removal deletes the files only when it gets that far.
    const Prediction run = PredictRun(facts, {});
    const bool deletes = run.Outcome == RunOutcome::Remove && !run.Failure;
    const C code = file.ime ? (deletes ? C::ForeignInstalledImeRemoved : C::ForeignInstalledImeOverwritten)
                            : (deletes ? C::ForeignInstalledMbRemoved : C::ForeignInstalledMbOverwritten);
    return {code, {path, TextValue("source", ShownGbkValue(file.reading.Value))}};
}

}  // namespace

void JudgeInstalledPaths(const PackageFacts& facts, std::vector<Finding>& findings)
{
    const InstalledPath files[] = {
        {facts.ImeFile, facts.Context.InstalledImePath, facts.Installed.Ime, true},
        {facts.MbFile, facts.Context.InstalledMbPath, facts.Installed.Mb, false},
    };
    for (const InstalledPath& file : files) {
        if (!file.state.Present) continue;
        const std::string subject = ShownMachineText(file.path);
        if (file.state.Protected) {
            findings.push_back({Protected(file), subject, false});
        } else if (!facts.ImeInstalled || !file.state.PackageContent) {
            findings.push_back({Foreign(facts, file), subject, false});
        }
    }
}
