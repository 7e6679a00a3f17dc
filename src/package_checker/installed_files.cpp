#include "package_checker/installed_files.h"

#include <optional>

#include "driver/setup_parameters.h"
#include "package_checker/file_names.h"
#include "package_checker/file_source.h"
#include "package_checker/package_facts.h"
#include "package_checker/package_findings.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "support/unique_handle.h"

namespace {

using SfcIsFileProtectedFunction = BOOL(WINAPI*)(HANDLE, LPCWSTR);

// Files of the system directory that Windows has protected since Windows
// File Protection began, for where SfcIsFileProtected gives no answers.
const char* const kWindowsFiles[] = {
    "ADVAPI32.DLL", "GDI32.DLL",  "IMM32.DLL",  "KERNEL32.DLL", "MSCTF.DLL", "MSVCRT.DLL", "NTDLL.DLL",
    "OLE32.DLL",    "SHELL32.DLL", "USER32.DLL", "VERSION.DLL",  "CMD.EXE",   "NOTEPAD.EXE",
};

// Windows Resource Protection as this machine tells it. sfc.dll is loaded
// by its full path in the system directory (no import: the checker imports
// KnownDLLs only) and freed when the question is answered.
class Protection {
public:
    explicit Protection(const std::string& systemDirectory) : systemDirectory_(systemDirectory)
    {
        const std::string path = systemDirectory + "\\sfc.dll";
        module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        const FARPROC found = module_ ? GetProcAddress(module_.get(), "SfcIsFileProtected") : nullptr;
        // Through void(*)() to tell the compiler the signature change is meant.
        ask_ = reinterpret_cast<SfcIsFileProtectedFunction>(reinterpret_cast<void (*)()>(found));
        // Every Windows protects its kernel32.dll; an answer of no says that
        // the answers mean nothing here (Wine's is a stub).
        answers_ = ask_ != nullptr && Ask(systemDirectory + "\\kernel32.dll");
    }

    bool Answers() const { return answers_; }

    bool Protects(const std::string& path) const
    {
        if (answers_) return Ask(path);
        if (!SameFolder(FolderPart(path), systemDirectory_)) return false;
        const std::string name = FoldedFileName(FileTitle(path));
        for (const char* file : kWindowsFiles) {
            if (name == file) return true;
        }
        return false;
    }

private:
    bool Ask(const std::string& path) const
    {
        const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        if (length <= 0) return false;
        std::basic_string<WCHAR> wide(static_cast<size_t>(length), 0);
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
        return ask_(nullptr, wide.c_str()) != FALSE;
    }

    std::string systemDirectory_;
    UniqueModule module_;
    SfcIsFileProtectedFunction ask_ = nullptr;
    bool answers_ = false;
};

// A file (not a folder) at the path: one that can be opened.
bool FileAt(const std::string& path)
{
    const UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.is_valid();
}

InstalledFileState LookAt(const Protection& protection, const ParameterReading& reading, const std::string& path)
{
    InstalledFileState state;
    if (path.empty() || reading.InstalledIsPackageFile || !FileAt(path)) return state;
    state.Present = true;
    state.Protected = protection.Protects(path);
    state.PackageContent = SameContents(reading.Value, path).value_or(false);
    return state;
}

struct Kind {
    Bilingual name;
    const ParameterReading& reading;
    const std::string& path;
    const InstalledFileState& state;
};

Bilingual ProtectedProblem(const PackageFacts& facts, const Kind& kind)
{
    const std::string path = ShownMachineText(kind.path);
    const std::string copy = "\"" + ShownMachineText(kind.reading.Value) + OutcomeTexts::CopyErrorSuffix + "\"";
    const std::string intro = kind.name.Chinese + "的安装路径 " + path +
                              " 是 Windows 保护的系统文件（Windows 资源保护）：只有 Windows 自己的安装程序能替换或删除它，"
                              "以管理员身份运行也不行。";
    const std::string introEnglish = "The " + kind.name.English + "'s installed path " + path +
                                     " is a system file Windows protects (Windows Resource Protection): only Windows' "
                                     "own installer may replace or delete it, an administrator included. ";
    const std::string wine = "（Wine 不保护任何文件，在 Wine 下复制会替换这个系统文件。）请给文件起一个自己的名字。";
    const std::string wineEnglish = " (Wine protects no file: under Wine the copy replaces the system's file.) Give the "
                                    "file a name of its own.";
    if (&kind.state == &facts.Installed.Ime) {
        const std::string locked = "\"" + ShownOutcomeText(OutcomeTexts::FilesLocked) + "\"";
        return {intro + "imesetup.exe 会把它当作已安装的 IME 文件：不带参数时运行卸载（它删不掉这个文件，以 " + locked +
                    " 结束，除非输入法管理器先使卸载失败），/inst 的锁定检查打不开它，安装立即结束。" + wine,
                introEnglish + "imesetup.exe takes it for the installed IME file: without an argument it runs the "
                               "removal, which cannot delete it (it ends with " + locked + " unless the input method "
                               "manager stops it first), and /inst's lock test cannot open it, so the installation "
                               "ends at once." + wineEnglish};
    }
    return {intro + "在 Windows 上安装时复制到它上面会因拒绝访问而失败（" + copy + "），卸载也删不掉它。" + wine,
            introEnglish + "On Windows the installation's copy onto it fails with access denied (" + copy +
                "), and a removal cannot delete it." + wineEnglish};
}

// A file there that an installation of this package did not leave.
Bilingual ForeignProblem(const PackageFacts& facts, const Kind& kind)
{
    const std::string path = ShownMachineText(kind.path);
    const std::string source = ShownGbkValue(kind.reading.Value);
    const std::string advice = "如果它属于另一个输入法，请给这个安装包的文件起自己的名字。";
    const std::string adviceEnglish = "If it belongs to another input method, give this package's files names of "
                                      "their own.";
    if (!facts.ImeInstalled) {
        const Bilingual lost = kind.state.PackageContent
                                   ? Bilingual{"（内容与安装包中的相同）", "Its bytes are the package's own, but it"}
                                   : Bilingual{"，它原来的内容会丢失", "Installing overwrites it, and its content is lost; it"};
        return {"系统目录中已有 " + path + "，而 IME 文件没有安装，所以它不是这个安装包的安装留下的，可能属于另一个输入法："
                    "安装会覆盖它" + lost.Chinese + "，以后卸载会删除它。" + advice,
                "The system directory already holds " + path + ", and the IME file is not installed, so no "
                    "installation of this package left it there: it may be another input method's. " + lost.English +
                    " is deleted by the removal later. " + adviceEnglish};
    }
    // The removal deletes the files only when it gets that far.
    const Prediction run = PredictRun(facts, {});
    const bool deletes = run.Outcome == RunOutcome::Remove && run.Failure.English.empty();
    const Bilingual fate = deletes ? Bilingual{"不带参数时 imesetup.exe 会运行卸载并删除它，/inst 会覆盖它",
                                               "Without an argument imesetup.exe runs the removal, which deletes it, "
                                               "and /inst overwrites it"}
                                   : Bilingual{"/inst 会覆盖它，进行到删除文件的卸载会删除它",
                                               "/inst overwrites it, and a removal that gets as far as deleting the "
                                               "files deletes it"};
    return {"已安装的 " + kind.name.Chinese + " " + path + " 与安装包中的 " + source +
                " 内容不同，不是这个安装包安装的：" + fate.Chinese + "。如果它是这个输入法的早期版本，这正是想要的；" + advice,
            "The installed " + kind.name.English + " " + path + " is not the one in the package (" + source +
                "): its bytes differ, so no installation of this package put it there. " + fate.English +
                ". If it is an earlier version of this input method, that is meant. " + adviceEnglish};
}

}  // namespace

InstalledFiles LookAtInstalledFiles(const PackageFacts& facts)
{
    InstalledFiles files;
    if (!facts.PathsFilled) return files;
    const Protection protection(facts.SystemDirectory);
    files.ProtectionAsked = protection.Answers();
    files.Ime = LookAt(protection, facts.ImeFile, facts.Context.InstalledImePath);
    files.Mb = LookAt(protection, facts.MbFile, facts.Context.InstalledMbPath);
    return files;
}

std::vector<Bilingual> FindInstalledFileProblems(const PackageFacts& facts)
{
    std::vector<Bilingual> problems;
    const Kind kinds[] = {
        {{"IME 文件", "IME file"}, facts.ImeFile, facts.Context.InstalledImePath, facts.Installed.Ime},
        {{"MB 文件", "MB file"}, facts.MbFile, facts.Context.InstalledMbPath, facts.Installed.Mb},
    };
    for (const Kind& kind : kinds) {
        if (!kind.state.Present) continue;
        if (kind.state.Protected) {
            problems.push_back(ProtectedProblem(facts, kind));
        } else if (!facts.ImeInstalled || !kind.state.PackageContent) {
            problems.push_back(ForeignProblem(facts, kind));
        }
    }
    return problems;
}
