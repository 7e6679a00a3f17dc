#include "package_checker/code_page_notes.h"

#include <string>

#include "package_checker/text_forms.h"
#include "platform/win32.h"

namespace {

// The bytes as this machine's ANSI calls read them, in UTF-8.
std::string HereReading(const std::string& bytes)
{
    return DecodeCodePage(CP_ACP, bytes, false).value_or("?");
}

}  // namespace

std::vector<Bilingual> FindCodePageNotes(const PackageFacts& facts)
{
    std::vector<Bilingual> notes;
    if (facts.CodePage == ChineseCodePage) return notes;
    const std::string page = std::to_string(facts.CodePage);
    for (const ParameterReading* reading : {&facts.ImeFile, &facts.MbFile}) {
        if (!reading->Read || !reading->InSection || IsAscii(reading->Value)) continue;
        const std::string key = reading->Key;
        const std::string chinese = ShownGbkValue(reading->Value);
        const std::string here = HereReading(reading->Value);
        const bool found = reading->Lookup.Result == FileLookup::Found;
        notes.push_back(
            {key + " " + chinese + " 在这台机器上（代码页 " + page + "）读作 \"" + here +
                 "\"：imesetup.exe 查找的是这个名字的文件" +
                 (found ? "。" : "，找不到，于是不显示任何消息而结束。") + "请用 ASCII 字符命名文件。",
             key + " " + chinese + " reads as \"" + here + "\" on this machine (code page " + page +
                 "): imesetup.exe looks for a file of that name" +
                 (found ? "." : ", finds none and ends without a message.") + " Name the files in ASCII."});
    }
    if (facts.ImeName.Read && facts.ImeName.InSection && !IsAscii(facts.ImeName.Value)) {
        const std::string chinese = ShownGbkValue(facts.ImeName.Value);
        const std::string here = HereReading(facts.ImeName.Value);
        notes.push_back(
            {"这台机器上的 Windows 会把布局显示为 \"" + here + "\"，而不是 " + chinese +
                 "：显示名称经 ANSI 调用交给输入法管理器，按代码页 " + page + " 解读。",
             "Windows here will show the layout as \"" + here + "\", not " + chinese +
                 ": the display name reaches the input method manager through the ANSI call, read in code page " +
                 page + "."});
    }
    return notes;
}
