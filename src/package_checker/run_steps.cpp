#include "package_checker/run_steps.h"

#include "package_checker/file_names.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "registry/unique_hkey.h"

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

std::optional<Bilingual> DeletionFailure(const PackageFacts& facts)
{
    const bool imeReadOnly = (facts.InstalledImeAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    const bool mbReadOnly = (facts.InstalledMbAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    // The IME file is deleted first: its failure is the one the run meets.
    if (imeReadOnly && mbReadOnly) {
        return Bilingual{"已安装的 IME 文件和 MB 文件是只读文件", "the installed IME and MB files are read-only"};
    }
    if (imeReadOnly) return Bilingual{"已安装的 IME 文件是只读文件", "the installed IME file is read-only"};
    if (HoldsWildcard(facts.Context.InstalledImePath) || HoldsWildcard(facts.Context.InstalledMbPath)) {
        return Bilingual{"安装路径含有通配符：存在检查找到了匹配的文件，但 DeleteFileA 不接受这样的名称",
                         "an installed path holds a wildcard: the presence test found a match, but DeleteFileA "
                         "does not take such a name"};
    }
    if (mbReadOnly) return Bilingual{"已安装的 MB 文件是只读文件", "the installed MB file is read-only"};
    if (InstalledPathsReachOneFile(facts)) {
        return Bilingual{"两个安装路径指向同一个文件，第一次删除后第二次删除找不到它",
                         "both installed paths reach one file, which the second deletion no longer finds"};
    }
    return std::nullopt;
}

bool PreloadListOpens()
{
    MyRegistry::unique_hkey preload;
    return RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_READ, preload.put()) == ERROR_SUCCESS;
}
