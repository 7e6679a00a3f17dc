#include "package_checker/file_steps.h"

#include "package_checker/file_names.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"

namespace {

// Why the copy of the named file fails whatever the system directory holds.
std::optional<Bilingual> SourceFailure(const ParameterReading& reading)
{
    const std::string installed = ShownMachineText(reading.InstalledPath);
    if (HoldsWildcard(reading.Value)) {
        return Bilingual{"名称含有通配符，CopyFileA 需要真实的文件名", "the name holds a wildcard, and CopyFileA needs "
                                                                         "the file's real name"};
    }
    if (reading.InstalledIsPackageFile) {
        return Bilingual{"安装路径 " + installed + " 就是安装包自己的这个文件，不能复制到它自身上",
                         "the installed path " + installed + " is the package's own file, which cannot be copied "
                                                             "onto itself"};
    }
    if (HasDirectoryPart(reading.Value) && !reading.InstalledFolderExists) {
        return Bilingual{"安装路径 " + installed + " 所在的文件夹不存在", "the folder of the installed path " +
                                                                              installed + " does not exist"};
    }
    if (CharacterCount(reading.InstalledPath) >= MAX_PATH) {
        return Bilingual{"安装路径 " + installed + " 达到或超过 MAX_PATH（260）个字符",
                         "the installed path " + installed + " is MAX_PATH (260) characters or more"};
    }
    return std::nullopt;
}

// Why CopyFileA does not overwrite the installed file (Wine overwrites a hidden one).
std::optional<Bilingual> TargetFailure(std::uint32_t attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return Bilingual{"系统目录中的文件是只读文件，CopyFileA 不覆盖它", "the file in the system directory is "
                                                                            "read-only, and CopyFileA does not "
                                                                            "overwrite it"};
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) {
        return Bilingual{"系统目录中的文件是隐藏文件，CopyFileA 在 Windows 上不覆盖它",
                         "the file in the system directory is hidden, and on Windows CopyFileA does not overwrite it"};
    }
    return std::nullopt;
}

// "copying the IME file would fail with "<box>": <why>"
CopyFailure Failure(const char* file, const char* fileEnglish, const ParameterReading& reading, const Bilingual& why)
{
    const std::string text = reading.Value + OutcomeTexts::CopyErrorSuffix;
    const std::string box = "\"" + ShownMachineText(text) + "\"";
    return {{std::string(file) + "会失败，以 " + box + " 结束：" + why.Chinese,
             std::string(fileEnglish) + " would fail with " + box + ": " + why.English},
            text};
}

}  // namespace

std::optional<CopyFailure> FirstFailingCopy(const PackageFacts& facts, bool replacing)
{
    std::optional<Bilingual> ime = SourceFailure(facts.ImeFile);
    if (!ime && replacing) ime = TargetFailure(facts.InstalledImeAttributes);
    if (ime) return Failure("复制 IME 文件", "copying the IME file", facts.ImeFile, *ime);
    std::optional<Bilingual> mb = SourceFailure(facts.MbFile);
    if (!mb && InstalledPathsReachOneFile(facts)) {
        // The IME file's copy has just put the source's attributes on it.
        if (const std::optional<Bilingual> copied = TargetFailure(facts.ImeFile.Lookup.Attributes)) {
            mb = Bilingual{"两个安装路径指向同一个文件，复制 IME 文件时带上了它的属性：" + copied->Chinese,
                           "both installed paths reach one file, and the IME file's copy has just carried its "
                           "attribute there: " + copied->English};
        }
    } else if (!mb && facts.MbInstalled) {
        mb = TargetFailure(facts.InstalledMbAttributes);
    }
    if (mb) return Failure("复制 MB 文件", "copying the MB file", facts.MbFile, *mb);
    return std::nullopt;
}

bool LockTestOpensByName(const PackageFacts& facts)
{
    return !HoldsWildcard(facts.Context.InstalledImePath);
}

bool InstalledPathsReachOneFile(const PackageFacts& facts)
{
    if (facts.InstalledIme && facts.InstalledMb) return *facts.InstalledIme == *facts.InstalledMb;
    const std::string& ime = facts.Context.InstalledImePath;
    const std::string& mb = facts.Context.InstalledMbPath;
    return SameFolder(FolderPart(ime), FolderPart(mb)) &&
           FoldedFileName(FileTitle(ime)) == FoldedFileName(FileTitle(mb));
}
