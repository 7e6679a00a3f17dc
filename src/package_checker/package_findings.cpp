#include "package_checker/package_findings.h"

#include <algorithm>

#include "driver/setup_mode.h"
#include "driver/system_directory.h"
#include "package_checker/file_names.h"
#include "package_checker/language_names.h"
#include "package_checker/setup_log_encoding.h"
#include "package_checker/text_forms.h"
#include "registration/outcome_texts.h"
#include "support/helpers.h"

namespace {

constexpr char kSaveAsAnsiChinese[] = "请把 setup.log 另存为 ANSI（代码页 936）。";
constexpr char kSaveAsAnsiEnglish[] = "Save setup.log as ANSI (code page 936).";

Prediction Silent(const std::string& chinese, const std::string& english)
{
    return {RunOutcome::EndSilently, {chinese, english}, {}};
}

// "ImeFile \"my.ime\" is a folder, not a file", or the key missing.
Bilingual FileReason(const ParameterReading& reading)
{
    const std::string key = reading.Key;
    if (!reading.InSection) {
        return {key + " 不在 [ImePram] 节中（读作 \"0\"）", key + " is not in section [ImePram] (read as \"0\")"};
    }
    const Bilingual why = DescribeLookup(reading.Lookup);
    const std::string shown = key + " " + ShownGbkValue(reading.Value);
    return {shown + "：" + why.Chinese, shown + ": " + why.English};
}

Prediction ParameterStop(const PackageFacts& facts)
{
    switch (facts.Check) {
    case SetupParameterCheck::NoCurrentDirectory:
        return Silent("无法读取当前目录", "the current directory cannot be read");
    case SetupParameterCheck::NoSetupLog:
        if (facts.SetupLog == FileLookup::Missing) {
            return Silent("文件夹中没有 setup.log", "no setup.log in the folder");
        }
        return Silent("setup.log " + DescribeLookup(facts.SetupLog).Chinese,
                      "setup.log " + DescribeLookup(facts.SetupLog).English);
    case SetupParameterCheck::ImeFileNotFound: {
        const Bilingual why = FileReason(facts.ImeFile);
        return Silent(why.Chinese, why.English);
    }
    case SetupParameterCheck::MbFileNotFound: {
        const Bilingual why = FileReason(facts.MbFile);
        return Silent(why.Chinese, why.English);
    }
    case SetupParameterCheck::NameIsZero:
        if (!facts.ImeName.InSection) {
            return Silent("ImeName 不在 [ImePram] 节中", "ImeName is not in section [ImePram]");
        }
        return Silent("ImeName 为 \"0\"", "ImeName is \"0\"");
    case SetupParameterCheck::NameIsEmpty:
        return Silent("ImeName 为空", "ImeName is empty");
    case SetupParameterCheck::Passed:
        break;
    }
    return Silent("无法读取系统目录", "the system directory cannot be read");
}

// ---- Encoding ----

std::string JoinedKeys(const std::vector<std::string>& keys, const char* separator)
{
    std::string joined;
    for (const std::string& key : keys) joined += (joined.empty() ? "" : separator) + key;
    return joined;
}

void ByteOrderMarkProblem(const std::string& bytes, std::vector<Bilingual>& problems)
{
    const std::vector<std::string> lost = KeysLostToByteOrderMark(bytes);
    const std::string intro =
        "setup.log 保存为带字节顺序标记（BOM）的 UTF-8。Windows 把标记的三个字节当作第一行的一部分";
    const std::string introEnglish =
        "setup.log is saved as UTF-8 with a byte order mark. Windows keeps the mark's three bytes as part of the "
        "first line";
    if (lost.empty()) {
        problems.push_back({intro + "；第一行不是 [ImePram] 节标题，没有键丢失，但 ANSI 文件中不应有这个标记。" +
                                kSaveAsAnsiChinese,
                            introEnglish + "; the first line is no [ImePram] header, so no key is lost, but the mark "
                                           "has no place in an ANSI file. " + kSaveAsAnsiEnglish});
        return;
    }
    problems.push_back(
        {intro + "，第一行上的节标题 [ImePram] 因此失效，这些键找不到：" + JoinedKeys(lost, "、") +
             "。imesetup.exe 在 Windows 上会不显示任何消息而结束（Wine 会跳过这个标记，在 Wine 下看不出问题）。" +
             kSaveAsAnsiChinese,
         introEnglish + ", which spoils the section header [ImePram] on it, and these keys are lost: " +
             JoinedKeys(lost, ", ") +
             ". On Windows imesetup.exe then ends without a message (Wine skips the mark: the package works under "
             "Wine). " + kSaveAsAnsiEnglish});
}

// Values written in UTF-8 reach the input method manager read as code page
// 936, and what is no character there is lost on the way. Keys that a byte
// order mark loses are not passed at all. Behind a mark Windows still reads
// the file byte for byte, where Wine converts it from UTF-8: what Windows
// passes is then the file's own bytes, not what this machine's reader gave.
void Utf8ValuesProblem(const PackageFacts& facts, const std::vector<std::string>& lostKeys, bool behindMark,
                       std::vector<Bilingual>& problems)
{
    std::string chinese;
    std::string english;
    for (const ParameterReading* reading : {&facts.ImeFile, &facts.MbFile, &facts.ImeName}) {
        if (!reading->Read || !reading->InSection) continue;
        if (std::find(lostKeys.begin(), lostKeys.end(), reading->Key) != lostKeys.end()) continue;
        const std::optional<std::string> written = ValueInFile(*facts.SetupLogBytes, reading->Key);
        if (!written || IsAscii(*written) || !IsUtf8(*written)) continue;
        const std::string passed = ShownGbkValue(behindMark ? *written : reading->Value);
        const std::string meant = "\"" + DecodeCodePage(Utf8CodePage, *written).value_or("") + "\"";
        chinese += std::string("；") + reading->Key + " 会作为 " + passed + " 传递，而本意是 " + meant;
        english += std::string("; ") + reading->Key + " is passed on as " + passed + ", where " + meant + " was meant";
    }
    if (english.empty()) return;
    problems.push_back({"setup.log 保存为 UTF-8。imesetup.exe 按系统的 ANSI 代码页逐字节读取它，"
                        "中文系统上即代码页 936" + chinese + "。" + kSaveAsAnsiChinese,
                        "setup.log is saved as UTF-8. imesetup.exe reads it byte for byte in the system's ANSI code "
                        "page, 936 on a Chinese system" + english + ". " + kSaveAsAnsiEnglish});
}

void EncodingProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.SetupLogBytes) return;
    switch (DetectTextEncoding(*facts.SetupLogBytes)) {
    case TextEncoding::Utf8WithMark:
        ByteOrderMarkProblem(*facts.SetupLogBytes, problems);
        Utf8ValuesProblem(facts, KeysLostToByteOrderMark(*facts.SetupLogBytes), true, problems);
        break;
    case TextEncoding::Utf8:
        Utf8ValuesProblem(facts, {}, false, problems);
        break;
    case TextEncoding::Utf16LeWithMark:
        problems.push_back(
            {std::string("setup.log 保存为 UTF-16（带 BOM）。Windows 按 Unicode 读取它，再用系统的 ANSI "
                         "代码页转换每个值：该代码页没有的字符会变成问号（例如代码页不是 936 的系统上的中文名称）。") +
                 kSaveAsAnsiChinese,
             std::string("setup.log is saved as UTF-16 with a byte order mark. Windows reads it as Unicode and "
                         "converts each value through the system's ANSI code page: characters that code page lacks "
                         "become question marks (a Chinese name on a system whose code page is not 936). ") +
                 kSaveAsAnsiEnglish});
        break;
    case TextEncoding::Utf16BeWithMark:
        problems.push_back(
            {std::string("setup.log 保存为大端序 UTF-16（带 BOM）。Windows 的配置文件读取函数在其中什么也找不到（Wine "
                         "能读取），imesetup.exe 在 Windows 上会不显示任何消息而结束。") + kSaveAsAnsiChinese,
             std::string("setup.log is saved as big-endian UTF-16 with a byte order mark. Windows' profile reader "
                         "finds nothing in it (Wine reads it), so on Windows imesetup.exe ends without a message. ") +
                 kSaveAsAnsiEnglish});
        break;
    case TextEncoding::ZeroBytes:
        problems.push_back({std::string("setup.log 含有零字节，就像没有 BOM 的 UTF-16 文本；imesetup.exe 需要 ANSI "
                                        "文本。") + kSaveAsAnsiChinese,
                            std::string("setup.log holds zero bytes, as text saved as UTF-16 without a byte order "
                                        "mark does; imesetup.exe expects ANSI text. ") + kSaveAsAnsiEnglish});
        break;
    case TextEncoding::Ascii:
    case TextEncoding::Ansi:
        break;
    }
}

// ---- The file names ----

void FileNameProblems(const PackageFacts& facts, const ParameterReading& reading, std::vector<Bilingual>& problems)
{
    if (!reading.Read || !reading.InSection) return;
    const std::string key = std::string(reading.Key) + " " + ShownGbkValue(reading.Value);
    if (HasDirectoryPart(reading.Value)) {
        const std::string installed =
            facts.SystemDirectory.empty() ? std::string("?")
                                          : ShownMachineText(InstalledPath(facts.SystemDirectory, reading.Value));
        // The input method manager looks for the IME file in the system directory itself.
        const bool ime = std::string(reading.Key) == ImeFileKey;
        problems.push_back({key + " 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 " + installed +
                                "；那个文件夹通常不存在，复制就会失败。" +
                                (ime ? "即使它存在，输入法管理器也只在系统目录本身中查找 IME 文件，注册会失败。" : "") +
                                "请只写文件名，并把文件放在 setup.log 旁边。",
                            key + " has folder parts. imesetup.exe joins it to the system directory as it is and "
                                  "installs to " + installed +
                                ": that folder does not normally exist, and the copy fails. " +
                                (ime ? "Where it exists, the input method manager still looks for the IME file in the "
                                       "system directory itself, and the registration fails. "
                                     : "") +
                                "Give the bare file name and put the file beside setup.log."});
    }
    if (HoldsWildcard(reading.Value)) {
        problems.push_back({key + " 含有通配符（* 或 ?）。imesetup.exe 的检查接受第一个匹配的文件，但复制需要真实的"
                                  "文件名，会失败。",
                            key + " holds a wildcard (* or ?). imesetup.exe's check takes its first match, but the "
                                  "copy needs the file's real name and fails."});
    }
}

void SameFileProblem(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeFile.InSection || !facts.MbFile.InSection ||
        FoldedFileName(facts.ImeFile.Value) != FoldedFileName(facts.MbFile.Value)) {
        return;
    }
    const std::string name = ShownGbkValue(facts.ImeFile.Value);
    problems.push_back({"ImeFile 和 MbFile 指向同一个文件 " + name +
                            "：输入法没有自己的码表文件，卸载时第二次删除找不到文件，结果报告文件被锁定。",
                        "ImeFile and MbFile name the same file " + name +
                            ": the input method gets no code table of its own, and the removal's second deletion "
                            "finds nothing, so it reports the files as locked."});
}

// ---- The files themselves ----

void ImeImageProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeRead) return;
    if (!facts.ImeHeaders) {
        problems.push_back({"IME 文件不是 Windows 映像（PE 文件），任何程序都不能把它当作输入法加载。",
                            "The IME file is no Windows image (PE file): no program can load it as an input method."});
        return;
    }
    const PeHeaders& ime = *facts.ImeHeaders;
    const std::string machine = MachineName(ime);
    if (ime.Machine != PeMachine::X86 && ime.Machine != PeMachine::X64) {
        problems.push_back({"IME 文件是 " + machine + " 映像：没有与之匹配的 imesetup.exe（只有 x86 版和 x64 版）。",
                            "The IME file is an " + machine + " image: there is no imesetup.exe build for it (only "
                                                              "x86 and x64)."});
    }
    if (!ime.IsDll) {
        problems.push_back({"IME 文件是一个程序，不是 DLL：输入法管理器不能加载它。",
                            "The IME file is a program, not a DLL: the input method manager cannot load it."});
    }
    if (!facts.ImeExportsImeInquire) {
        problems.push_back({"IME 文件没有导出 ImeInquire（每个输入法模块都导出它）：输入法管理器不会接受它。",
                            "The IME file does not export ImeInquire, which every input method module exports: the "
                            "input method manager will not take it."});
    }
    for (const SetupProgramFile& program : facts.SetupPrograms) {
        if (!program.Headers || program.Headers->Machine == ime.Machine) continue;
        const std::string build = MachineName(*program.Headers);
        const std::string name = "\"" + ShownMachineText(program.Name) + "\"";
        problems.push_back({"文件夹中的安装程序 " + name + " 是 " + build + " 版，而 IME 文件是 " + machine +
                                " 映像：它会把文件装到只有 " + build + " 程序才会查找的位置，而它们无法加载该文件。"
                                "请随附 " + machine + " 版的 imesetup.exe。",
                            "The setup program " + name + " in the folder is the " + build +
                                " build, but the IME file is an " + machine + " image: it installs the file where "
                                "only " + build + " programs look for it, and they cannot load it. Ship the " +
                                machine + " build of imesetup.exe."});
    }
}

// An outcome text of the setup program as its box shows it, below the
// statement, a line of the report for each of its lines.
std::string BoxLines(const std::string& outcomeText)
{
    std::string lines;
    size_t start = 0;
    while (start <= outcomeText.size()) {
        size_t end = outcomeText.find("\r\n", start);
        if (end == std::string::npos) end = outcomeText.size();
        lines += "\n       | " +
                 DecodeCodePage(ChineseCodePage, outcomeText.substr(start, end - start), false).value_or("");
        start = end + 2;
    }
    return lines;
}

void RegistrationProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (const std::optional<RegistrationForecast> install = ForecastInstallation(facts)) {
        if (install->Refused) {
            problems.push_back({"Windows 不会注册这个 IME 文件：" + install->Cause.Chinese +
                                    "。imesetup.exe 安装时会复制两个文件，然后显示下面的消息框：",
                                "Windows would not register the IME file: " + install->Cause.English +
                                    ". Installing, imesetup.exe would copy both files and then show this box:" +
                                    BoxLines(OutcomeTexts::ActivationFailed)});
        } else if (install->Language == NeutralLanguage) {
            problems.push_back({"IME 文件的第一个翻译是中性语言 (0000)：它的布局 E0NN0000 不属于任何语言，"
                                "Windows 不会把它列在中文之下。请在版本资源的 Translation 中写 0x0804。",
                                "The IME file's first translation is the neutral language (0000): its layout "
                                "E0NN0000 belongs to no language, and Windows does not list it under Chinese. Give "
                                "0x0804 in the version resource's Translation."});
        }
    }
    const std::optional<RegistrationForecast> removal = ForecastRemoval(facts);
    if (removal && removal->Refused) {
        const std::string path = ShownMachineText(facts.Context.InstalledImePath);
        problems.push_back({"已安装的 IME 文件 " + path + "：Windows 不会给出它的布局：" + removal->Cause.Chinese +
                                "。imesetup.exe 卸载时会显示下面的消息框，不做任何更改：",
                            "The installed IME file " + path + ": Windows would not give its layout: " +
                                removal->Cause.English +
                                ". Removing, imesetup.exe would show this box and change nothing:" +
                                BoxLines(OutcomeTexts::HklNotFound)});
    }
}

void SignatureProblem(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeHeaders || facts.ImeSigned) return;
    problems.push_back({"IME 文件没有 Authenticode 签名。微软对第三方输入法的要求是签名，Windows 可能阻止未签名的"
                        "输入法。签名方法见指南（GUIDE.zh-CN.txt）的“签名”部分。",
                        "The IME file has no Authenticode signature. Microsoft's requirements for third-party IMEs "
                        "ask that they be signed, and Windows may block an unsigned IME. The guides (GUIDE.en.txt, "
                        "\"Signing\") say how to sign it."});
}

void FolderProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (facts.MbSize && *facts.MbSize == 0) {
        problems.push_back({"MB 文件是空的（0 字节）：输入法没有码表可用。",
                            "The MB file is empty (0 bytes): the input method gets no code table."});
    }
    if (!facts.DllFiles.empty()) {
        std::vector<std::string> names;
        for (const std::string& name : facts.DllFiles) names.push_back(ShownMachineText(name));
        problems.push_back({"文件夹中有 DLL 文件：" + JoinedKeys(names, "、") +
                                "。安装包不需要任何 DLL；以管理员权限运行的 imesetup.exe 旁边的 DLL，正是它的 DLL "
                                "防护所要防范的。请从安装包中删除它们。",
                            "The folder holds DLL files: " + JoinedKeys(names, ", ") +
                                ". The package needs none; a DLL beside imesetup.exe, which runs with administrator "
                                "rights, is what its DLL defence guards against. Remove them from the package."});
    }
}

}  // namespace

Bilingual DescribeLookup(FileLookup lookup)
{
    switch (lookup) {
    case FileLookup::Found:
        return {"找到文件", "file found"};
    case FileLookup::Missing:
        return {"找不到", "not found"};
    case FileLookup::Directory:
        return {"是文件夹，不是文件", "is a folder, not a file"};
    case FileLookup::WildcardDirectory:
        return {"含通配符，第一个匹配项是文件夹", "holds a wildcard whose first match is a folder"};
    case FileLookup::NoDosTime:
        break;
    }
    return {"最后修改时间早于 1980 年（或晚于 2107 年），没有 MS-DOS 时间形式，因此被当作不存在",
            "its last-write time is before 1980 (or after 2107) and has no MS-DOS form, so it counts as missing"};
}

std::optional<RegistrationForecast> ForecastInstallation(const PackageFacts& facts)
{
    if (!facts.ImeRead || HasDirectoryPart(facts.ImeFile.Value)) return std::nullopt;
    return ForecastRegistration(facts.ImeVersion, facts.ImeTitleCharacters, facts.ImeLayouts);
}

std::optional<RegistrationForecast> ForecastRemoval(const PackageFacts& facts)
{
    // The removal asks for the layout only when both installed files are there.
    if (!facts.InstalledImeVersion || !facts.MbInstalled || HasDirectoryPart(facts.ImeFile.Value)) {
        return std::nullopt;
    }
    return ForecastRegistration(*facts.InstalledImeVersion, facts.ImeTitleCharacters, facts.ImeLayouts);
}

Prediction PredictRun(const PackageFacts& facts, const std::vector<std::string>& arguments)
{
    if (facts.Check != SetupParameterCheck::Passed || !facts.PathsFilled) return ParameterStop(facts);
    const SetupChoice choice = ChooseSetupMode(arguments, [&facts] { return facts.ImeInstalled; });
    Prediction prediction;
    std::optional<RegistrationForecast> forecast;
    switch (choice.Mode) {
    case SetupMode::Install:
        // Asked for, over an installed IME file: the question comes first.
        prediction.Outcome =
            choice.ExplicitRequest && facts.ImeInstalled ? RunOutcome::AskBeforeReplacing : RunOutcome::Install;
        forecast = ForecastInstallation(facts);
        break;
    case SetupMode::Uninstall:
        prediction.Outcome = RunOutcome::Remove;
        forecast = ForecastRemoval(facts);
        break;
    case SetupMode::None:
        return Silent("命令行有两个或更多参数", "two or more arguments");
    }
    if (forecast && forecast->Refused) prediction.Failure = forecast->Cause;
    return prediction;
}

std::vector<Bilingual> FindPackageProblems(const PackageFacts& facts)
{
    std::vector<Bilingual> problems;
    EncodingProblems(facts, problems);
    FileNameProblems(facts, facts.ImeFile, problems);
    FileNameProblems(facts, facts.MbFile, problems);
    SameFileProblem(facts, problems);
    ImeImageProblems(facts, problems);
    RegistrationProblems(facts, problems);
    SignatureProblem(facts, problems);
    FolderProblems(facts, problems);
    return problems;
}

int CheckerExitStatus(const Prediction& withoutArgument, size_t problemCount)
{
    if (withoutArgument.Outcome == RunOutcome::EndSilently) return CheckerSilentEnd;
    return problemCount == 0 ? CheckerSoundPackage : CheckerProblemsFound;
}

std::string PredictionLine(const Prediction& withoutArgument)
{
    const std::string failure = withoutArgument.Failure.English;
    switch (withoutArgument.Outcome) {
    case RunOutcome::Install:
    case RunOutcome::AskBeforeReplacing:
        return "imesetup.exe would install" + (failure.empty() ? "" : ", and registration would fail: " + failure);
    case RunOutcome::Remove:
        return "imesetup.exe would remove" + (failure.empty() ? "" : ", and finding the layout would fail: " + failure);
    case RunOutcome::EndSilently:
        break;
    }
    return "imesetup.exe would end without a message: " + withoutArgument.Reason.English;
}
