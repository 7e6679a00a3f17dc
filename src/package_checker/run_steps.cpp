#include "package_checker/run_steps.h"

#include "package_checker/file_names.h"
#include "package_checker/judging.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registry/unique_hkey.h"

namespace {

using C = FindingCode;

// Why the copy of the named file fails whatever the system directory holds.
std::optional<Statement> SourceFailure(const ParameterReading& reading)
{
    const Value installed = TextValue("installed", ShownMachineText(reading.InstalledPath));
    if (HoldsWildcard(reading.Value)) return Statement{C::CopyNameWildcard, {}};
    if (reading.InstalledIsPackageFile) return Statement{C::CopyOntoPackageFile, {installed}};
    if (HasDirectoryPart(reading.Value) && !reading.InstalledFolderExists) {
        return Statement{C::CopyNoFolder, {installed}};
    }
    if (CharacterCount(reading.InstalledPath) >= MAX_PATH) return Statement{C::CopyPathTooLong, {installed}};
    return std::nullopt;
}

// Why CopyFileA does not overwrite the installed file (Wine overwrites a
// hidden one, and a protected one).
std::optional<Statement> TargetFailure(std::uint32_t attributes, bool isProtected = false)
{
    if (isProtected) return Statement{C::CopyOverProtected, {}};
    if (ReadOnly(attributes)) return Statement{C::CopyOverReadOnly, {}};
    if (Hidden(attributes)) return Statement{C::CopyOverHidden, {}};
    return std::nullopt;
}

Statement Failure(C code, const ParameterReading& reading, Statement why)
{
    return {code, {TextValue("text", CopyErrorText(reading.Value)), PhraseValue("why", std::move(why))}};
}

}  // namespace

std::optional<Statement> FirstFailingCopy(const PackageFacts& facts, bool replacing)
{
    std::optional<Statement> ime = SourceFailure(facts.ImeFile);
    if (!ime && replacing) ime = TargetFailure(facts.InstalledImeAttributes, facts.Installed.Ime.Protected);
    if (ime) return Failure(C::CopyImeFails, facts.ImeFile, std::move(*ime));
    std::optional<Statement> mb = SourceFailure(facts.MbFile);
    if (!mb && InstalledPathsReachOneFile(facts)) {
        // The IME file's copy has just put the source's attributes on it.
        if (std::optional<Statement> copied = TargetFailure(facts.ImeFile.Lookup.Attributes)) {
            mb = Statement{C::CopyOverOneFile, {PhraseValue("why", std::move(*copied))}};
        }
    } else if (!mb && facts.MbInstalled) {
        mb = TargetFailure(facts.InstalledMbAttributes, facts.Installed.Mb.Protected);
    }
    if (mb) return Failure(C::CopyMbFails, facts.MbFile, std::move(*mb));
    return std::nullopt;
}

bool LockTestOpensByName(const PackageFacts& facts)
{
    return !HoldsWildcard(facts.Context.InstalledImePath);
}

bool InstalledPathsReachOneFile(const PackageFacts& facts)
{
    if (facts.InstalledIme && facts.InstalledMb) return *facts.InstalledIme == *facts.InstalledMb;
    const std::string& ime = facts.Context.InstalledImePath;
    const std::string& mb = facts.Context.InstalledMbPath;
    return SameFolder(FolderPart(ime), FolderPart(mb)) &&
           FoldedFileName(FileTitle(ime)) == FoldedFileName(FileTitle(mb));
}

std::optional<Statement> DeletionFailure(const PackageFacts& facts)
{
    const bool imeReadOnly = ReadOnly(facts.InstalledImeAttributes);
    const bool mbReadOnly = ReadOnly(facts.InstalledMbAttributes);
    if (imeReadOnly && mbReadOnly) return Statement{C::InstalledBothReadOnlyReason, {}};
    if (imeReadOnly) return Statement{C::InstalledImeReadOnlyReason, {}};
    if (facts.Installed.Ime.Protected) return Statement{C::InstalledImeProtectedReason, {}};
    if (HoldsWildcard(facts.Context.InstalledImePath) || HoldsWildcard(facts.Context.InstalledMbPath)) {
        return Statement{C::DeletionByWildcardReason, {}};
    }
    if (mbReadOnly) return Statement{C::InstalledMbReadOnlyReason, {}};
    if (facts.Installed.Mb.Protected) return Statement{C::InstalledMbProtectedReason, {}};
    if (InstalledPathsReachOneFile(facts)) return Statement{C::DeletionOneFileReason, {}};
    return std::nullopt;
}

bool RemovalMissesPreloadList(const PackageFacts& facts)
{
    if (facts.PreloadListFound) return false;
    const std::optional<RegistrationForecast> forecast = ForecastRemoval(facts);
    return forecast && !forecast->Refused && !forecast->ExistingLayout.empty();
}

bool PreloadListOpens()
{
    MyRegistry::unique_hkey preload;
    return RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_READ, preload.put()) == ERROR_SUCCESS;
}
