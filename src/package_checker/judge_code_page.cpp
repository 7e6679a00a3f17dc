// setup.log's names on a machine whose ANSI code page is not 936. The
// program reads them byte for byte and hands them to the ANSI calls, which
// read them in the machine's page: a Chinese file name names another file
// there, and the layout gets the display name as that page reads it.
#include "package_checker/judging.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"

namespace {

using C = FindingCode;

// The bytes as this machine's ANSI calls read them, in UTF-8.
std::string HereReading(const std::string& bytes)
{
    return DecodeCodePage(CP_ACP, bytes, false).value_or("?");
}

}  // namespace

void JudgeCodePage(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (facts.CodePage == ChineseCodePage) return;
    const Value page = TextValue("page", std::to_string(facts.CodePage));
    for (const ParameterReading* reading : {&facts.ImeFile, &facts.MbFile}) {
        if (!reading->Read || !reading->InSection || IsAscii(reading->Value)) continue;
        const bool found = reading->Lookup.Result == FileLookup::Found;
        findings.push_back({{found ? C::FileNameInCodePage : C::FileNameInCodePageMissing,
                             {KeyValue(*reading), ShownValue(*reading), page,
                              TextValue("here", HereReading(reading->Value))}},
                            ShownGbkValue(reading->Value),
                            false});
    }
    const ParameterReading& name = facts.ImeName;
    if (name.Read && name.InSection && !IsAscii(name.Value)) {
        findings.push_back({{C::DisplayNameInCodePage,
                             {ShownValue(name), page, TextValue("here", HereReading(name.Value))}},
                            ShownGbkValue(name.Value),
                            false});
    }
}
