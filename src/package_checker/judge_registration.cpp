// What the input method manager would make of the IME file: the
// installation's registration and the removal's asking for the layout.
#include "package_checker/judging.h"
#include "package_checker/text_forms.h"
#include "package_checker/language_names.h"
#include "registration/outcome_texts.h"

namespace {

using C = FindingCode;

}  // namespace

std::optional<RegistrationForecast> ForecastInstallation(const PackageFacts& facts)
{
    if (!facts.ImeRead || facts.ManagerImePath.empty() || CopyFails(facts.ImeFile) || CopyFails(facts.MbFile) ||
        facts.Installed.Ime.Protected || facts.Installed.Mb.Protected) {
        return std::nullopt;
    }
    // After the copy the manager reads the package's file, unless folder
    // parts put the copy elsewhere: then what the system directory holds.
    const std::optional<PeVersionInfo> read =
        facts.CopyIsManagerFile ? std::optional<PeVersionInfo>(facts.ImeVersion) : facts.ManagerImeVersion;
    if (!facts.CopyIsManagerFile && facts.ManagerImeFound && !read) return std::nullopt;  // there, but unreadable
    return ForecastRegistration(read, facts.ImeTitleCharacters, facts.ImeLayouts, ShownMachineText(facts.ManagerImePath));
}

std::optional<RegistrationForecast> ForecastRemoval(const PackageFacts& facts)
{
    // The removal asks for the layout only when both installed files are there.
    if (!facts.ImeInstalled || !facts.MbInstalled || facts.ManagerImePath.empty()) return std::nullopt;
    if (facts.ManagerImeFound && !facts.ManagerImeVersion) return std::nullopt;  // there, but unreadable
    return ForecastRegistration(facts.ManagerImeVersion, facts.ImeTitleCharacters, facts.ImeLayouts,
                                ShownMachineText(facts.ManagerImePath));
}

void JudgeRegistration(const PackageFacts& facts, std::vector<Finding>& findings)
{
    const std::string subject = ShownMachineText(facts.ManagerImePath);
    if (const std::optional<RegistrationForecast> install = ForecastInstallation(facts)) {
        if (install->Refused) {
            findings.push_back({{C::RegistrationRefused,
                                 {PhraseValue("cause", install->Cause), BoxValue("box", OutcomeTexts::ActivationFailed)}},
                                subject,
                                false});
        } else if (install->Language == NeutralLanguage) {
            findings.push_back({{C::NeutralLanguage, {}}, subject, false});
        }
    }
    const std::optional<RegistrationForecast> removal = ForecastRemoval(facts);
    if (removal && removal->Refused) {
        const std::string path = ShownMachineText(facts.Context.InstalledImePath);
        findings.push_back({{C::LayoutRefused,
                             {TextValue("path", path), PhraseValue("cause", removal->Cause),
                              BoxValue("box", OutcomeTexts::HklNotFound)}},
                            path,
                            false});
    }
}
