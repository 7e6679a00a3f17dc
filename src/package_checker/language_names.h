// The names of the languages an input method's layout may have, as Windows
// shows them in each of the report's languages.
#pragma once

#include <cstdint>
#include <string>

#include "package_checker/bilingual.h"

// "0804": the language identifier in four upper-case hexadecimal digits, as
// the last four digits of the layout's key.
std::string LanguageDigits(std::uint16_t language);

// "中文(简体，中国)" / "Chinese (Simplified, PRC)"; a language outside the
// table is named as unknown.
Bilingual LanguageName(std::uint16_t language);

constexpr std::uint16_t NeutralLanguage = 0x0000;
