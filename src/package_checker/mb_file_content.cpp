#include "package_checker/mb_file_content.h"

#include "package_checker/file_source.h"
#include "package_checker/package_facts.h"
#include "package_checker/pe_image.h"
#include "package_checker/text_forms.h"

MbFileContent LookAtMbFile(const PackageFacts& facts)
{
    MbFileContent content;
    if (facts.MbFile.Lookup.Result != FileLookup::Found) return content;
    const FileSource file(facts.MbFile.Value);
    content.PeImage = file.IsOpen() && ReadPeHeaders(file).has_value() && !file.Failed();
    // One file named twice is a finding of its own.
    if (facts.ImeFile.Lookup.Result == FileLookup::Found && !NameOneFile(facts.ImeFile, facts.MbFile)) {
        content.SameAsImeFile = SameContents(facts.ImeFile.Value, facts.MbFile.Value).value_or(false);
    }
    return content;
}

std::vector<Bilingual> FindMbFileProblems(const PackageFacts& facts)
{
    std::vector<Bilingual> problems;
    const std::string mb = ShownGbkValue(facts.MbFile.Value);
    if (facts.MbContent.SameAsImeFile) {
        const std::string ime = ShownGbkValue(facts.ImeFile.Value);
        problems.push_back({"MB 文件 " + mb + " 与 IME 文件 " + ime + " 的内容完全相同：码表文件是程序的副本，输入法没有"
                                "自己的码表。请随附真正的 MB 文件。",
                            "The MB file " + mb + " holds exactly the bytes of the IME file " + ime +
                                ": the code table is a copy of the program, and the input method gets no code table "
                                "of its own. Ship the real MB file."});
    } else if (facts.MbContent.PeImage) {
        problems.push_back({"MB 文件 " + mb + " 是 Windows 映像（PE 文件），不是码表数据：安装包中的文件可能放错了。"
                                "请随附真正的 MB 文件。",
                            "The MB file " + mb + " is a Windows image (a PE file), not code-table data: the package's "
                                "files may have been mixed up. Ship the real MB file."});
    }
    return problems;
}
