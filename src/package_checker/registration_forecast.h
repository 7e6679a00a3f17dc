// What the input method manager makes of an IME file when imesetup.exe
// registers it (ImmInstallIMEA after the copy) or asks for its layout at
// removal (the same call): it reads the version resource of the file in the
// system directory by its name kept in 80 wide characters, takes only a file
// marked as an input method driver with a translation, names the layout's
// language after the first translation, and refuses a file already
// registered under a layout of another language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package_checker/pe_image.h"
#include "package_checker/registered_layouts.h"
#include "package_checker/statement.h"

struct RegistrationForecast {
    bool Refused = false;
    Statement Cause;              // why, when refused
    std::uint16_t Language = 0;   // the layout's language, when not refused
    std::string ExistingLayout;   // the layout the file gets back, when it is already registered
};

// The longest name the manager keeps, in characters: 80 with the terminating zero.
constexpr std::size_t LongestImeFileName = 79;

// The version information of the file the manager reads (nothing when the
// system directory holds no file of that name), the name's length in UTF-16
// characters, the layouts already registered for that name, and the path
// the manager reads as the report shows it.
RegistrationForecast ForecastRegistration(const std::optional<PeVersionInfo>& version, std::size_t nameCharacters,
                                          const std::vector<RegisteredLayout>& layouts, const std::string& shownPath);
