// What imesetup.exe would do with each command line: its own checks, its
// mode table, the removal's first step and the input method manager.
#include <utility>

#include "driver/setup_mode.h"
#include "package_checker/judging.h"
#include "package_checker/run_steps.h"
#include "package_checker/text_forms.h"
#include "registration/outcome_texts.h"

namespace {

using C = FindingCode;

Prediction Silent(Statement reason)
{
    return {RunOutcome::EndSilently, std::move(reason), std::nullopt};
}

// Which of the installed files are read-only.
Statement InstalledReadOnly(bool ime, bool mb)
{
    if (ime && mb) return {C::InstalledBothReadOnlyReason, {}};
    return {ime ? C::InstalledImeReadOnlyReason : C::InstalledMbReadOnlyReason, {}};
}

// "ImeFile \"my.ime\": is a folder, not a file", or the key missing.
Statement FileReason(const ParameterReading& reading)
{
    if (!reading.InSection) return {C::FileKeyReadAsZero, {PhraseValue("missing", DescribeMissingKey(reading))}};
    return {C::FileKeyNoFile,
            {KeyValue(reading), ShownValue(reading), PhraseValue("why", DescribeLookup(reading.Lookup))}};
}

Prediction ParameterStop(const PackageFacts& facts)
{
    switch (facts.Check) {
    case SetupParameterCheck::NoCurrentDirectory:
        return Silent({C::NoCurrentDirectory, {}});
    case SetupParameterCheck::NoSetupLog:
        if (facts.FolderOutsideCodePage) {
            return Silent({C::FolderOutsideCodePage, {TextValue("page", std::to_string(facts.CodePage))}});
        }
        if (facts.SetupLog.Result == FileLookup::Missing) return Silent({C::NoSetupLog, {}});
        return Silent({C::SetupLogNoFile, {PhraseValue("why", DescribeLookup(facts.SetupLog))}});
    case SetupParameterCheck::ImeFileNotFound:
        return Silent(FileReason(facts.ImeFile));
    case SetupParameterCheck::MbFileNotFound:
        return Silent(FileReason(facts.MbFile));
    case SetupParameterCheck::NameIsZero:
        if (!facts.ImeName.InSection) return Silent(DescribeMissingKey(facts.ImeName));
        return Silent({C::ImeNameZero, {}});
    case SetupParameterCheck::NameIsEmpty:
        return Silent({C::ImeNameEmpty, {}});
    case SetupParameterCheck::Passed:
        break;
    }
    return Silent({C::NoSystemDirectory, {}});
}

Value OutcomeTextValue(const char* outcomeText)
{
    return TextValue("text", ShownOutcomeText(outcomeText));
}

}  // namespace

Statement DescribeLookup(const FileStampLookup& lookup)
{
    switch (lookup.Result) {
    case FileLookup::Found:
    case FileLookup::Missing:
        return {C::LookupMissing, {}};
    case FileLookup::Directory:
        return {C::LookupFolder, {}};
    case FileLookup::WildcardDirectory:
        return {C::LookupWildcardFolder, {}};
    case FileLookup::Device:
        return {C::LookupDevice, {}};
    case FileLookup::NoDosTime:
        break;
    }
    return {AfterDosTime(lookup) ? C::LookupAfter2107 : C::LookupBefore1980, {}};
}

Statement DescribeMissingKey(const ParameterReading& reading)
{
    const Value key = KeyValue(reading);
    switch (reading.Place) {
    case KeyPlace::LaterSection:
        return {C::KeyInLaterSection, {key}};
    case KeyPlace::SpoiltSection:
        return {C::KeyInSpoiltSection, {key}};
    case KeyPlace::FirstSection:
    case KeyPlace::Nowhere:
        break;
    }
    return {C::KeyNotInSection, {key}};
}

std::string ShownOutcomeText(const char* outcomeText)
{
    return DecodeCodePage(ChineseCodePage, outcomeText).value_or(outcomeText);
}

Prediction PredictRun(const PackageFacts& facts, const std::vector<std::string>& arguments)
{
    if (facts.Check != SetupParameterCheck::Passed || !facts.PathsFilled) return ParameterStop(facts);
    const SetupChoice choice = ChooseSetupMode(arguments, [&facts] { return facts.ImeInstalled; });
    Prediction prediction;
    std::optional<RegistrationForecast> forecast;
    switch (choice.Mode) {
    case SetupMode::Install: {
        // Asked for, over an installed IME file: the lock test opens it for
        // writing, which a read-only or protected file refuses; then the
        // question. A name with a wildcard fails the open with another
        // error: the installation then copies without asking.
        const bool asks = choice.ExplicitRequest && facts.ImeInstalled && LockTestOpensByName(facts);
        if (asks && ReadOnly(facts.InstalledImeAttributes)) {
            return {RunOutcome::InstallEndsLocked, InstalledReadOnly(true, false), std::nullopt};
        }
        if (asks && facts.Installed.Ime.Protected) {
            return {RunOutcome::InstallEndsLocked, Statement{C::InstalledImeProtectedReason, {}}, std::nullopt};
        }
        if (std::optional<Statement> copy = FirstFailingCopy(facts, facts.ImeInstalled)) {
            return {asks ? RunOutcome::AskThenCopyFails : RunOutcome::InstallCopyFails, std::move(copy), std::nullopt};
        }
        prediction.Outcome = asks ? RunOutcome::AskBeforeReplacing : RunOutcome::Install;
        forecast = ForecastInstallation(facts);
        break;
    }
    case SetupMode::Uninstall:
        // The removal's first step: both installed files must be there.
        if (!facts.ImeInstalled || !facts.MbInstalled) {
            const C why = !facts.ImeInstalled && !facts.MbInstalled ? C::NothingInstalled
                          : !facts.ImeInstalled                    ? C::ImeNotInstalled
                                                                    : C::MbNotInstalled;
            return {RunOutcome::RemoveEndsAtOnce, Statement{why, {}}, std::nullopt};
        }
        prediction.Outcome = RunOutcome::Remove;
        forecast = ForecastRemoval(facts);
        // Given the layout, it opens the preload list, then takes the layout
        // off the machine and deletes the files.
        if (forecast && forecast->Refused) break;
        if (RemovalMissesPreloadList(facts)) {
            return {RunOutcome::RemoveNoPreload, Statement{C::NoPreloadKey, {}}, std::nullopt};
        }
        if (std::optional<Statement> why = DeletionFailure(facts)) {
            prediction.Outcome = RunOutcome::RemoveCannotDelete;
            prediction.Reason = std::move(why);
        }
        break;
    case SetupMode::None:
        return Silent({C::TwoOrMoreArguments, {}});
    }
    if (forecast && forecast->Refused) prediction.Failure = forecast->Cause;
    return prediction;
}

Statement OutcomeStatement(const Prediction& prediction)
{
    std::vector<Value> values;
    if (prediction.Reason) values.push_back(PhraseValue("reason", *prediction.Reason));
    if (prediction.Failure) values.push_back(PhraseValue("cause", *prediction.Failure));
    const bool fails = prediction.Failure.has_value();
    switch (prediction.Outcome) {
    case RunOutcome::Install:
        return {fails ? C::RunInstallRegistrationFails : C::RunInstall, values};
    case RunOutcome::AskBeforeReplacing:
        return {fails ? C::RunAskBeforeReplacingRegistrationFails : C::RunAskBeforeReplacing, values};
    case RunOutcome::InstallEndsLocked:
        values.push_back(BoxValue("box", OutcomeTexts::ImeFileLocked));
        return {C::RunInstallEndsLocked, values};
    case RunOutcome::InstallCopyFails:
        return {C::RunInstallCopyFails, values};
    case RunOutcome::AskThenCopyFails:
        return {C::RunAskThenCopyFails, values};
    case RunOutcome::Remove:
        return {fails ? C::RunRemoveLayoutFails : C::RunRemove, values};
    case RunOutcome::RemoveEndsAtOnce:
        values.push_back(OutcomeTextValue(OutcomeTexts::NotInstalled));
        return {C::RunRemoveEndsAtOnce, values};
    case RunOutcome::RemoveNoPreload:
        values.push_back(OutcomeTextValue(OutcomeTexts::PreloadOpenFailed));
        return {C::RunRemoveNoPreload, values};
    case RunOutcome::RemoveCannotDelete:
        values.push_back(OutcomeTextValue(OutcomeTexts::FilesLocked));
        return {C::RunRemoveCannotDelete, values};
    case RunOutcome::EndSilently:
        break;
    }
    return {C::RunEndsSilently, values};
}
