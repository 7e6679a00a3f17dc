#include "package_checker/language_names.h"

namespace {

struct NamedLanguage {
    std::uint16_t language;
    const char* chinese;
    const char* english;
};

// The languages of the East Asian input methods and the few an IME author
// may give by mistake (the neutral one, the resource editor's default).
constexpr NamedLanguage kNames[] = {
    {0x0804, "中文(简体，中国)", "Chinese (Simplified, PRC)"},
    {0x1004, "中文(简体，新加坡)", "Chinese (Simplified, Singapore)"},
    {0x0404, "中文(繁体，台湾)", "Chinese (Traditional, Taiwan)"},
    {0x0C04, "中文(繁体，香港特别行政区)", "Chinese (Traditional, Hong Kong S.A.R.)"},
    {0x1404, "中文(繁体，澳门特别行政区)", "Chinese (Traditional, Macao S.A.R.)"},
    {0x0411, "日语(日本)", "Japanese (Japan)"},
    {0x0412, "韩语(韩国)", "Korean (Korea)"},
    {0x0409, "英语(美国)", "English (United States)"},
    {0x0000, "中性语言", "Language Neutral"},
};

}  // namespace

std::string LanguageDigits(std::uint16_t language)
{
    const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 12; shift >= 0; shift -= 4) text += digits[(language >> shift) & 0xF];
    return text;
}

Bilingual LanguageName(std::uint16_t language)
{
    for (const NamedLanguage& named : kNames) {
        if (named.language == language) return {named.chinese, named.english};
    }
    return {"未知语言", "an unknown language"};
}
