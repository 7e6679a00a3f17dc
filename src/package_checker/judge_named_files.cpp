// The files setup.log names: their times, names and attributes, as the
// package holds them and as the system directory holds them once installed.
#include "package_checker/file_names.h"
#include "package_checker/judging.h"
#include "package_checker/run_steps.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "support/helpers.h"

namespace {

using C = FindingCode;

// A name with folder parts: where the installation puts the file, and for
// the IME file where the input method manager reads it instead.
Statement FolderParts(const PackageFacts& facts, const ParameterReading& reading)
{
    const bool ime = reading.Key == std::string(ImeFileKey);
    std::vector<Value> values = {KeyValue(reading), ShownValue(reading),
                                 TextValue("installed", ShownMachineText(reading.InstalledPath))};
    if (reading.InstalledIsPackageFile) {
        if (ime) return {C::FolderPartsImeIsPackageFile, values};
        values.push_back(TextValue("failure", CopyErrorText(reading.Value)));
        return {C::FolderPartsIsPackageFile, values};
    }
    if (reading.InstalledFolderExists && SameFolder(FolderPart(reading.InstalledPath), facts.SystemDirectory)) {
        return {C::FolderPartsRoundabout, values};
    }
    // The manager reads the IME file in the system directory, not the copy.
    values.push_back(TextValue("manager", ShownMachineText(facts.ManagerImePath)));
    if (reading.InstalledFolderExists) return {ime ? C::FolderPartsOutsideIme : C::FolderPartsOutside, values};
    return {ime ? C::FolderPartsNoFolderIme : C::FolderPartsNoFolder, values};
}

// A read-only file: the copy carries the attribute, and DeleteFileA refuses
// the installed file. Where the registration fails, the copies stay behind
// and the removal ends before it even tries.
Statement ReadOnlyFile(const PackageFacts& facts, const ParameterReading& reading)
{
    const std::optional<RegistrationForecast> forecast = ForecastInstallation(facts);
    const bool refused = forecast && forecast->Refused;
    // A layout already registered keeps the preload key from being made
    // anew: without it the removal ends before the deletion.
    const bool mayStop = !refused && !facts.PreloadListFound && forecast && !forecast->ExistingLayout.empty();
    return {refused ? C::ReadOnlyRegistrationFails : mayStop ? C::ReadOnlyFileRemovalMayStop : C::ReadOnlyFile,
            {KeyValue(reading), ShownValue(reading),
             TextValue("text", ShownOutcomeText(refused ? OutcomeTexts::HklNotFound : OutcomeTexts::FilesLocked))}};
}

// Whether a removal would get as far as deleting the files: the manager
// must hand it a layout for the IME file installed now, or else for the one
// this package installs.
bool RemovalReachesTheFiles(const PackageFacts& facts)
{
    const std::optional<RegistrationForecast> forecast =
        facts.ImeInstalled ? ForecastRemoval(facts) : ForecastInstallation(facts);
    return !forecast || !forecast->Refused;
}

}  // namespace

// Found here, but not on Windows: Wine gives a date after 2107 an MS-DOS form.
void JudgeFileTimes(const PackageFacts& facts, std::vector<Finding>& findings)
{
    const struct {
        std::string name;
        std::string subject;
        const FileStampLookup& lookup;
    } files[] = {
        {"setup.log", "setup.log", facts.SetupLog},
        {std::string(ImeFileKey) + " " + ShownGbkValue(facts.ImeFile.Value), ImeFileKey, facts.ImeFile.Lookup},
        {std::string(MbFileKey) + " " + ShownGbkValue(facts.MbFile.Value), MbFileKey, facts.MbFile.Lookup},
    };
    for (const auto& file : files) {
        if (file.lookup.Result != FileLookup::Found || !AfterDosTime(file.lookup)) continue;
        findings.push_back({{C::WrittenAfter2107OnWindows, {TextValue("file", file.name)}}, file.subject, false});
    }
}

void JudgeNamedFile(const PackageFacts& facts, const ParameterReading& reading, std::vector<Finding>& findings)
{
    if (!reading.Read || !reading.InSection) return;
    const auto add = [&](Statement statement) { findings.push_back({std::move(statement), reading.Key, false}); };
    if (HasDirectoryPart(reading.Value) && !reading.InstalledPath.empty()) add(FolderParts(facts, reading));
    if (HoldsWildcard(reading.Value)) add({C::Wildcard, {KeyValue(reading), ShownValue(reading)}});
    const size_t length = CharacterCount(reading.InstalledPath);
    if (length >= MAX_PATH) {
        add({C::InstalledPathTooLong,
             {KeyValue(reading), ShownValue(reading), TextValue("installed", ShownMachineText(reading.InstalledPath)),
              TextValue("count", std::to_string(length)), TextValue("failure", CopyErrorText(reading.Value))}});
    }
    if (reading.Lookup.Result == FileLookup::Found && Hidden(reading.Lookup.Attributes)) {
        add({C::HiddenFile, {KeyValue(reading), ShownValue(reading), TextValue("failure", CopyErrorText(reading.Value))}});
    }
    if (reading.Lookup.Result == FileLookup::Found && ReadOnly(reading.Lookup.Attributes)) {
        add(ReadOnlyFile(facts, reading));
    }
}

void JudgeSameFile(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.ImeFile.InSection || !facts.MbFile.InSection || !NameOneFile(facts.ImeFile, facts.MbFile)) return;
    const std::string names = ShownGbkValue(facts.ImeFile.Value) +
                              (facts.ImeFile.Value == facts.MbFile.Value ? "" : " / " + ShownGbkValue(facts.MbFile.Value));
    // Names that reach one file here may be installed as two copies (folder
    // parts): the removal then deletes both.
    if (!InstalledPathsReachOneFile(facts)) {
        findings.push_back({{C::SameFileTwoCopies,
                             {TextValue("names", names), TextValue("ime", ShownMachineText(facts.Context.InstalledImePath)),
                              TextValue("mb", ShownMachineText(facts.Context.InstalledMbPath))}},
                            "ImeFile, MbFile",
                            false});
        return;
    }
    const C code = RemovalReachesTheFiles(facts) ? C::SameFile : C::SameFileManagerStops;
    findings.push_back({{code, {TextValue("names", names)}}, "ImeFile, MbFile", false});
}

// Installed files that a copy of a read-only or hidden file left so: the
// removal cannot delete a read-only one, /inst's lock test refuses a
// read-only IME file, and a copy onto either kind fails on Windows.
void JudgeInstalledFiles(const PackageFacts& facts, std::vector<Finding>& findings)
{
    const struct {
        bool installed;
        std::uint32_t attributes;
        const std::string& path;
        const std::string& source;
        C readOnly;
        C hidden;
    } files[] = {
        {facts.ImeInstalled, facts.InstalledImeAttributes, facts.Context.InstalledImePath, facts.ImeFile.Value,
         C::InstalledImeReadOnly, C::InstalledImeHidden},
        {facts.MbInstalled, facts.InstalledMbAttributes, facts.Context.InstalledMbPath, facts.MbFile.Value,
         C::InstalledMbReadOnly, C::InstalledMbHidden},
    };
    for (const auto& file : files) {
        const bool readOnly = ReadOnly(file.attributes);
        if (!file.installed || (!readOnly && !Hidden(file.attributes))) continue;
        const std::string path = ShownMachineText(file.path);
        findings.push_back({{readOnly ? file.readOnly : file.hidden,
                             {TextValue("path", path), TextValue("failure", CopyErrorText(file.source)),
                              TextValue("text", ShownOutcomeText(OutcomeTexts::FilesLocked))}},
                            path,
                            false});
    }
}

// A code table is data: an MB file that is a program, or the IME file over
// again, is a package put together wrongly.
void JudgeMbFileContent(const PackageFacts& facts, std::vector<Finding>& findings)
{
    const Value mb = TextValue("mb", ShownGbkValue(facts.MbFile.Value));
    if (facts.MbContent.SameAsImeFile) {
        findings.push_back(
            {{C::MbFileIsImeFile, {mb, TextValue("ime", ShownGbkValue(facts.ImeFile.Value))}}, MbFileKey, false});
    } else if (facts.MbContent.PeImage) {
        findings.push_back({{C::MbFileIsImage, {mb}}, MbFileKey, false});
    }
}

void JudgeFolder(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (facts.MbSize && *facts.MbSize == 0) findings.push_back({{C::EmptyMbFile, {}}, MbFileKey, false});
    if (!facts.DllFiles.empty()) {
        std::vector<std::string> names;
        for (const std::string& name : facts.DllFiles) names.push_back(ShownMachineText(name));
        findings.push_back({{C::DllsInFolder, {ListValue("names", names)}}, facts.Folder, false});
    }
}
