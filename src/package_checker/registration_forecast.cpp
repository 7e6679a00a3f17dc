#include "package_checker/registration_forecast.h"

#include "package_checker/language_names.h"

namespace {

constexpr std::uint32_t kVftDrv = 3;
constexpr std::uint32_t kVft2DrvInputMethod = 11;

RegistrationForecast Refused(const std::string& chinese, const std::string& english)
{
    RegistrationForecast forecast;
    forecast.Refused = true;
    forecast.Cause = {chinese, english};
    return forecast;
}

// Why the version resource gives the manager no language, or nothing.
std::optional<RegistrationForecast> VersionRefusal(const PeVersionInfo& version)
{
    switch (version.Resource) {
    case PeVersionResource::NoImage:
        return Refused("IME 文件不是 PE 映像，没有版本资源（错误 1812）",
                       "the IME file is no PE image and has no version resource (error 1812)");
    case PeVersionResource::NoResources:
        return Refused("IME 文件没有资源节，因此没有版本资源（错误 1812）",
                       "the IME file has no resources, so no version resource (error 1812)");
    case PeVersionResource::Missing:
        return Refused("IME 文件没有版本资源（错误 1813）", "the IME file has no version resource (error 1813)");
    case PeVersionResource::Present:
        break;
    }
    if (!version.HasFixedInfo) {
        return Refused("IME 文件的版本资源没有完整的固定文件信息（VS_FIXEDFILEINFO）",
                       "the IME file's version resource has no whole fixed file information (VS_FIXEDFILEINFO)");
    }
    if (version.FileType != kVftDrv || version.FileSubtype != kVft2DrvInputMethod) {
        const std::string type = std::to_string(version.FileType);
        const std::string subtype = std::to_string(version.FileSubtype);
        return Refused("IME 文件的版本资源是 FILETYPE " + type + "、FILESUBTYPE " + subtype +
                           "，不是输入法驱动程序的 VFT_DRV (3) 和 VFT2_DRV_INPUTMETHOD (11)",
                       "the IME file's version resource says FILETYPE " + type + " and FILESUBTYPE " + subtype +
                           ", not VFT_DRV (3) and VFT2_DRV_INPUTMETHOD (11) of an input method driver");
    }
    if (!version.Translation) {
        return Refused("IME 文件的版本资源没有 \\VarFileInfo\\Translation（布局的语言由它决定）",
                       "the IME file's version resource has no \\VarFileInfo\\Translation, which gives the "
                       "layout its language");
    }
    return std::nullopt;
}

}  // namespace

RegistrationForecast ForecastRegistration(const std::optional<PeVersionInfo>& version, std::size_t nameCharacters,
                                          const std::vector<RegisteredLayout>& layouts, const std::string& shownPath)
{
    if (nameCharacters > LongestImeFileName) {
        const std::string count = std::to_string(nameCharacters);
        return Refused("IME 文件名有 " + count + " 个字符，输入法管理器只保留 79 个（连同结尾的零共 80 个），"
                                                  "按截短的名称找不到该文件",
                       "the IME file's name has " + count + " characters; the input method manager keeps 79 of "
                           "them (80 with the terminating zero) and finds no file by the shortened name");
    }
    if (!version) {
        return Refused("输入法管理器按文件名在系统目录中读取 IME 文件，即 " + shownPath + "，那里没有这个文件",
                       "the input method manager reads the IME file by its name in the system directory, as " +
                           shownPath + ", and there is no such file");
    }
    if (const std::optional<RegistrationForecast> refused = VersionRefusal(*version)) return *refused;

    RegistrationForecast forecast;
    forecast.Language = version->Translation->Language;
    if (layouts.empty()) return forecast;
    // The manager looks at the first layout of the name only.
    const RegisteredLayout& layout = layouts.front();
    if (layout.Language != forecast.Language) {
        const std::string theirs = LanguageDigits(layout.Language);
        const Bilingual name = LanguageName(layout.Language);
        const std::string ours = LanguageDigits(forecast.Language);
        return Refused("IME 文件已注册为布局 " + layout.KeyName + "，其语言 " + theirs + " " + name.Chinese +
                           " 不是 IME 文件的 " + ours,
                       "the IME file is already registered as layout " + layout.KeyName + ", whose language " +
                           theirs + " (" + name.English + ") is not the IME file's " + ours);
    }
    forecast.ExistingLayout = layout.KeyName;
    return forecast;
}
