// What the input method manager makes of the version information it reads
// and the layouts already registered for the name, told apart from how the
// checker finds them (the whole checker's rows cover those).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "package_checker/language_names.h"
#include "package_checker/registration_forecast.h"

namespace {

PeVersionInfo MarkedIme()
{
    PeVersionInfo version;
    version.Resource = PeVersionResource::Present;
    version.HasFixedInfo = true;
    version.FileType = 3;      // VFT_DRV
    version.FileSubtype = 11;  // VFT2_DRV_INPUTMETHOD
    version.Translation = PeTranslation{0x0804, 936};
    return version;
}

TEST(RegistrationForecast, AsTheManagerJudgesTheFileAndItsLayouts)
{
    PeVersionInfo cutShort = MarkedIme();  // its type and subtype read as nothing
    cutShort.HasFixedInfo = false;
    cutShort.FileType = 0;
    cutShort.FileSubtype = 0;
    const RegisteredLayout own{"E0200804", 0x0804};
    const RegisteredLayout other{"E0210409", 0x0409};

    const struct {
        const char* name;
        PeVersionInfo version;
        std::vector<RegisteredLayout> layouts;
        std::string cause;  // empty: registered
        std::string layout;
    } rows[] = {
        {"no whole fixed file information", cutShort, {},
         "the IME file's version resource has no whole fixed file information (VS_FIXEDFILEINFO)", ""},
        // The manager looks at the first layout of the name only.
        {"its own language first", MarkedIme(), {own, other}, "", "E0200804"},
        {"another language first", MarkedIme(), {other, own},
         "the IME file is already registered as layout E0210409, whose language 0409 (English (United States)) is "
         "not the IME file's 0804",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const RegistrationForecast forecast = ForecastRegistration(row.version, 9, row.layouts, "C:\\W\\my.ime");
        EXPECT_EQ(forecast.Refused, !row.cause.empty());
        EXPECT_EQ(forecast.Refused ? Render(forecast.Cause, Language::English) : "", row.cause);
        EXPECT_EQ(forecast.ExistingLayout, row.layout);
    }
}

// The language identifiers of the Chinese locales, as Windows numbers them.
TEST(LanguageNames, ChineseLocalesByTheirIdentifiers)
{
    const struct {
        std::uint16_t language;
        const char* digits;
        const char* english;
    } rows[] = {
        {0x0804, "0804", "Chinese (Simplified, PRC)"},
        {0x1004, "1004", "Chinese (Simplified, Singapore)"},
        {0x0404, "0404", "Chinese (Traditional, Taiwan)"},
        {0x0C04, "0C04", "Chinese (Traditional, Hong Kong S.A.R.)"},
        {0x1404, "1404", "Chinese (Traditional, Macao S.A.R.)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LanguageDigits(row.language), row.digits);
        EXPECT_EQ(LanguageName(row.language).English, row.english) << row.digits;
    }
}

}  // namespace
