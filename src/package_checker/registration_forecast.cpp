#include "package_checker/registration_forecast.h"

#include "package_checker/language_names.h"

namespace {

constexpr std::uint32_t kVftDrv = 3;
constexpr std::uint32_t kVft2DrvInputMethod = 11;

using C = FindingCode;

RegistrationForecast Refused(FindingCode cause, std::vector<Value> values = {})
{
    RegistrationForecast forecast;
    forecast.Refused = true;
    forecast.Cause = {cause, std::move(values)};
    return forecast;
}

// Why the version resource gives the manager no language, or nothing.
std::optional<RegistrationForecast> VersionRefusal(const PeVersionInfo& version)
{
    switch (version.Resource) {
    case PeVersionResource::NoImage: return Refused(C::CauseNoImage);
    case PeVersionResource::NoResources: return Refused(C::CauseNoResources);
    case PeVersionResource::Missing: return Refused(C::CauseNoVersionResource);
    case PeVersionResource::Present: break;
    }
    if (!version.HasFixedInfo) return Refused(C::CauseNoFixedInfo);
    if (version.FileType != kVftDrv || version.FileSubtype != kVft2DrvInputMethod) {
        return Refused(C::CauseNotInputMethodDriver, {TextValue("type", std::to_string(version.FileType)),
                                                      TextValue("subtype", std::to_string(version.FileSubtype))});
    }
    if (!version.Translation) return Refused(C::CauseNoTranslation);
    return std::nullopt;
}

}  // namespace

RegistrationForecast ForecastRegistration(const std::optional<PeVersionInfo>& version, std::size_t nameCharacters,
                                          const std::vector<RegisteredLayout>& layouts, const std::string& shownPath)
{
    if (nameCharacters > LongestImeFileName) {
        return Refused(C::CauseNameTooLong, {TextValue("count", std::to_string(nameCharacters))});
    }
    if (!version) return Refused(C::CauseNoFileInSystemDirectory, {TextValue("path", shownPath)});
    if (const std::optional<RegistrationForecast> refused = VersionRefusal(*version)) return *refused;

    RegistrationForecast forecast;
    forecast.Language = version->Translation->Language;
    if (layouts.empty()) return forecast;
    // The manager looks at the first layout of the name only.
    const RegisteredLayout& layout = layouts.front();
    if (layout.Language != forecast.Language) {
        return Refused(C::CauseRegisteredOtherLanguage,
                       {TextValue("layout", layout.KeyName), TextValue("theirs", LanguageDigits(layout.Language)),
                        LocalizedValue("name", LanguageName(layout.Language)),
                        TextValue("ours", LanguageDigits(forecast.Language))});
    }
    forecast.ExistingLayout = layout.KeyName;
    return forecast;
}
